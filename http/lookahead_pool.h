// Every fetch of the program goes through a pool: its transfers run over one multi handle
// (connections reused, at most N to a host), each in an AheadTransfer, and the fetch the
// caller makes is served from the transfer that fetched exactly that request: its progress
// calls replayed as they happen or happened (index 0 on the announced length, one call per
// read of at most 2048 bytes, the pumps between), and its body renamed to the name the
// caller chose. A request that was not foreseen is simply fetched then; with N = 1 and no
// planner (an HTTPFetcher's own pool) that is every request: one at a time.
//
// With N > 1 the pool looks ahead: while the run works through its requests one at a
// time, up to N of the requests that come next are already under way. The run's code
// stays sequential: it only tells the pool what comes next (the planner), and passes its
// fetches through it (HTTPFetcher::m_lookAhead).
#pragma once
#include <curl/curl.h>

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "http/http_fetcher.h"
#include "http/lookahead_file_stock.h"
#include "http/lookahead_request.h"
#include "http/partial_files.h"
#include "http/quick_ack.h"

namespace harvelo {

class AheadTransfer;

// The requests the run will make next, in its order, as the planner lists them.
class AheadPlan {
 public:
  // Appends the next request (the first one is the fetch the run is making now).
  // Returns what is known of it when the pool already holds it, else null.
  const AheadView* Add(AheadRequest request);
  // True once the plan reaches as far as the pool looks ahead: stop adding.
  bool Full() const;
  // Requests the run may make after those added can't be listed yet (a page whose
  // source isn't here): the plan must be made again as the run goes on.
  void Unsure() { unsure_ = true; }

 private:
  friend class LookAheadPool;
  AheadPlan(const std::vector<std::unique_ptr<AheadTransfer>>& held, size_t maxRequests,
            size_t maxPages);

  const std::vector<std::unique_ptr<AheadTransfer>>& held_;
  std::vector<bool> used_;
  std::vector<AheadRequest> requests_;
  std::vector<int> matched_;     // index into held_, or -1
  std::vector<bool> startable_;  // within the reach where new transfers start
  std::deque<AheadView> views_;  // stable: the planner keeps what Add returned
  size_t max_requests_;
  size_t start_limit_;  // plan positions where new transfers may start
  size_t max_pages_;
  size_t pages_ = 0;
  int unmatched_started_ = 0;  // held transfers under way or done, not found yet
  size_t first_unused_ = 0;    // held_ before it are all found already
  bool unsure_ = false;
};

class LookAheadPool {
 public:
  struct Options {
    int maxTransfers = 6;  // N: transfers in flight, the run's own included
    // https servers are offered HTTP/2; to one that took it, up to this many requests
    // (at least N) are in flight over its one connection. 0: HTTP/1.1 only.
    int maxStreams = 0;
    std::optional<std::string> agent;  // none: the default agent
    bool dumpHeaders = false;          // the run writes header dumps
    size_t maxPagesAhead = 4;          // page sources in the plan at most
    bool anonymousFiles = true;        // bodies in files without a name where possible
  };

  // The bodies are received in `destination` (ending in '/', or empty for the working
  // directory), where the fetches' files are.
  LookAheadPool(const Options& options, const std::string& destination);
  ~LookAheadPool();
  LookAheadPool(const LookAheadPool&) = delete;
  LookAheadPool& operator=(const LookAheadPool&) = delete;

  const Options& options() const { return options_; }
  const std::string& Directory() const { return files_.Directory(); }
  // A fetch is being served (a fetch started from its callbacks is refused).
  bool Serving() const { return serving_; }

  // Lists the run's next requests, from the fetch under way on (see AheadPlan).
  std::function<void(AheadPlan& plan)> planner;
  // The run was told to stop: everything fetched ahead is dropped at once.
  std::function<bool()> stopping;
  // The run is paused: nothing moves until it goes on (or stops).
  std::function<bool()> holding;

  // A fetch of the run, with HTTPFetcher::Fetch's meaning and result; fills the
  // fetcher's status, length, error record and m_bContinue the same way.
  int Serve(HTTPFetcher& fetcher, const AheadRequest& request, const std::string& outPath,
            FetchProgressFn callback, void* context);

  void SetTimeouts(long connectMs, long stallMs);
  // Most transfers that were in flight at once (for the tests and benchmarks).
  int PeakInFlight() const { return peak_in_flight_; }

 private:
  struct MultiDeleter {
    void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
  };
  struct StoreDeleter {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
  };

  AheadTransfer& Reconcile(const AheadRequest& request);
  int StartWaiting();  // how many it started
  void Start(AheadTransfer& transfer);
  void Drop(size_t index);
  void DropAllBut(const AheadTransfer* keep);
  void DropFinishing();
  // One turn of the transfers; then, unless `ready` (null: never wait) says that what
  // the run waits for is here, a wait for the network until the next pump is due.
  void Drive(const std::function<bool()>& ready);
  void CollectFinished();
  void PumpIfDue();
  // Something came from the network (or a turn is due anyway).
  bool NetworkWaiting();
  // Transfers other than `transfer` are under way, or waiting to start.
  bool OthersUnderWay(const AheadTransfer& transfer) const;
  int Replay(HTTPFetcher& fetcher, AheadTransfer& transfer, const std::string& outPath,
             FetchProgressFn callback, void* context);
  std::vector<std::string> ExpectedStore(const AheadTransfer& transfer) const;
  // What the fetch of `transfer` does to the cookies of `store`; `jar`: its own jar,
  // when its responses set cookies.
  static void ApplyCookies(CURL* store, const AheadTransfer& transfer,
                           const std::vector<std::string>* jar);
  void Remove(const AheadTransfer& transfer);
  int RunningCount() const;
  // How many transfers may be in flight when `transfer` starts: more to a server known to
  // multiplex them over one connection.
  int InFlightLimit(const AheadTransfer& transfer) const;
  int WidestLimit() const;
  void LearnMultiplexing();

  Options options_;
  PartialFiles files_;
  std::unique_ptr<AheadFileStock> stock_;  // after files_: goes before it
  bool serving_ = false;
  int pump_budget_ = 50;  // of each pump while the network keeps the fetch waiting
  std::unique_ptr<CURLM, MultiDeleter> multi_;
  std::unique_ptr<CURL, StoreDeleter> store_;  // a handle on the process's cookie store
  SocketList sockets_;
  std::vector<std::unique_ptr<AheadTransfer>> window_;  // in the order the run will ask
  // Served already, still reading a small body to its end so that its connection stays
  // open for the next request; dropped once done (or stalled, or on Stop).
  std::vector<std::unique_ptr<AheadTransfer>> finishing_;
  std::string agent_;
  bool empty_agent_ = false;
  long connect_ms_ = 60000;
  long stall_ms_ = 60000;
  int next_id_ = 1;
  double drive_clock_ = 0;              // milliseconds spent waiting for the network
  bool pages_set_cookies_ = false;      // a page's response set a cookie in this run
  bool resources_set_cookies_ = false;  // a resource's response did
  bool resource_answered_ = false;      // a resource's response head has come in this run
  int peak_in_flight_ = 0;
  std::set<std::string> multiplexed_;  // origins whose responses came over HTTP/2
  bool plan_dirty_ = false;
  // The window is the whole plan, every request of it startable, and nothing has changed
  // since: once the run has taken its head, the rest is the plan from the run's next
  // request on, and the planner need not list it again.
  bool plan_holds_ = false;
  int pieces_without_turn_ = 0;  // looks at the network since the last turn
  std::chrono::steady_clock::time_point last_pump_;
};

}  // namespace harvelo
