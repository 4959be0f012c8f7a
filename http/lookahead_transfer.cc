#include "http/lookahead_transfer.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "http/cookie_store.h"
#include "http/curl_setup.h"
#include "http/partial_files.h"
#include "http/quick_ack.h"
#include "http/response_head.h"
#include "http/url_check.h"
#include "http/wininet_errors.h"

namespace harvelo {
namespace {

constexpr const char* kOpenContext = "CInternetSession::OpenURL()";
constexpr const char* kReadContext = "CHttpFile::Read()";
constexpr size_t kBodyReadAhead = 64 * 1024;
constexpr size_t kBodyWriteSize = 64 * 1024;
// A body not wanted (below the minimum size) up to this size is read and thrown away.
constexpr size_t kDrainBytes = 64 * 1024;
// A body up to this size waits in memory until it is whole (most pictures do).
constexpr size_t kBodyInMemory = 256 * 1024;
// A body that the run replays as it comes is received at most this far ahead of the
// replay (as a fetch that hands each read on before the next leaves the rest to the
// network), so that a fetch the run cancels has not cost the whole body; the transfer
// goes on once the replay has caught up half of it.
constexpr long long kAheadOfReplay = 256 * 1024;
// The pool keeps the connect time itself (on the time it spends waiting for the
// network), so that a paused run does not time out the transfers it holds.
constexpr long kCurlConnectTimeoutMs = 24L * 3600 * 1000;

bool StartsWithNoCase(std::string_view text, std::string_view lowerPrefix) {
  if (text.size() < lowerPrefix.size()) return false;
  for (size_t i = 0; i < lowerPrefix.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) != lowerPrefix[i]) return false;
  }
  return true;
}

}  // namespace

AheadTransfer::AheadTransfer(int transferId, AheadRequest aheadRequest, AheadFileStock* stock)
    : id(transferId), request(std::move(aheadRequest)), stock_(stock) {
  if (request.makeCutoff) cutoff_ = request.makeCutoff();
}

AheadTransfer::~AheadTransfer() {
  if (write_) {
    stock_->Forget(*write_);
    TakeWrittenFile();
  }
  if (fd_ >= 0) ::close(fd_);
  if (!body_path_.empty() && !anonymous_) ::unlink(body_path_.c_str());
}

CURL* AheadTransfer::Prepare(const AheadTransferSetup& setup,
                             const std::vector<std::string>& storeLines, const double* driveClock) {
  clock_ = driveClock;
  started_ = lastActivity_ = *clock_;
  state = State::kRunning;
  if (const std::uint32_t code = CheckFetchableUrl(request.url); code != 0) {
    Fail(code, WinInetDescription(code), kOpenContext);
    state = State::kFinished;
    return nullptr;
  }
  easy_.reset(curl_easy_init());
  if (!easy_) {
    Fail(kErrInternal, WinInetDescription(kErrInternal), kOpenContext);
    state = State::kFinished;
    return nullptr;
  }
  CURL* e = easy_.get();
  // A jar of its own: what this request sends is the store as it was when it went out
  // plus its page's cookies, and what its responses set waits here until the run
  // reaches it.
  curl_easy_setopt(e, CURLOPT_COOKIEFILE, "");
  for (const std::string& line : storeLines) curl_easy_setopt(e, CURLOPT_COOKIELIST, line.c_str());
  SetPageCookies(e, request.url, request.cookies);
  sentJar = CookieLines(e);

  for (const std::string& line :
       RequestHeaderLines(request.referer, setup.emptyAgent, request.decodeBody)) {
    headers_.reset(curl_slist_append(headers_.release(), line.c_str()));
  }
  SetUpTransfer(e, setup.agent, setup.emptyAgent);
  SetTransferMode(e, TransferMode{setup.offerHttp2, request.decodeBody});
  // Over HTTP/2 a request waits for the connection under way to the host and goes out
  // on it, rather than opening one of its own.
  curl_easy_setopt(e, CURLOPT_PIPEWAIT, setup.offerHttp2 ? 1L : 0L);
  curl_easy_setopt(e, CURLOPT_URL, request.url.c_str());
  curl_easy_setopt(e, CURLOPT_HTTPHEADER, headers_.get());
  curl_easy_setopt(e, CURLOPT_PRIVATE, this);
  curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, kCurlConnectTimeoutMs);
  curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, &HeaderCallback);
  curl_easy_setopt(e, CURLOPT_HEADERDATA, this);
  curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &WriteCallback);
  curl_easy_setopt(e, CURLOPT_WRITEDATA, this);
  curl_easy_setopt(e, CURLOPT_PREREQFUNCTION, &PrereqCallback);
  curl_easy_setopt(e, CURLOPT_PREREQDATA, this);
  sockets_ = setup.sockets;
  many_at_once_ = setup.manyAtOnce;
  curl_easy_setopt(e, CURLOPT_SOCKOPTFUNCTION, &SocketList::Opened);
  curl_easy_setopt(e, CURLOPT_SOCKOPTDATA, setup.sockets);
  curl_easy_setopt(e, CURLOPT_CLOSESOCKETFUNCTION, &SocketList::Closed);
  curl_easy_setopt(e, CURLOPT_CLOSESOCKETDATA, setup.sockets);
  if (setup.dumpHeaders) {
    curl_easy_setopt(e, CURLOPT_DEBUGFUNCTION, &DebugCallback);
    curl_easy_setopt(e, CURLOPT_DEBUGDATA, this);
    curl_easy_setopt(e, CURLOPT_VERBOSE, 1L);
  }
  return e;
}

