#include "engine/address_rules.h"

#include <array>

namespace harvelo {
namespace {

constexpr size_t kHttpHostStart = 7;  // just past "http://"

inline bool IsAlpha(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
inline bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Length of the scheme when `text` begins with scheme ":" (letter, then letters, digits,
// '+', '-', '.'), else 0.
size_t SchemeLength(std::string_view text) {
  if (text.empty() || !IsAlpha(text[0])) return 0;
  size_t i = 1;
  while (i < text.size() && (IsAlpha(text[i]) || IsDigit(text[i]) || text[i] == '+' ||
                             text[i] == '-' || text[i] == '.')) {
    ++i;
  }
  return i < text.size() && text[i] == ':' ? i : 0;
}

// True when `text` begins with a scheme followed by "://".
bool BeginsWithSchemeAndSlashes(std::string_view text, size_t* schemeLength = nullptr) {
  const size_t n = SchemeLength(text);
  if (n == 0 || text.substr(n, 3) != "://") return false;
  if (schemeLength != nullptr) *schemeLength = n;
  return true;
}

// The parser's flags: any scheme is an address; characters a URL can't hold are
// percent-encoded as a browser does before the request.
constexpr unsigned kReferenceFlags = CURLU_NON_SUPPORT_SCHEME | CURLU_URLENCODE;

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && IsSpace(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsSpace(s.back())) s.remove_suffix(1);
  return s;
}

// Characters that the parser leaves as they are in a path or a query. ':' is not among
// them: before the first '/' it would end a scheme.
constexpr auto kPlain = [] {
  std::array<bool, 256> plain{};
  for (int c = '0'; c <= '9'; ++c) plain[c] = true;
  for (int c = 'a'; c <= 'z'; ++c) plain[c] = plain[c - 'a' + 'A'] = true;
  for (const char c : std::string_view("-._~!$&'()*+,;=@%/?"))
    plain[static_cast<unsigned char>(c)] = true;
  return plain;
}();

bool IsDotSegment(std::string_view r, size_t start, size_t end) {
  return r[start] == '.' && (end - start == 1 || (end - start == 2 && r[start + 1] == '.'));
}

// The length of `r` up to its fragment when it is a relative reference that the parser
// would only put after the base's directory (or, from a '/', after its origin): plain
// characters, no scheme, no "//" host, no dot segment in its path, neither empty nor only
// a query. Else npos. One pass: most of a page's references are such.
size_t PlainRelativeLength(std::string_view r) {
  if (r.empty() || r[0] == '?' || r[0] == '#' || (r.size() >= 2 && r[0] == '/' && r[1] == '/')) {
    return std::string_view::npos;
  }
  size_t segment = 0;  // where the current path segment begins
  bool inQuery = false;
  size_t i = 0;
  for (; i < r.size(); ++i) {
    const char c = r[i];
    if (c == '#') break;
    if (!kPlain[static_cast<unsigned char>(c)]) return std::string_view::npos;
    if (!inQuery && (c == '/' || c == '?')) {
      if (i > segment && IsDotSegment(r, segment, i)) return std::string_view::npos;
      segment = i + 1;
      inQuery = c == '?';
    }
  }
  if (!inQuery && i > segment && IsDotSegment(r, segment, i)) return std::string_view::npos;
  return i;
}

// `text` as the parser takes it: tabs and line breaks dropped, blanks percent-encoded
// (the parser would write a blank in a query as '+', which a server reads otherwise),
// and so are '"', '<' and '>', which a browser encodes in a path and a query alike and
// the parser would send as they are.
void ForParser(std::string_view text, std::string& out) {
  out.clear();
  for (const char c : text) {
    switch (c) {
      case '\t':
      case '\n':
      case '\r':
        break;
      case ' ':
        out += "%20";
        break;
      case '"':
        out += "%22";
        break;
      case '<':
        out += "%3C";
        break;
      case '>':
        out += "%3E";
        break;
      default:
        out += c;
    }
  }
}

std::string UrlText(CURLU* url) {
  char* text = nullptr;
  if (curl_url_get(url, CURLUPART_URL, &text, 0) != CURLUE_OK || text == nullptr) return {};
  std::string out(text);
  curl_free(text);
  return out;
}

}  // namespace

size_t HostStart(std::string_view address) {
  size_t scheme = 0;
  if (BeginsWithSchemeAndSlashes(address, &scheme)) return scheme + 3;
  return kHttpHostStart;
}

void Set_Base_And_Site(const std::string& address, std::string& baseAddress,
                       std::string& siteAddress) {
  const size_t query = address.rfind('?');
  baseAddress.assign(address, 0, query);  // npos: the whole address

  const size_t baseHost = HostStart(baseAddress);
  const size_t lastSlash = baseAddress.rfind('/');
  if (lastSlash != std::string::npos && lastSlash >= baseHost) baseAddress.resize(lastSlash);

  const size_t host = HostStart(address);
  const size_t firstSlash = host < address.size() ? address.find('/', host) : std::string::npos;
  siteAddress.assign(address, 0, firstSlash);
}

ReferenceResolver::ReferenceResolver() = default;

ReferenceResolver::ReferenceResolver(std::string_view pageAddress) {
  SetPage(pageAddress);
}

void ReferenceResolver::SetPage(std::string_view pageAddress) {
  base_taken_ = false;
  Url page(curl_url());
  ForParser(Trimmed(pageAddress), work_);
  // Without a scheme the fetch guesses one from the host; so does the base.
  if (page == nullptr || curl_url_set(page.get(), CURLUPART_URL, work_.c_str(),
                                      kReferenceFlags | CURLU_GUESS_SCHEME) != CURLUE_OK) {
    page.reset();
  }
  SetBase(std::move(page));
}

void ReferenceResolver::SetBase(Url base) {
  base_ = std::move(base);
  origin_.clear();
  directory_.clear();
  base_text_.clear();
  if (base_ == nullptr) return;
  curl_url_set(base_.get(), CURLUPART_FRAGMENT, nullptr, 0);
  base_text_ = UrlText(base_.get());
  // What the parser makes of the plainest references gives the two prefixes.
  if (ResolveWithCurl("x", directory_) && ResolveWithCurl("/x", origin_) &&
      directory_.ends_with("/x") && origin_.ends_with("/x")) {
    directory_.pop_back();
    origin_.resize(origin_.size() - 2);
  } else {
    directory_.clear();
    origin_.clear();
  }
}

bool ReferenceResolver::TakeBase(std::string_view href, std::string& resolved) {
  if (base_taken_) return false;
  base_taken_ = true;
  if (base_ == nullptr) return false;
  Url base(curl_url_dup(base_.get()));
  const std::string_view text = Trimmed(href);
  ForParser(text.substr(0, text.find('#')), work_);
  if (base == nullptr || work_.empty() ||
      curl_url_set(base.get(), CURLUPART_URL, work_.c_str(), kReferenceFlags) != CURLUE_OK) {
    return false;  // the page stays the base, as in a browser
  }
  SetBase(std::move(base));
  resolved = base_text_;
  return true;
}

bool ReferenceResolver::ResolveWithCurl(std::string_view reference, std::string& out) {
  if (reference.empty()) {
    out = base_text_;
    return !out.empty();
  }
  Url url(curl_url_dup(base_.get()));
  ForParser(reference, work_);
  if (url == nullptr ||
      curl_url_set(url.get(), CURLUPART_URL, work_.c_str(), kReferenceFlags) != CURLUE_OK) {
    return false;
  }
  out = UrlText(url.get());
  return !out.empty();
}

void ReferenceResolver::Resolve(std::string_view reference, std::string& out) {
  std::string_view r = Trimmed(reference);
  if (const size_t plain = PlainRelativeLength(r);
      plain != std::string_view::npos && !directory_.empty()) {
    out.assign(r[0] == '/' ? origin_ : directory_);
    out.append(r.data(), plain);
    return;
  }
  r = r.substr(0, r.find('#'));
  if (base_ == nullptr || !ResolveWithCurl(r, out)) out.assign(r);
}

std::string ReferenceResolver::Resolve(std::string_view reference) {
  std::string out;
  Resolve(reference, out);
  return out;
}

}  // namespace harvelo
