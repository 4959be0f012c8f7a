#include "http/fetch_session.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "http/cookie_store.h"
#include "http/curl_setup.h"
#include "http/header_dump.h"
#include "http/response_head.h"
#include "http/url_check.h"
#include "http/wininet_errors.h"
#include "platform/message_pump.h"
#include "platform/sleep.h"

namespace harvelo {
namespace {

constexpr const char* kOpenContext = "CInternetSession::OpenURL()";
constexpr const char* kReadContext = "CHttpFile::Read()";
// The body is handed on in reads of at most 2048 bytes. The socket is read in larger
// blocks (SetUpTransfer).
constexpr size_t kReadSize = 2048;
// While the network keeps us waiting the window is pumped at least this often.
constexpr auto kPumpInterval = std::chrono::milliseconds(40);

int ClampToInt(std::int64_t n) {
  return n > INT_MAX ? INT_MAX : static_cast<int>(n);
}

// A line break in the agent would end its header line early and smuggle in another (an
// agent file whose closing quote is missing reads with the line break after the text).
std::string AgentLine(const std::string& agent) {
  return agent.substr(0, agent.find_first_of("\r\n"));
}

}  // namespace

HTTPFetcher::Session::Session(HTTPFetcher& fetcher, const std::string& fullAgent)
    : owner(fetcher), emptyAgent(AgentLine(fullAgent).empty()) {
  const std::string agent = AgentLine(fullAgent);
  CURLSH* share = SharedCookieStore();
  easy.reset(curl_easy_init());
  multi.reset(curl_multi_init());
  if (!easy || !multi) return;
  CURL* e = easy.get();
  curl_easy_setopt(e, CURLOPT_SHARE, share);
  curl_easy_setopt(e, CURLOPT_COOKIEFILE, "");
  SetUpTransfer(e, agent, emptyAgent);
  curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, &HeaderCallback);
  curl_easy_setopt(e, CURLOPT_HEADERDATA, this);
  curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &WriteCallback);
  curl_easy_setopt(e, CURLOPT_WRITEDATA, this);
  curl_easy_setopt(e, CURLOPT_DEBUGFUNCTION, &DebugCallback);
  curl_easy_setopt(e, CURLOPT_DEBUGDATA, this);
  curl_easy_setopt(e, CURLOPT_PREREQFUNCTION, &PrereqCallback);
  curl_easy_setopt(e, CURLOPT_PREREQDATA, this);
  curl_easy_setopt(e, CURLOPT_SOCKOPTFUNCTION, &SockoptCallback);
  curl_easy_setopt(e, CURLOPT_SOCKOPTDATA, this);
  curl_easy_setopt(e, CURLOPT_CLOSESOCKETFUNCTION, &CloseSocketCallback);
  curl_easy_setopt(e, CURLOPT_CLOSESOCKETDATA, this);
}

HTTPFetcher::Session::~Session() {
  // The connections close before the handle that made them.
  multi.reset();
  easy.reset();
}

void HTTPFetcher::Session::Reset(const std::string& path, FetchProgressFn cb, void* ctx) {
  outPath = path;
  callback = cb;
  context = ctx;
  requestBlock.clear();
  responseBlock.clear();
  headersKnown = false;
  headEnded = false;
  created = false;
  stopped = false;
  connected = false;
  callIndex = 0;
  bytesSoFar = 0;
  lastActivity = lastPump = Clock::now();
}

void HTTPFetcher::Session::Fail(std::uint32_t code, const std::string& description,
                                const char* context) {
  owner.m_dwErrorCode = code;
  std::snprintf(owner.m_szErrorDesc, 80, "%s", description.c_str());
  std::snprintf(owner.m_szErrorContext, sizeof owner.m_szErrorContext, "%.80s", context);
  owner.m_bContinue = 0;
}

void HTTPFetcher::Session::OwnFailure(const char* description, const char* context) {
  Fail(0, description, context);
  stopped = true;
}

void HTTPFetcher::Session::Cancelled() {
  OwnFailure("Action cancelled by caller.", "callback function.");
}

// The final response's headers are complete: read them, dump them, create the output
// and make the first progress call. False when the fetch ends here.
bool HTTPFetcher::Session::OnHeadersKnown() {
  headersKnown = true;
  const ResponseHead head = ParseResponseHead(responseBlock);
  owner.m_nStatusCode = head.status;
  owner.m_nContentLength = ReportedLength(head, mode.decodeBody);
  const bool typed = owner.NameForHead(responseBlock, outPath);
  if (owner.m_bDumpHeaders) {
    WriteHeaderDump(
        outPath, requestBlock.empty() ? std::nullopt : std::optional<std::string>(requestBlock),
        responseBlock.empty() ? std::nullopt : std::optional<std::string>(responseBlock));
  }
  if (!typed) {
    Cancelled();
    return false;
  }
  if (!out.Create(outPath, !owner.m_nextFreeName)) {
    OwnFailure("Cannot create output file.", "fopen(,\"wb\")");
    return false;
  }
  created = true;
  return CallProgress();
}

