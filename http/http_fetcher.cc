#include "http/http_fetcher.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string_view>

#include "http/lookahead_pool.h"
#include "http/response_head.h"
#include "platform/format.h"

namespace harvelo {

HTTPFetcher::HTTPFetcher(std::optional<std::string> agent) : m_agent(std::move(agent)) {}

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
  AheadRequest request;
  request.url = url;
  request.referer = referer;
  request.cookies = cookies;
  request.page = transferFlag == kTransferAscii;
  request.decodeBody = request.page && m_bDecodePages != 0;
  LookAheadPool& pool = m_lookAhead != nullptr ? *m_lookAhead : OwnPool(outPath);
  return pool.Serve(*this, request, outPath, callback, context);
}

LookAheadPool& HTTPFetcher::OwnPool(const std::string& outPath) {
  const size_t slash = outPath.rfind('/');
  const std::string directory = slash == std::string::npos ? "./" : outPath.substr(0, slash + 1);
  // Kept while it fetches the same way into the same folder: its connections serve
  // the next fetch. (One serving a fetch stays, to refuse a fetch from its callbacks.)
  if (!m_ownPool ||
      (!m_ownPool->Serving() && (m_ownPool->Directory() != directory ||
                                 m_ownPool->options().dumpHeaders != (m_bDumpHeaders != 0) ||
                                 (m_ownPool->options().maxStreams > 0) != (m_bOfferHttp2 != 0)))) {
    LookAheadPool::Options options;
    options.maxTransfers = 1;
    options.maxStreams = m_bOfferHttp2 != 0 ? 1 : 0;
    options.agent = m_agent;
    options.dumpHeaders = m_bDumpHeaders != 0;
    m_ownPool.reset();
    m_ownPool = std::make_unique<LookAheadPool>(options, directory);
  }
  m_ownPool->SetTimeouts(m_connectMs, m_stallMs);
  return *m_ownPool;
}

bool HTTPFetcher::NameForHead(std::string_view rawBlock, std::string& outPath) const {
  if (!m_nameByType) return true;
  const std::optional<std::string> name =
      m_nameByType(ParseResponseHead(rawBlock).status, ResponseContentType(rawBlock));
  if (!name) return false;
  outPath = *name;
  return true;
}

void HTTPFetcher::SetTimeouts(int connectMs, int stallMs) {
  m_connectMs = connectMs;
  m_stallMs = stallMs;
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
