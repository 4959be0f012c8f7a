#include "http/cookie_store.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <iterator>
#include <memory>
#include <mutex>
#include <set>

namespace harvelo {
namespace {

constexpr const char* kExpired = "expires=Mon, 7 Jan 1980 00:00:00 GMT;";
constexpr size_t kSetCookieChars = 2046;
constexpr size_t kExpireCookieChars = 1998;

struct ShareDeleter {
  void operator()(CURLSH* share) const { curl_share_cleanup(share); }
};

class CurlProcess {
 public:
  CurlProcess() {
    curl_global_init(CURL_GLOBAL_DEFAULT);
    share_.reset(curl_share_init());
    curl_share_setopt(share_.get(), CURLSHOPT_LOCKFUNC, &Lock);
    curl_share_setopt(share_.get(), CURLSHOPT_UNLOCKFUNC, &Unlock);
    curl_share_setopt(share_.get(), CURLSHOPT_USERDATA, this);
    curl_share_setopt(share_.get(), CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
  }
  ~CurlProcess() {
    share_.reset();
    curl_global_cleanup();
  }
  CURLSH* share() const { return share_.get(); }

 private:
  // Recursive: a progress callback running inside a transfer may itself touch the store.
  static void Lock(CURL*, curl_lock_data, curl_lock_access, void* self) {
    static_cast<CurlProcess*>(self)->mutex_.lock();
  }
  static void Unlock(CURL*, curl_lock_data, void* self) {
    static_cast<CurlProcess*>(self)->mutex_.unlock();
  }

  std::recursive_mutex mutex_;
  std::unique_ptr<CURLSH, ShareDeleter> share_;
};

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
  }
  return true;
}

std::optional<std::string> HostOf(const std::string& url) {
  CURLU* parsed = curl_url();
  if (parsed == nullptr) return std::nullopt;
  std::optional<std::string> host;
  char* text = nullptr;
  if (curl_url_set(parsed, CURLUPART_URL, url.c_str(), 0) == CURLUE_OK &&
      curl_url_get(parsed, CURLUPART_HOST, &text, 0) == CURLUE_OK) {
    std::string_view name = text;
    // An IPv6 literal is matched without its brackets.
    if (name.size() > 2 && name.front() == '[' && name.back() == ']') {
      name = name.substr(1, name.size() - 2);
    }
    host = std::string(name);
  }
  curl_free(text);
  curl_url_cleanup(parsed);
  return host;
}

}  // namespace

CURLSH* SharedCookieStore() {
  static CurlProcess process;
  return process.share();
}

void WalkCookieList(std::string_view cookies, size_t maxChars,
                    const std::function<void(std::string_view element)>& store) {
  size_t pos = 0;
  for (;;) {
    while (pos < cookies.size() && (cookies[pos] == ' ' || cookies[pos] == '\t')) ++pos;
    if (pos >= cookies.size()) return;
    size_t end = pos;
    while (end < cookies.size() && cookies[end] != ';' && end - pos < maxChars) ++end;
    store(cookies.substr(pos, end - pos));
    pos = end;
    if (pos < cookies.size() && cookies[pos] == ';') ++pos;
  }
}

std::optional<std::string> CookieStoreLine(const std::string& url, std::string_view element) {
  // The store's lines are tab-separated, one to a line.
  for (const char c : element) {
    if (c == '\t' || c == '\r' || c == '\n' || c == '\0') return std::nullopt;
  }
  const size_t semicolon = element.find(';');
  const std::string_view pair = element.substr(0, semicolon);
  const size_t equals = pair.find('=');
  const std::string_view name = Trim(pair.substr(0, equals));
  const std::string_view value =
      equals == std::string_view::npos ? std::string_view() : Trim(pair.substr(equals + 1));
  if (name.empty()) return std::nullopt;

  long long expires = 0;  // 0: a session cookie
  std::string_view rest =
      semicolon == std::string_view::npos ? std::string_view() : element.substr(semicolon + 1);
  while (!rest.empty()) {
    const size_t next = rest.find(';');
    const std::string_view attribute = Trim(rest.substr(0, next));
    if (StartsWithNoCase(attribute, "expires=")) {
      const std::string date(attribute.substr(8));
      const time_t when = curl_getdate(date.c_str(), nullptr);
      if (when != -1) expires = when > 0 ? when : 1;  // 0 would mean a session cookie
    }
    rest = next == std::string_view::npos ? std::string_view() : rest.substr(next + 1);
  }

  const auto host = HostOf(url);
  if (!host || host->empty()) return std::nullopt;
  std::string line = *host;
  line += "\tFALSE\t/\tFALSE\t";
  line += std::to_string(expires);
  line += '\t';
  line += name;
  line += '\t';
  line += value;
  return line;
}