bool HTTPFetcher::Session::CallProgress() {
  if (callback == nullptr) return true;
  const int result = callback(context, callIndex++, owner.m_nContentLength, ClampToInt(bytesSoFar));
  // Time spent in the callback (a paused run) is not time the server kept us waiting.
  lastActivity = Clock::now();
  if (result == 0) {
    Cancelled();
    return false;
  }
  owner.m_bContinue = 1;
  return true;
}

// Also before the headers: a server that sends its head a byte at a time, or nothing
// at all, must not hold a Stop until the stall time-out.
bool HTTPFetcher::Session::CancelledWhileWaiting() {
  if (stopped || !owner.m_cancelWhileWaiting) return false;
  if (!owner.m_cancelWhileWaiting()) return false;
  Cancelled();
  return true;
}

void HTTPFetcher::Session::OnHeaderLine(const char* data, size_t size) {
  if (headersKnown) return;  // trailers of a chunked body
  lastActivity = Clock::now();
  const HeadLine what = TakeHeaderLine(responseBlock, std::string_view(data, size));
  headEnded = what != HeadLine::kMore;
  if (!headEnded) return;
  AcknowledgeNow();
  if (what == HeadLine::kFinal) {
    OnHeadersKnown();
  } else if (ParseResponseHead(responseBlock).status >= 300) {
    // A redirect may lead to another server: its connection has the connect time-out.
    connected = false;
  }
}

// A server that writes the headers and then a body of less than one segment has the
// body held by its Nagle algorithm until the headers are acknowledged, and on a kept-
// alive connection the kernel delays that ACK by up to 40 ms (one loopback fetch in
// every few, once 64 KB reads have let the receive window outgrow the body). Sends the
// ACK now on the connection that brought the headers.
void HTTPFetcher::Session::AcknowledgeNow() {
#ifdef TCP_QUICKACK
  long localPort = 0;
  if (curl_easy_getinfo(easy.get(), CURLINFO_LOCAL_PORT, &localPort) != CURLE_OK) return;
  for (const curl_socket_t socket : sockets) {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (::getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length) != 0) continue;
    in_port_t port = 0;
    if (address.ss_family == AF_INET) {
      port = reinterpret_cast<const sockaddr_in&>(address).sin_port;
    } else if (address.ss_family == AF_INET6) {
      port = reinterpret_cast<const sockaddr_in6&>(address).sin6_port;
    }
    if (ntohs(port) != localPort) continue;
    const int on = 1;
    ::setsockopt(socket, IPPROTO_TCP, TCP_QUICKACK, &on, sizeof on);
  }
#endif
}

// One read of at most 2048 bytes: write it, give the window its turn, report it.
bool HTTPFetcher::Session::OnBody(const char* data, size_t size) {
  if (!headersKnown && !OnHeadersKnown()) return false;
  lastActivity = Clock::now();
  if (!out.Write(data, size)) {
    OwnFailure("Cannot write output file.", "fwrite()");
    return false;
  }
  bytesSoFar += static_cast<std::int64_t>(size);
  if (owner.m_onBody) owner.m_onBody(data, size);
  Pump_Messages(owner.m_nPumpCount / 2);
  if (owner.m_nPauseMs > 0) SleepMs(owner.m_nPauseMs);
  Pump_Messages(owner.m_nPumpCount / 2);
  lastPump = Clock::now();
  return CallProgress();
}

void HTTPFetcher::Session::PumpIfDue() {
  const auto now = Clock::now();
  if (now - lastPump < kPumpInterval) return;
  Pump_Messages(owner.m_nPumpCount / 2);
  lastPump = Clock::now();
}

size_t HTTPFetcher::Session::HeaderCallback(char* data, size_t size, size_t count, void* self) {
  auto* session = static_cast<Session*>(self);
  const size_t n = size * count;
  if (session->stopped) return 0;
  session->OnHeaderLine(data, n);
  return session->stopped ? 0 : n;
}

size_t HTTPFetcher::Session::WriteCallback(char* data, size_t size, size_t count, void* self) {
  auto* session = static_cast<Session*>(self);
  const size_t n = size * count;
  if (session->stopped) return CURL_WRITEFUNC_ERROR;
  for (size_t done = 0; done < n; done += kReadSize) {
    if (!session->OnBody(data + done, std::min(kReadSize, n - done))) return CURL_WRITEFUNC_ERROR;
  }
  return n;
}

int HTTPFetcher::Session::DebugCallback(CURL*, curl_infotype type, char* data, size_t size,
                                        void* self) {
  if (type != CURLINFO_HEADER_OUT) return 0;
  auto* session = static_cast<Session*>(self);
  const std::string_view text(data, size);
  // Each request of a redirect chain starts a new block: the dump shows the last one.
  if (text.starts_with("GET ")) session->requestBlock.clear();
  session->requestBlock.append(text);
  return 0;
}

int HTTPFetcher::Session::PrereqCallback(void* self, char*, char*, int, int) {
  auto* session = static_cast<Session*>(self);
  session->connected = true;
  session->lastActivity = Clock::now();
  return CURL_PREREQFUNC_OK;
}

