#include "http/http_fetcher.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string_view>

#include "http/cookie_store.h"
#include "http/curl_setup.h"
#include "http/fetch_session.h"
#include "http/lookahead_pool.h"
#include "http/response_head.h"
#include "platform/format.h"

namespace harvelo {
namespace {

constexpr const char* kExpired = "expires=Mon, 7 Jan 1980 00:00:00 GMT;";
constexpr size_t kSetCookieChars = 2046;
constexpr size_t kExpireCookieChars = 1998;

}  // namespace

HTTPFetcher::HTTPFetcher(std::optional<std::string> agent)
    : m_session(std::make_unique<Session>(*this, agent ? *agent : kDefaultUserAgent)) {}

HTTPFetcher::~HTTPFetcher() = default;

int HTTPFetcher::GetPage(const std::string& url, const std::string& outPath,
                         const std::string& referer, const std::string& cookies,
                         FetchProgressFn callback, void* context) {
  return Fetch(url, outPath, kTransferAscii, referer, cookies, callback, context);
}

int HTTPFetcher::GetResource(const std::string& url, const std::string& outPath,
                             const std::string& referer, const std::string& cookies,
                             FetchProgressFn callback, void* context) {
  return Fetch(url, outPath, kTransferBinary, referer, cookies, callback, context);
}

// HTTP bodies are stored as they come; only a page may be asked for compressed (and is
// then stored decoded).
int HTTPFetcher::Fetch(const std::string& url, const std::string& outPath, int transferFlag,
                       const std::string& referer, const std::string& cookies,
                       FetchProgressFn callback, void* context) {
  if (m_lookAhead != nullptr) {
    AheadRequest request;
    request.url = url;
    request.referer = referer;
    request.cookies = cookies;
    request.page = transferFlag == kTransferAscii;
    request.decodeBody = request.page && m_bDecodePages != 0;
    return m_lookAhead->Serve(*this, request, outPath, callback, context);
  }
  m_nStatusCode = 0;
  m_nContentLength = 0;
  m_storedPath.clear();
  TransferMode mode;
  mode.offerHttp2 = m_bOfferHttp2 != 0;
  mode.decodeBody = m_bDecodePages != 0 && transferFlag == kTransferAscii;
  // A line break in the referrer would end the header line early and smuggle in another.
  const std::vector<std::string> headerLines = RequestHeaderLines(
      referer.substr(0, referer.find_first_of("\r\n")), m_session->emptyAgent, mode.decodeBody);
  SetCookies(url, cookies);
  m_session->Run(url, outPath, headerLines, mode, callback, context);
  ExpireCookies(url, cookies);
  return m_bContinue;
}

bool HTTPFetcher::NameForHead(std::string_view rawBlock, std::string& outPath) const {
  if (!m_nameByType) return true;
  const std::optional<std::string> name =
      m_nameByType(ParseResponseHead(rawBlock).status, ResponseContentType(rawBlock));
  if (!name) return false;
  outPath = *name;
  return true;
}

void HTTPFetcher::SetCookies(const std::string& url, const std::string& cookies) {
  WalkCookieList(cookies, kSetCookieChars, [&](std::string_view element) {
    std::memcpy(m_buffer, element.data(), element.size());
    std::memcpy(m_buffer + element.size(), ";", 2);
    StoreCookie(m_session->easy.get(), url, m_buffer);
  });
}

void HTTPFetcher::ExpireCookies(const std::string& url, const std::string& cookies) {
  WalkCookieList(cookies, kExpireCookieChars, [&](std::string_view element) {
    std::memcpy(m_buffer, element.data(), element.size());
    m_buffer[element.size()] = ';';
    std::memcpy(m_buffer + element.size() + 1, kExpired, std::strlen(kExpired) + 1);
    StoreCookie(m_session->easy.get(), url, m_buffer);
  });
}

void HTTPFetcher::SetTimeouts(int connectMs, int stallMs) {
  m_session->connectMs = connectMs;
  m_session->stallMs = stallMs;
}

std::string HTTPFetcher::WinInetErrorText(const std::string& prefix) const {
  const unsigned long code = m_dwErrorCode;
  std::string description = m_szErrorDesc;
  // The platform's texts end in CR LF: the LF goes, the CR stays.
  if (!description.empty() && description.back() == '\n') description.pop_back();
  return prefix + "\n\nWinInet Code: " + StrPrintf("%lu (0x%lX)", code, code) +
         "\nDescrip: " + description + "\nContext: " + m_szErrorContext;
}

void HTTPFetcher::ShowWinInetError(const std::string& prefix, MessageBoxes& boxes) const {
  boxes.ShowMessage(WinInetErrorText(prefix), MessageIcon::kError, MessageButtons::kOk);
}

int FileHasData(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return 0;
  struct stat st {};
  const bool hasData = ::fstat(fd, &st) == 0 && st.st_size > 0;
  ::close(fd);
  return hasData ? 1 : 0;
}

}  // namespace harvelo