void AheadTransfer::Fail(std::uint32_t code, const std::string& description,
                         const std::string& context) {
  failed = true;
  errorCode = code;
  errorDescription = description;
  errorContext = context;
}

void AheadTransfer::Finish(CURLcode result, std::uint32_t ownCode) {
  if (state == State::kFinished) return;
  state = State::kFinished;
  if (easy_) {
    long osErrno = 0;
    long verifyResult = 0;
    curl_easy_getinfo(easy_.get(), CURLINFO_OS_ERRNO, &osErrno);
    curl_easy_getinfo(easy_.get(), CURLINFO_SSL_VERIFYRESULT, &verifyResult);
    jarLines = CookieLines(easy_.get());
    easy_.reset();
    const char* context = headersKnown() ? kReadContext : kOpenContext;
    if (ownCode != 0) {
      Fail(ownCode, WinInetDescription(ownCode), context);
    } else if (!bodyWanted()) {
      // Ended on purpose: the run discards this body on its first progress call.
    } else if (body_state_ == Body::kCut) {
      // Ended on purpose: the run cancels while it replays what came. Should it go on
      // after all, it meets a cancelled fetch, never a truncated file.
      Fail(0, "Action cancelled by caller.", "callback function.");
    } else if (body_state_ == Body::kWriteFailed) {
      Fail(0, "Cannot write output file.", "fwrite()");
    } else if (result != CURLE_OK) {
      const WinInetError error = WinInetErrorFor(result, osErrno, verifyResult);
      Fail(error.code, error.description, context);
    } else if (!headersKnown() && !head_ended_) {
      // The connection closed in the middle of the status line or the headers.
      Fail(kErrInvalidResponse, WinInetDescription(kErrInvalidResponse), kOpenContext);
    } else if (!headersKnown()) {
      OnHeadersKnown();
    }
  }
  if (!pending_.empty() && InMemory() && !failed && bodyWanted()) {
    // The whole body came into memory: the stock's thread writes it, and the run
    // reads it from here.
    body_ = std::make_shared<const std::string>(std::move(pending_));
    write_ = stock_->WriteLater(fd_, body_);
  } else if (!pending_.empty() && !WriteOut(pending_.size()) && !failed && bodyWanted()) {
    Fail(0, "Cannot write output file.", "fwrite()");
  }
  std::string().swap(pending_);
  if (!failed && bodyWanted() && headersKnown() && !write_ && body_path_.empty()) {
    // An empty body: its file is made now, as the fetch would have made it.
    if (!OpenBodyFile()) Fail(0, "Cannot write output file.", "fwrite()");
  }
  headers_.reset();
}

void AheadTransfer::SnapshotJar() {
  if (easy_) jarLines = CookieLines(easy_.get());
}