// curl knows a transfer's socket only once the transfer is over: the session keeps
// its own list of them for AcknowledgeNow.
int HTTPFetcher::Session::SockoptCallback(void* self, curl_socket_t socket, curlsocktype) {
  static_cast<Session*>(self)->sockets.push_back(socket);
  return CURL_SOCKOPT_OK;
}

int HTTPFetcher::Session::CloseSocketCallback(void* self, curl_socket_t socket) {
  auto& sockets = static_cast<Session*>(self)->sockets;
  std::erase(sockets, socket);
  return ::close(socket);
}

void HTTPFetcher::Session::Run(const std::string& url, const std::string& path,
                               const std::vector<std::string>& headerLines,
                               const TransferMode& fetchMode, FetchProgressFn cb, void* ctx) {
  if (running) {
    // A fetch started from inside another one's callback on the same fetcher.
    Fail(kErrInternal, WinInetDescription(kErrInternal), kOpenContext);
    return;
  }
  Reset(path, cb, ctx);
  mode = fetchMode;
  owner.m_bContinue = 1;
  if (!easy || !multi) {
    Fail(kErrInternal, WinInetDescription(kErrInternal), kOpenContext);
    return;
  }
  if (const std::uint32_t code = CheckFetchableUrl(url); code != 0) {
    Fail(code, WinInetDescription(code), kOpenContext);
    return;
  }

  std::unique_ptr<curl_slist, CurlSlistDeleter> headers;
  auto add = [&headers](const std::string& line) {
    if (curl_slist* grown = curl_slist_append(headers.get(), line.c_str())) {
      headers.release();
      headers.reset(grown);
    }
  };
  for (const std::string& line : headerLines) add(line);

  CURL* e = easy.get();
  curl_easy_setopt(e, CURLOPT_URL, url.c_str());
  curl_easy_setopt(e, CURLOPT_HTTPHEADER, headers.get());
  SetTransferMode(e, mode);
  curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, connectMs);
  curl_easy_setopt(e, CURLOPT_VERBOSE, owner.m_bDumpHeaders ? 1L : 0L);

  running = true;
  bool stalled = false;
  bool multiFailed = curl_multi_add_handle(multi.get(), e) != CURLM_OK;
  while (!multiFailed) {
    int active = 0;
    if (curl_multi_perform(multi.get(), &active) != CURLM_OK) {
      multiFailed = true;
      break;
    }
    if (active == 0) break;
    if (CancelledWhileWaiting()) break;
    const auto now = Clock::now();
    if (connected && now - lastActivity >= std::chrono::milliseconds(stallMs)) {
      stalled = true;
      break;
    }
    PumpIfDue();
    const auto untilPump = kPumpInterval - (Clock::now() - lastPump);
    const long waitMs =
        std::clamp<long>(std::chrono::duration_cast<std::chrono::milliseconds>(untilPump).count(),
                         1, kPumpInterval.count());
    curl_multi_poll(multi.get(), nullptr, 0, static_cast<int>(waitMs), nullptr);
  }
  CURLcode result = CURLE_OK;
  int left = 0;
  while (CURLMsg* msg = curl_multi_info_read(multi.get(), &left)) {
    if (msg->msg == CURLMSG_DONE && msg->easy_handle == e) result = msg->data.result;
  }
  long osErrno = 0;
  long verifyResult = 0;
  curl_easy_getinfo(e, CURLINFO_OS_ERRNO, &osErrno);
  curl_easy_getinfo(e, CURLINFO_SSL_VERIFYRESULT, &verifyResult);
  curl_multi_remove_handle(multi.get(), e);
  curl_easy_setopt(e, CURLOPT_HTTPHEADER, nullptr);
  running = false;

  const char* failContext = headersKnown ? kReadContext : kOpenContext;
  if (stopped) {
    // The error record says why.
  } else if (multiFailed) {
    Fail(kErrInternal, WinInetDescription(kErrInternal), failContext);
  } else if (stalled) {
    Fail(kErrTimeout, WinInetDescription(kErrTimeout), failContext);
  } else if (result != CURLE_OK) {
    const WinInetError error = WinInetErrorFor(result, osErrno, verifyResult);
    Fail(error.code, error.description, failContext);
  } else if (!headersKnown && !headEnded) {
    // The connection closed in the middle of the status line or the headers.
    Fail(kErrInvalidResponse, WinInetDescription(kErrInvalidResponse), kOpenContext);
  } else if (headersKnown || OnHeadersKnown()) {
    // The read that finds the end of the body: the file takes its final name now.
    const bool committed =
        owner.m_nextFreeName
            ? out.CommitWithoutReplacing(owner.m_nextFreeName, owner.m_bEmptyNameIsFree != 0)
            : out.Commit();
    if (committed) {
      owner.m_storedPath = out.FinalPath();
    } else {
      OwnFailure("Cannot write output file.", "fwrite()");
    }
  }

  if (owner.m_bContinue == 0) {
    out.Discard();
    // Whatever was at outPath has been replaced from the caller's point of view, unless
    // the caller asked for it to be left alone.
    if (created && !owner.m_nextFreeName) ::unlink(outPath.c_str());
  }
}

}  // namespace harvelo