void StoreCookie(CURL* easy, const std::string& url, const char* element) {
  if (const auto line = CookieStoreLine(url, element)) {
    curl_easy_setopt(easy, CURLOPT_COOKIELIST, line->c_str());
  }
}

void SetPageCookies(CURL* easy, const std::string& url, const std::string& cookies) {
  char element[kSetCookieChars + 2];
  WalkCookieList(cookies, kSetCookieChars, [&](std::string_view text) {
    text.copy(element, text.size());
    std::memcpy(element + text.size(), ";", 2);
    StoreCookie(easy, url, element);
  });
}

void ExpirePageCookies(CURL* easy, const std::string& url, const std::string& cookies) {
  char element[kExpireCookieChars + 64];
  WalkCookieList(cookies, kExpireCookieChars, [&](std::string_view text) {
    text.copy(element, text.size());
    element[text.size()] = ';';
    std::memcpy(element + text.size() + 1, kExpired, std::strlen(kExpired) + 1);
    StoreCookie(easy, url, element);
  });
}

std::vector<std::string> CookieLines(CURL* easy) {
  std::vector<std::string> lines;
  curl_slist* list = nullptr;
  if (curl_easy_getinfo(easy, CURLINFO_COOKIELIST, &list) == CURLE_OK) {
    for (curl_slist* item = list; item != nullptr; item = item->next)
      lines.emplace_back(item->data);
  }
  curl_slist_free_all(list);
  std::sort(lines.begin(), lines.end());
  return lines;
}

namespace {

// A cookie's identity in a Netscape line: its domain, path and name (a line per cookie).
std::string CookieKey(std::string_view line) {
  if (line.starts_with("#HttpOnly_")) line.remove_prefix(10);
  std::string key;
  size_t field = 0;
  for (size_t start = 0; start <= line.size() && field <= 5; ++field) {
    const size_t end = std::min(line.find('\t', start), line.size());
    if (field == 0 || field == 2 || field == 5) key.append(line.substr(start, end - start)) += '\t';
    start = end + 1;
  }
  return key;
}

}  // namespace

void ApplyJarChanges(CURL* easy, const std::vector<std::string>& before,
                     const std::vector<std::string>& after) {
  std::vector<std::string> set, gone;
  std::set_difference(after.begin(), after.end(), before.begin(), before.end(),
                      std::back_inserter(set));
  std::set_difference(before.begin(), before.end(), after.begin(), after.end(),
                      std::back_inserter(gone));
  std::set<std::string> replaced;
  for (const std::string& line : set) replaced.insert(CookieKey(line));
  for (const std::string& line : gone) replaced.insert(CookieKey(line));
  std::vector<std::string> lines;
  for (std::string& line : CookieLines(easy)) {
    if (!replaced.contains(CookieKey(line))) lines.push_back(std::move(line));
  }
  lines.insert(lines.end(), set.begin(), set.end());
  std::sort(lines.begin(), lines.end());
  curl_easy_setopt(easy, CURLOPT_COOKIELIST, "ALL");
  for (const std::string& line : lines) curl_easy_setopt(easy, CURLOPT_COOKIELIST, line.c_str());
}

void StoreCookieFileLines(const std::vector<std::string>& lines) {
  if (lines.empty()) return;
  struct EasyDeleter {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
  };
  CURLSH* share = SharedCookieStore();
  const std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
  if (!easy) return;
  curl_easy_setopt(easy.get(), CURLOPT_SHARE, share);
  curl_easy_setopt(easy.get(), CURLOPT_COOKIEFILE, "");
  for (const std::string& line : lines) {
    // One line each: a line break would end it early and start another.
    if (line.find_first_of("\r\n") != std::string::npos) continue;
    curl_easy_setopt(easy.get(), CURLOPT_COOKIELIST, line.c_str());
  }
}

}  // namespace harvelo