void AheadTransfer::Abandon() {
  if (easy_) jarLines = CookieLines(easy_.get());
  easy_.reset();
  headers_.reset();
  state = State::kFinished;
}

bool AheadTransfer::Stalled(double now, long connectMs, long stallMs) const {
  if (state != State::kRunning || paused_) return false;
  if (!connected_) return now - started_ >= static_cast<double>(connectMs);
  return now - lastActivity_ >= static_cast<double>(stallMs);
}

bool AheadTransfer::OnHeadersKnown() {
  const ResponseHead head = ParseResponseHead(responseBlock);
  status = head.status;
  contentLength = ReportedLength(head, request.decodeBody);
  if (easy_) {
    long version = 0;
    curl_easy_getinfo(easy_.get(), CURLINFO_HTTP_VERSION, &version);
    multiplexed = version >= CURL_HTTP_VERSION_2_0;
    char* where = nullptr;
    if (multiplexed && curl_easy_getinfo(easy_.get(), CURLINFO_EFFECTIVE_URL, &where) == CURLE_OK &&
        where != nullptr) {
      origin = OriginOf(where);
    }
  }
  const bool wanted =
      static_cast<long long>(contentLength) >= request.minimumBytes &&
      (!request.acceptsHead || request.acceptsHead(status, ResponseContentType(responseBlock)));
  // A small body (below the minimum, or not a picture) is read and thrown away rather
  // than ending the connection: the next request then needs no new connection (nor,
  // over https, a new handshake).
  const bool drains = contentLength > 0 && static_cast<size_t>(contentLength) <= kDrainBytes;
  body_state_ = wanted ? Body::kReceiving : drains ? Body::kDraining : Body::kDropped;
  return wanted;
}

void AheadTransfer::OnHeaderLine(const char* data, size_t size) {
  if (headersKnown()) return;  // trailers of a chunked body
  Touch();
  const std::string_view line(data, size);
  if (StartsWithNoCase(line, "set-cookie:")) setCookieSeen = true;
  const HeadLine what = TakeHeaderLine(responseBlock, line);
  head_ended_ = what != HeadLine::kMore;
  if (!head_ended_) return;
  if (sockets_ != nullptr) sockets_->Acknowledge(local_port_);
  if (what == HeadLine::kFinal) {
    OnHeadersKnown();
  } else if (ParseResponseHead(responseBlock).status >= 300) {
    // A redirect may lead to another server: its connection has the connect time-out.
    connected_ = false;
    started_ = *clock_;
  }
}

bool AheadTransfer::OpenBodyFile() {
  return stock_ != nullptr && Adopt(stock_->Take());
}

bool AheadTransfer::Adopt(AheadFile&& file) {
  if (file.fd < 0) return false;
  fd_ = file.fd;
  body_path_ = std::move(file.path);
  anonymous_ = file.anonymous;
  file.fd = -1;
  return true;
}

bool AheadTransfer::OnBody(const char* data, size_t size) {
  if (!headersKnown() && !OnHeadersKnown()) return false;
  if (!bodyWanted()) {
    drained_ += size;
    if (!Draining() || drained_ > kDrainBytes) return false;
    Touch();
    return true;
  }
  Touch();
  if (body_state_ != Body::kReceiving) return false;
  if (body_path_.empty()) {
    // Over a server that multiplexes, a body that waits whole in memory takes a file only
    // if one is ready; else it is made once the body is whole, by the stock's thread
    // (WriteOut makes it should the body outgrow the memory bound): made here, it would
    // hold every transfer of this turn, up to H2 Streams of them. With a few connections
    // it is made here, while the run would wait for the network anyway.
    if (many_at_once_ && InMemory() && stock_ != nullptr) {
      Adopt(stock_->TakeReady());
    } else if (!OpenBodyFile()) {
      body_state_ = Body::kWriteFailed;
      return false;
    }
  }
  // Kept whole in memory up to a bound while nobody replays it; else written in the
  // 64 KB pieces a fetch writes, so that a write that fails does so at the same read.
  if (pending_.capacity() < kBodyWriteSize) pending_.reserve(kBodyWriteSize);
  pending_.append(data, size);
  if ((!InMemory() || pending_.size() > kBodyInMemory) && !FlushPieces()) return false;
  blocks_.push_back(static_cast<std::uint32_t>(size));
  received_ += static_cast<long long>(size);
  if (cutoff_ && status >= 200 && status <= 299 && cutoff_(data, size)) {
    body_state_ = Body::kCut;
    return false;
  }
  return true;
}

