#include "http/lookahead_pool.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>

#include "http/cookie_store.h"
#include "http/curl_setup.h"
#include "http/header_dump.h"
#include "http/lookahead_transfer.h"
#include "http/wininet_errors.h"
#include "platform/message_pump.h"
#include "platform/sleep.h"

namespace harvelo {
namespace {

constexpr const char* kOpenContext = "CInternetSession::OpenURL()";
constexpr size_t kReadSize = 2048;
constexpr auto kPumpInterval = std::chrono::milliseconds(40);
// While a body fetched ahead is replayed, the network is looked at this often (one
// poll), and the transfers get a turn when it brought something.
constexpr int kPiecesBetweenTurns = 4;
constexpr int kTurnAtLeast = 4;  // looks (counted in kPiecesBetweenTurns)
// Starts and sends in one turn at most this often (each may see transfers end).
constexpr int kStartRounds = 4;
// Transfers start while fewer than N are in flight, up to this many times N requests
// ahead of the run (the finished ones wait for the run).
constexpr size_t kStartFactor = 2;
// How much further than it starts transfers the plan is read for those under way.
constexpr size_t kHoldFactor = 4;
constexpr size_t kHoldSlack = 16;
constexpr int kMaxStreams = 128;

std::string AgentLine(const std::string& agent) {
  return agent.substr(0, agent.find_first_of("\r\n"));
}

void FailRecord(HTTPFetcher& fetcher, std::uint32_t code, const std::string& description,
                const std::string& context) {
  fetcher.m_dwErrorCode = code;
  std::snprintf(fetcher.m_szErrorDesc, 80, "%s", description.c_str());
  std::snprintf(fetcher.m_szErrorContext, sizeof fetcher.m_szErrorContext, "%.80s",
                context.c_str());
  fetcher.m_bContinue = 0;
}

void Cancelled(HTTPFetcher& fetcher) {
  FailRecord(fetcher, 0, "Action cancelled by caller.", "callback function.");
}

// What the fetch checks before its output counts as created: its directory takes new
// files, and a final name that is to be replaced is not a directory nor a file that can't
// be replaced.
bool CanCreate(const std::string& path, bool replacing) {
  struct stat st {};
  if (replacing && ::stat(path.c_str(), &st) == 0 &&
      (S_ISDIR(st.st_mode) || ::access(path.c_str(), W_OK) != 0)) {
    return false;
  }
  const size_t slash = path.rfind('/');
  const std::string dir = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  return ::access(dir.c_str(), W_OK | X_OK) == 0;
}

int ClampToInt(long long n) {
  return n > INT_MAX ? INT_MAX : static_cast<int>(n);
}

}  // namespace

// ---- AheadPlan ----

AheadPlan::AheadPlan(const std::vector<std::unique_ptr<AheadTransfer>>& held, size_t maxRequests,
                     size_t maxPages)
    : held_(held),
      used_(held.size(), false),
      max_requests_(maxRequests),
      start_limit_(maxRequests == 1 ? 1 : kStartFactor * maxRequests),
      max_pages_(maxPages) {
  for (const auto& t : held) unmatched_started_ += t->state != AheadTransfer::State::kWaiting;
}

const AheadView* AheadPlan::Add(AheadRequest request) {
  if (request.referer.find_first_of("\r\n") != std::string::npos) {
    request.referer = SentReferer(request.referer);
  }
  if (request.page) ++pages_;
  int match = -1;
  // The first unused one that is the same request; the plan mostly lists the held
  // transfers in their order, so the search begins at the first one not yet found.
  for (size_t i = first_unused_; i < held_.size(); ++i) {
    if (!used_[i] && held_[i] && held_[i]->request == request) {
      used_[i] = true;
      match = static_cast<int>(i);
      unmatched_started_ -= held_[i]->state != AheadTransfer::State::kWaiting;
      break;
    }
  }
  while (first_unused_ < used_.size() && used_[first_unused_]) ++first_unused_;
  // Only the first pages ahead are started; the plan goes on only to find the
  // transfers already under way.
  startable_.push_back(requests_.size() < start_limit_ && pages_ <= max_pages_);
  requests_.push_back(std::move(request));
  matched_.push_back(match);
  if (match < 0) return nullptr;
  views_.push_back(held_[static_cast<size_t>(match)]->View());
  return &views_.back();
}

bool AheadPlan::Full() const {
  // A page scanned ahead puts its resources before requests already under way, which
  // must not be dropped for that only to be fetched again: the plan goes on as far as
  // it must to find them, within a bound.
  const bool startsDone = requests_.size() >= start_limit_ || pages_ >= max_pages_;
  return requests_.size() >= kHoldFactor * max_requests_ + kHoldSlack ||
         pages_ >= kHoldFactor * max_pages_ || (startsDone && unmatched_started_ == 0);
}

// ---- LookAheadPool ----

LookAheadPool::LookAheadPool(const Options& options, const std::string& destination)
    : options_(options), files_(destination) {
  const std::string agent = options.agent ? *options.agent : kDefaultUserAgent;
  agent_ = AgentLine(agent);
  empty_agent_ = agent_.empty();
  options_.maxTransfers = std::max(1, options_.maxTransfers);
  options_.maxPagesAhead = std::max<size_t>(1, options_.maxPagesAhead);
  CURLSH* share = SharedCookieStore();
  multi_.reset(curl_multi_init());
  store_.reset(curl_easy_init());
  if (!multi_ || !store_) return;
  curl_easy_setopt(store_.get(), CURLOPT_SHARE, share);
  curl_easy_setopt(store_.get(), CURLOPT_COOKIEFILE, "");
  // One at a time stays one at a time over HTTP/2.
  options_.maxStreams =
      std::clamp(options_.maxStreams, 0, options_.maxTransfers == 1 ? 1 : kMaxStreams);
  const long n = options_.maxTransfers;
  // Connections stay N to a host; over HTTP/2 the streams on one of them are the bound.
  curl_multi_setopt(multi_.get(), CURLMOPT_MAX_HOST_CONNECTIONS, n);
  curl_multi_setopt(multi_.get(), CURLMOPT_MAXCONNECTS, n);
  // Pictures on several hosts (or several names of one server) share the N as well.
  curl_multi_setopt(multi_.get(), CURLMOPT_MAX_TOTAL_CONNECTIONS, n);
  curl_multi_setopt(multi_.get(), CURLMOPT_PIPELINING,
                    options_.maxStreams > 0 ? CURLPIPE_MULTIPLEX : CURLPIPE_NOTHING);
  if (options_.maxStreams > 0) {
    curl_multi_setopt(multi_.get(), CURLMOPT_MAX_CONCURRENT_STREAMS,
                      static_cast<long>(std::max(options_.maxStreams, options_.maxTransfers)));
  }
  // One at a time makes each body's file when its head comes; a look-ahead keeps N ready.
  stock_ = std::make_unique<AheadFileStock>(files_, n > 1 ? static_cast<size_t>(n) : 0,
                                            options_.anonymousFiles);
  last_pump_ = std::chrono::steady_clock::now();
}

LookAheadPool::~LookAheadPool() {
  while (!window_.empty()) Drop(window_.size() - 1);
  DropFinishing();
  // The connections close (through sockets_) before the list goes.
  multi_.reset();
}

void LookAheadPool::SetTimeouts(long connectMs, long stallMs) {
  connect_ms_ = connectMs;
  stall_ms_ = stallMs;
}

int LookAheadPool::RunningCount() const {
  int running = 0;
  for (const auto& t : window_) running += t->state == AheadTransfer::State::kRunning ? 1 : 0;
  return running;
}

int LookAheadPool::InFlightLimit(const AheadTransfer& transfer) const {
  if (options_.maxStreams <= 0 || multiplexed_.empty()) return options_.maxTransfers;
  if (!multiplexed_.contains(OriginOf(transfer.request.url))) return options_.maxTransfers;
  return std::max(options_.maxTransfers, options_.maxStreams);
}

int LookAheadPool::WidestLimit() const {
  if (options_.maxStreams <= 0 || multiplexed_.empty()) return options_.maxTransfers;
  return std::max(options_.maxTransfers, options_.maxStreams);
}

void LookAheadPool::LearnMultiplexing() {
  for (const auto& t : window_) {
    if (t->multiplexed && !t->origin.empty()) multiplexed_.insert(t->origin);
  }
  // Over HTTP/2 as many files ready as bodies may come at once: as many as streams, and
  // no more than the window's requests whose bodies are still to come (a file made and
  // never taken costs as much as one taken).
  if (stock_ && !multiplexed_.empty()) {
    const auto toCome = std::count_if(window_.begin(), window_.end(),
                                      [](const auto& t) { return t->AwaitsBodyFile(); });
    stock_->Deepen(std::min(static_cast<size_t>(WidestLimit()), static_cast<size_t>(toCome)));
  }
}

void LookAheadPool::Remove(const AheadTransfer& transfer) {
  if (transfer.state == AheadTransfer::State::kRunning && transfer.easy() != nullptr) {
    curl_multi_remove_handle(multi_.get(), transfer.easy());
  }
}

void LookAheadPool::Drop(size_t index) {
  Remove(*window_[index]);
  window_.erase(window_.begin() + static_cast<std::ptrdiff_t>(index));
}

void LookAheadPool::DropAllBut(const AheadTransfer* keep) {
  for (size_t i = window_.size(); i-- > 0;) {
    if (window_[i].get() != keep) Drop(i);
  }
  DropFinishing();
}

void LookAheadPool::DropFinishing() {
  for (const auto& t : finishing_) Remove(*t);
  finishing_.clear();
}

AheadTransfer& LookAheadPool::Reconcile(const AheadRequest& head) {
  const bool stopped = stopping && stopping();
  const size_t reach = stopped ? 1 : static_cast<size_t>(WidestLimit());
  // A thumbnail gallery's linked pages each bring one picture: over HTTP/2 as many
  // pages ahead as streams keeps them busy.
  const size_t pages = std::max(options_.maxPagesAhead, reach == 1 ? 1 : reach);
  AheadPlan plan(window_, reach,
                 WidestLimit() > options_.maxTransfers ? pages : options_.maxPagesAhead);
  if (reach > 1 && planner) planner(plan);
  plan_holds_ =
      reach > 1 && planner && !plan.unsure_ && !plan.Full() &&
      std::all_of(plan.startable_.begin(), plan.startable_.end(), [](bool s) { return s; });
  if (plan.requests_.empty() || !(plan.requests_.front() == head)) {
    plan_holds_ = false;
    // The run went another way than foreseen: what it asks for comes first.
    AheadPlan own(window_, 1, 1);
    own.Add(head);
    plan.used_ = own.used_;
    plan.first_unused_ = own.first_unused_;
    plan.requests_ = own.requests_;
    plan.matched_ = own.matched_;
    plan.startable_ = own.startable_;
  }
  std::vector<std::unique_ptr<AheadTransfer>> next;
  for (size_t i = 0; i < plan.requests_.size(); ++i) {
    const int match = plan.matched_[i];
    const bool near = plan.startable_[i];
    if (match >= 0 &&
        (near || window_[static_cast<size_t>(match)]->state != AheadTransfer::State::kWaiting)) {
      next.push_back(std::move(window_[static_cast<size_t>(match)]));
    } else if (near) {
      const int id = next_id_++;
      next.push_back(std::make_unique<AheadTransfer>(id, plan.requests_[i], stock_.get()));
    }
  }
  // What the run will no longer ask for goes.
  for (auto& old : window_) {
    if (old) {
      Remove(*old);
    }
  }
  window_ = std::move(next);
  return *window_.front();
}

std::vector<std::string> LookAheadPool::ExpectedStore(const AheadTransfer& transfer) const {
  // The store as the run will have it when it reaches `transfer`: what each request
  // before it does to it, as far as their headers are known, done on a jar of its own.
  // Requests go out only once what the responses before them set is known (StartWaiting).
  std::vector<std::string> lines = CookieLines(store_.get());
  std::unique_ptr<CURL, StoreDeleter> scratch;
  for (const auto& earlier : window_) {
    if (earlier.get() == &transfer) break;
    const bool sets = earlier->headersKnown() && earlier->setCookieSeen;
    if (!sets && earlier->request.cookies.empty()) continue;
    if (!scratch) {
      scratch.reset(curl_easy_init());
      if (!scratch) break;
      curl_easy_setopt(scratch.get(), CURLOPT_COOKIEFILE, "");
    }
    const std::vector<std::string> jar = sets ? earlier->CurrentJar() : std::vector<std::string>();
    curl_easy_setopt(scratch.get(), CURLOPT_COOKIELIST, "ALL");
    for (const std::string& line : lines) {
      curl_easy_setopt(scratch.get(), CURLOPT_COOKIELIST, line.c_str());
    }
    ApplyCookies(scratch.get(), *earlier, sets ? &jar : nullptr);
    lines = CookieLines(scratch.get());
  }
  return lines;
}

void LookAheadPool::Start(AheadTransfer& transfer) {
  AheadTransferSetup setup;
  setup.agent = agent_;
  setup.emptyAgent = empty_agent_;
  setup.dumpHeaders = options_.dumpHeaders;
  setup.offerHttp2 = options_.maxStreams > 0;
  setup.manyAtOnce = InFlightLimit(transfer) > options_.maxTransfers;
  setup.sockets = &sockets_;
  CURL* easy = transfer.Prepare(setup, ExpectedStore(transfer), &drive_clock_);
  if (easy == nullptr) {
    plan_dirty_ = true;
    return;
  }
  if (curl_multi_add_handle(multi_.get(), easy) != CURLM_OK) {
    transfer.Finish(CURLE_FAILED_INIT, kErrInternal);
    plan_dirty_ = true;
  }
  peak_in_flight_ = std::max(peak_in_flight_, RunningCount());
}

int LookAheadPool::StartWaiting() {
  // A request goes out with the cookies that the responses before it set, and only once
  // those are settled: once the site has shown that its pages (or even its resources)
  // set cookies, a request waits until the headers of the pages (of all requests) before
  // it are here, so that it never goes out with cookies other than the run's, and never
  // has to go again. Until the first resource has answered, nobody knows whether
  // resources set cookies: the requests after it wait for that answer. (A page's own
  // cookies are known before its request goes out: ExpectedStore.)
  for (const auto& t : window_) {
    if (!t->request.page && (t->headersKnown() || t->state == AheadTransfer::State::kFinished)) {
      resource_answered_ = true;
    }
    if (!t->setCookieSeen) continue;
    (t->request.page ? pages_set_cookies_ : resources_set_cookies_) = true;
  }
  LearnMultiplexing();
  int running = RunningCount();
  int started = 0;
  bool earlierPending = false;      // a request before this one has no headers yet
  bool earlierPagePending = false;  // a page before this one has no headers yet
  for (auto& t : window_) {
    if (running >= WidestLimit()) break;
    const bool waits = ((resources_set_cookies_ || !resource_answered_) && earlierPending) ||
                       (pages_set_cookies_ && earlierPagePending);
    if (t->state == AheadTransfer::State::kWaiting && !waits && running < InFlightLimit(*t)) {
      Start(*t);
      if (t->state == AheadTransfer::State::kRunning) {
        ++running;
        ++started;
      }
    }
    const bool pending = t->state != AheadTransfer::State::kFinished && !t->headersKnown();
    earlierPending = earlierPending || pending;
    earlierPagePending = earlierPagePending || (pending && t->request.page);
  }
  return started;
}

void LookAheadPool::CollectFinished() {
  int left = 0;
  while (CURLMsg* msg = curl_multi_info_read(multi_.get(), &left)) {
    if (msg->msg != CURLMSG_DONE) continue;
    const CURLcode result = msg->data.result;
    CURL* easy = msg->easy_handle;
    AheadTransfer* transfer = nullptr;
    curl_easy_getinfo(easy, CURLINFO_PRIVATE, &transfer);
    curl_multi_remove_handle(multi_.get(), easy);
    if (transfer != nullptr) transfer->Finish(result);
    plan_dirty_ = true;
  }
  std::erase_if(finishing_,
                [](const auto& t) { return t->state == AheadTransfer::State::kFinished; });
}

bool LookAheadPool::OthersUnderWay(const AheadTransfer& transfer) const {
  if (!finishing_.empty()) return true;
  return std::any_of(window_.begin(), window_.end(), [&transfer](const auto& t) {
    return t.get() != &transfer && t->state != AheadTransfer::State::kFinished;
  });
}

bool LookAheadPool::NetworkWaiting() {
  int ready = 0;
  // A turn is also due when a transfer may start or a time-out may be near: at least
  // every kTurnAtLeast pieces.
  if (++pieces_without_turn_ >= kTurnAtLeast) return true;
  return curl_multi_wait(multi_.get(), nullptr, 0, 0, &ready) == CURLM_OK && ready > 0;
}

void LookAheadPool::PumpIfDue() {
  const auto now = std::chrono::steady_clock::now();
  if (now - last_pump_ < kPumpInterval) return;
  Pump_Messages(pump_budget_);
  last_pump_ = std::chrono::steady_clock::now();
}

void LookAheadPool::Drive(const std::function<bool()>& ready) {
  const auto begin = std::chrono::steady_clock::now();
  pieces_without_turn_ = 0;
  const bool stopped = stopping && stopping();
  if (stopped && window_.size() > 1) DropAllBut(window_.front().get());
  if (!stopped && holding && holding()) {
    // Paused: every transfer waits where it is; the window stays alive.
    if (ready) {
      if (stock_) stock_->HandOver();
      SleepMs(static_cast<int>(kPumpInterval.count()));
    }
    Pump_Messages(pump_budget_);
    last_pump_ = std::chrono::steady_clock::now();
    return;
  }
  int active = 0;
  curl_multi_perform(multi_.get(), &active);
  CollectFinished();
  for (auto& t : window_) {
    if (t->Stalled(drive_clock_, connect_ms_, stall_ms_)) {
      Remove(*t);
      t->Finish(CURLE_OPERATION_TIMEDOUT, kErrTimeout);
      plan_dirty_ = true;
    }
  }
  std::erase_if(finishing_, [this](const auto& t) {
    const bool stalled = t->Stalled(drive_clock_, connect_ms_, stall_ms_);
    if (stalled) Remove(*t);
    return stalled;
  });
  for (int round = 0; round < kStartRounds; ++round) {
    if (plan_dirty_ && !window_.empty()) {
      plan_dirty_ = false;
      Reconcile(window_.front()->request);
    }
    if (StartWaiting() == 0) break;
    // The requests just started go out now, not after the run's next piece of work:
    // on a distant site every request waits a round trip from here.
    curl_multi_perform(multi_.get(), &active);
    // What ended meanwhile is seen before any wait, so that its place is taken at once
    // (curl may have given its connection to a request already).
    CollectFinished();
  }
  PumpIfDue();
  // Waits only while what the run waits for has not come with this turn, and nothing
  // that ended is left to act on (the caller's next turn does that).
  const bool moreToStart = plan_dirty_ && !window_.empty();
  if (ready && !ready() && !moreToStart) {
    const auto untilPump = kPumpInterval - (std::chrono::steady_clock::now() - last_pump_);
    const long waitMs =
        std::clamp<long>(std::chrono::duration_cast<std::chrono::milliseconds>(untilPump).count(),
                         1, kPumpInterval.count());
    if (stock_) stock_->HandOver();
    curl_multi_poll(multi_.get(), nullptr, 0, static_cast<int>(waitMs), nullptr);
  }
  drive_clock_ +=
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count();
}

int LookAheadPool::Serve(HTTPFetcher& fetcher, const AheadRequest& asked,
                         const std::string& outPath, FetchProgressFn callback, void* context) {
  fetcher.m_nStatusCode = 0;
  fetcher.m_nContentLength = 0;
  fetcher.m_storedPath.clear();
  if (serving_ || !multi_ || !store_) {
    // A fetch started from inside another one's callback.
    FailRecord(fetcher, kErrInternal, WinInetDescription(kErrInternal), kOpenContext);
    return 0;
  }
  serving_ = true;
  pump_budget_ = fetcher.m_nPumpCount / 2;
  AheadRequest request = asked;
  request.referer = SentReferer(request.referer);
  // The run asks for the next request of a plan that still holds: the window is its plan
  // already (listing it again costs every request of the window at every fetch).
  const bool holds = plan_holds_ && !plan_dirty_ && !window_.empty() &&
                     window_.front()->request == request && !(stopping && stopping());
  // A request that went out before an earlier response set a cookie nobody could
  // foresee is not sent again: it was sent once, as a browser sends its requests at
  // once, and what its own responses set is added to the store as it is now.
  AheadTransfer* head = holds ? window_.front().get() : &Reconcile(request);
  StartWaiting();
  const int result = Replay(fetcher, *head, outPath, callback, context);
  // The replay may have put a new transfer in the head's place.
  AheadTransfer& served = *window_.front();
  // A small body the run did not want is read to its end all the same, unless the run
  // stops: its connection then serves the next request.
  const bool finishes = served.state == AheadTransfer::State::kRunning && served.Draining() &&
                        !(stopping && stopping());
  if (finishes) {
    served.SnapshotJar();
  } else if (served.state == AheadTransfer::State::kRunning) {
    Remove(served);
    served.Abandon();
  }
  ApplyCookies(store_.get(), served, served.setCookieSeen ? &served.jarLines : nullptr);
  if (finishes) finishing_.push_back(std::move(window_.front()));
  window_.erase(window_.begin());
  serving_ = false;
  return result;
}

void LookAheadPool::ApplyCookies(CURL* store, const AheadTransfer& transfer,
                                 const std::vector<std::string>* jar) {
  // As the fetch leaves the store: the page's cookies stored, what the responses changed
  // in the request's own jar (seeded with the store and the page's cookies), the page's
  // cookies expired again.
  const std::string& cookies = transfer.request.cookies;
  SetPageCookies(store, transfer.request.url, cookies);
  if (jar != nullptr) ApplyJarChanges(store, transfer.sentJar, *jar);
  ExpirePageCookies(store, transfer.request.url, cookies);
}

int LookAheadPool::Replay(HTTPFetcher& fetcher, AheadTransfer& first, const std::string& givenPath,
                          FetchProgressFn callback, void* context) {
  AheadTransfer* transfer = &first;
  // From now on its body is received only as far ahead of the replay as a fetch reads.
  transfer->MarkReplaying();
  auto headers = [&transfer] {
    return transfer->headersKnown() || transfer->state == AheadTransfer::State::kFinished;
  };
  while (!headers()) {
    // A head that comes slowly, or not at all, must not hold a Stop.
    if (fetcher.m_cancelWhileWaiting && fetcher.m_cancelWhileWaiting()) {
      Cancelled(fetcher);
      return 0;
    }
    Drive(headers);
  }
  if (!transfer->headersKnown()) {
    if (!transfer->failed) {
      FailRecord(fetcher, kErrInternal, WinInetDescription(kErrInternal), kOpenContext);
    } else {
      FailRecord(fetcher, transfer->errorCode, transfer->errorDescription, transfer->errorContext);
    }
    return 0;
  }
  fetcher.m_nStatusCode = transfer->status;
  fetcher.m_nContentLength = transfer->contentLength;
  std::string outPath = givenPath;
  const bool typed = fetcher.NameForHead(transfer->responseBlock, outPath);
  if (fetcher.m_bDumpHeaders) {
    auto block = [](const std::string& text) {
      return text.empty() ? std::nullopt : std::optional<std::string>(text);
    };
    WriteHeaderDump(outPath, block(transfer->requestBlock), block(transfer->responseBlock));
  }
  if (!typed) {
    Cancelled(fetcher);
    return 0;
  }
  if (!CanCreate(outPath, !fetcher.m_nextFreeName)) {
    FailRecord(fetcher, 0, "Cannot create output file.", "fopen(,\"wb\")");
    return 0;
  }
  // From here the fetch has "created" its output: a failure removes what is at outPath,
  // unless the caller asked for it to be left alone.
  auto failed = [&outPath, &fetcher]() {
    if (!fetcher.m_nextFreeName) ::unlink(outPath.c_str());
    return 0;
  };
  const int length = fetcher.m_nContentLength;
  int callIndex = 0;
  long long bytesSoFar = 0;
  if (callback != nullptr && callback(context, callIndex++, length, 0) == 0) {
    Cancelled(fetcher);
    return failed();
  }
  fetcher.m_bContinue = 1;
  if (!transfer->bodyWanted()) {
    // The run wants a body the pool judged too short to fetch: fetch it now.
    AheadRequest whole = transfer->request;
    whole.minimumBytes = 0;
    Remove(*transfer);
    const int id = next_id_++;
    window_.front() = std::make_unique<AheadTransfer>(id, whole, stock_.get());
    transfer = window_.front().get();
    Start(*transfer);
  }

  transfer->MarkReplaying();
  int pieces = 0;
  char data[kReadSize];
  for (;;) {
    // A body that could not be written fails where the fetch's own write would have.
    if (transfer->AtBlockStart() && transfer->HasPiece()) {
      const long long cutoff = transfer->WriteFailureCutoff();
      if (cutoff >= 0 && transfer->FrontBlockEnd() >= cutoff) {
        FailRecord(fetcher, 0, "Cannot write output file.", "fwrite()");
        return failed();
      }
    }
    const size_t piece = transfer->NextPiece(kReadSize);
    if (piece > 0) {
      if (fetcher.m_onBody) {
        // The bytes, for the checks that read the body as the fetch hands it on.
        const char* bytes = transfer->BodyBytes(data, piece, bytesSoFar);
        if (bytes == nullptr) {
          FailRecord(fetcher, 0, "Cannot write output file.", "fwrite()");
          return failed();
        }
        fetcher.m_onBody(bytes, piece);
      }
      bytesSoFar += static_cast<long long>(piece);
      Pump_Messages(fetcher.m_nPumpCount / 2);
      if (fetcher.m_nPauseMs > 0) SleepMs(fetcher.m_nPauseMs);
      Pump_Messages(fetcher.m_nPumpCount / 2);
      last_pump_ = std::chrono::steady_clock::now();
      if (callback != nullptr &&
          callback(context, callIndex++, length, ClampToInt(bytesSoFar)) == 0) {
        Cancelled(fetcher);
        return failed();
      }
      // The others under way get their turns meanwhile; alone, the transfer is driven
      // only once the replay has caught up (as a fetch reads the network only once it has
      // handed on what it read), so that a fetch the run cancels has not cost more.
      if (++pieces % kPiecesBetweenTurns == 0 && OthersUnderWay(*transfer) && NetworkWaiting()) {
        Drive(nullptr);
      }
      continue;
    }
    if (transfer->state == AheadTransfer::State::kFinished) break;
    if (fetcher.m_cancelWhileWaiting && fetcher.m_cancelWhileWaiting()) {
      Cancelled(fetcher);
      return failed();
    }
    Drive([&transfer] {
      return transfer->HasPiece() || transfer->state == AheadTransfer::State::kFinished;
    });
  }
  if (transfer->failed) {
    FailRecord(fetcher, transfer->errorCode, transfer->errorDescription, transfer->errorContext);
    return failed();
  }
  std::string stored = outPath;
  if (!transfer->StoreBody(stored, fetcher.m_nextFreeName, fetcher.m_bEmptyNameIsFree != 0)) {
    FailRecord(fetcher, 0, "Cannot write output file.", "fwrite()");
    return failed();
  }
  fetcher.m_storedPath = stored;
  fetcher.m_bContinue = 1;
  return 1;
}

}  // namespace harvelo