bool AheadTransfer::WriteOut(size_t size) {
  if (body_path_.empty() && !OpenBodyFile()) {
    // As when the file can't be made at the body's first read: the run meets the
    // failure before any of it.
    if (body_state_ == Body::kReceiving) body_state_ = Body::kWriteFailed;
    no_file_ = true;
    pending_.clear();
    return false;
  }
  for (size_t done = 0; done < size;) {
    const ssize_t n = ::write(fd_, pending_.data() + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (body_state_ == Body::kReceiving) body_state_ = Body::kWriteFailed;
      write_failed_at_ = written_ + static_cast<long long>(done);
      pending_.clear();
      return false;
    }
    done += static_cast<size_t>(n);
  }
  written_ += static_cast<long long>(size);
  pending_.erase(0, size);
  return true;
}

bool AheadTransfer::FlushPieces() {
  while (pending_.size() >= kBodyWriteSize) {
    if (!WriteOut(kBodyWriteSize)) return false;
  }
  return true;
}

void AheadTransfer::MarkReplaying() {
  if (replaying_) return;
  replaying_ = true;
  if (state == State::kRunning && !pending_.empty()) FlushPieces();
}

long long AheadTransfer::WriteFailureCutoff() {
  if (write_ && !write_checked_) {
    write_checked_ = true;
    if (!stock_->Wait(*write_)) write_failed_at_ = static_cast<long long>(write_->written);
    TakeWrittenFile();
    no_file_ = no_file_ || fd_ < 0;
  }
  if (no_file_) return 0;
  if (write_failed_at_ < 0) return -1;
  const auto piece = static_cast<long long>(kBodyWriteSize);
  return (write_failed_at_ / piece + 1) * piece;
}

long long AheadTransfer::FrontBlockEnd() const {
  if (blocks_.empty()) return -1;
  return handed_ - front_used_ + blocks_.front();
}

size_t AheadTransfer::NextPiece(size_t limit) {
  if (blocks_.empty()) return 0;
  const size_t piece = std::min<size_t>(limit, blocks_.front() - front_used_);
  front_used_ += static_cast<std::uint32_t>(piece);
  handed_ += static_cast<long long>(piece);
  if (front_used_ == blocks_.front()) {
    blocks_.pop_front();
    front_used_ = 0;
  }
  if (paused_ && received_ - handed_ < kAheadOfReplay / 2 && easy_) {
    paused_ = false;
    Touch();
    curl_easy_pause(easy_.get(), CURLPAUSE_CONT);
  }
  return piece;
}

const char* AheadTransfer::BodyBytes(char* scratch, size_t size, long long offset) {
  const long long end = offset + static_cast<long long>(size);
  if (body_) {
    return end <= static_cast<long long>(body_->size()) ? body_->data() + offset : nullptr;
  }
  if (offset >= written_ && end - written_ <= static_cast<long long>(pending_.size())) {
    return pending_.data() + (offset - written_);
  }
  return ReadBody(scratch, size, offset) ? scratch : nullptr;
}

bool AheadTransfer::ReadBody(char* data, size_t size, long long offset) {
  const long long end = offset + static_cast<long long>(size);
  // The bytes before written_ are in the file, the rest in memory.
  const size_t fromFile =
      offset >= written_ ? 0 : static_cast<size_t>(std::min(end, written_) - offset);
  if (fromFile > 0 && !ReadFile(data, fromFile, offset)) return false;
  if (fromFile < size) {
    const long long at = offset + static_cast<long long>(fromFile) - written_;
    if (end - written_ > static_cast<long long>(pending_.size())) return false;
    std::memcpy(data + fromFile, pending_.data() + at, size - fromFile);
  }
  return true;
}

bool AheadTransfer::ReadFile(char* data, size_t size, long long offset) {
  const long long end = offset + static_cast<long long>(size);
  if (offset < read_offset_ || end > read_offset_ + static_cast<long long>(read_size_)) {
    // The run asks for the body in small pieces, in order: it is read in large ones.
    const int fd = fd_;
    if (fd < 0) return false;
    const size_t capacity = std::max(size, kBodyReadAhead);
    if (read_capacity_ < capacity) {
      read_buffer_ = std::make_unique<char[]>(capacity);
      read_capacity_ = capacity;
    }
    read_offset_ = offset;
    read_size_ = 0;
    while (read_size_ < size) {
      const ssize_t n = ::pread(fd, read_buffer_.get() + read_size_, capacity - read_size_,
                                offset + static_cast<long long>(read_size_));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      read_size_ += static_cast<size_t>(n);
    }
  }
  std::memcpy(data, read_buffer_.get() + (offset - read_offset_), size);
  return true;
}

bool AheadTransfer::StoreBody(std::string& to, const NextName& next, bool emptyIsFree) {
  read_buffer_.reset();
  read_capacity_ = read_size_ = 0;
  bool stored = true;
  if (write_) {
    stored = stock_->Wait(*write_);
    TakeWrittenFile();
    write_.reset();
    body_.reset();
  }
  if (body_path_.empty()) return false;
  // A file without a name takes a partial name first, and its final one as any other.
  if (stored && anonymous_) {
    stored = stock_->files().Name(fd_, body_path_);
    anonymous_ = !stored;
  }
  stored = ::close(fd_) == 0 && stored;
  fd_ = -1;
  if (stored) {
    stored = next ? MoveWithoutReplacing(body_path_, to, next, emptyIsFree)
                  : std::rename(body_path_.c_str(), to.c_str()) == 0;
  }
  if (!stored && !anonymous_) ::unlink(body_path_.c_str());
  body_path_.clear();
  anonymous_ = false;
  return stored;
}

void AheadTransfer::TakeWrittenFile() {
  if (write_ && fd_ < 0) Adopt(std::move(write_->made));
}

std::vector<std::string> AheadTransfer::CurrentJar() const {
  return easy_ ? CookieLines(easy_.get()) : jarLines;
}

AheadView AheadTransfer::View() const {
  AheadView view;
  view.id = id;
  view.headersKnown = headersKnown();
  view.status = status;
  view.contentLength = contentLength;
  view.bodyWanted = bodyWanted();
  view.complete = state == State::kFinished && !failed && headersKnown() && bodyWanted();
  view.failed = failed;
  view.bodyPath = body_path_;
  return view;
}

size_t AheadTransfer::HeaderCallback(char* data, size_t size, size_t count, void* self) {
  auto* transfer = static_cast<AheadTransfer*>(self);
  const size_t n = size * count;
  transfer->OnHeaderLine(data, n);
  return transfer->body_state_ == Body::kDropped ? 0 : n;
}

size_t AheadTransfer::WriteCallback(char* data, size_t size, size_t count, void* self) {
  auto* transfer = static_cast<AheadTransfer*>(self);
  const size_t n = size * count;
  if (transfer->replaying_ && transfer->bodyWanted() &&
      transfer->received_ - transfer->handed_ >= kAheadOfReplay) {
    transfer->paused_ = true;
    return CURL_WRITEFUNC_PAUSE;
  }
  return transfer->OnBody(data, n) ? n : CURL_WRITEFUNC_ERROR;
}

int AheadTransfer::DebugCallback(CURL*, curl_infotype type, char* data, size_t size, void* self) {
  if (type != CURLINFO_HEADER_OUT) return 0;
  auto* transfer = static_cast<AheadTransfer*>(self);
  const std::string_view text(data, size);
  if (text.starts_with("GET ")) transfer->requestBlock.clear();
  transfer->requestBlock.append(text);
  return 0;
}

int AheadTransfer::PrereqCallback(void* self, char*, char*, int, int localPort) {
  auto* transfer = static_cast<AheadTransfer*>(self);
  transfer->local_port_ = localPort;
  transfer->connected_ = true;
  transfer->Touch();
  return CURL_PREREQFUNC_OK;
}

}  // namespace harvelo
