// The look-ahead pool on its own, with a planner of the test's: what it does between
// the run's fetches.
#include "http/lookahead_pool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "http/http_fetcher.h"
#include "support/loopback_server.h"
#include "support/temp_dir.h"

namespace harvelo::testing {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// A transfer that ends while the pool sends the requests it has just started is seen at
// once: its place goes to the next request then, not when the network next wakes the
// pool (here: the pump's 40 ms later, the response the run waits for being far off).
TEST(LookAheadPoolTest, ATransferThatEndsWhileRequestsGoOutIsSeenBeforeThePoolWaits) {
  LoopbackServer site;
  site.server().new_task_queue = [] { return new httplib::ThreadPool(16); };
  std::atomic<long long> vArrived{0};
  auto at = [] { return Clock::now().time_since_epoch().count(); };
  auto answer = [](int delayMs) {
    return [delayMs](const httplib::Request&, httplib::Response& res) {
      std::this_thread::sleep_for(milliseconds(delayMs));
      res.set_content(std::string(100, 'x'), "image/jpeg");
    };
  };
  site.server().Get("/w.jpg", answer(1500));   // what the run waits for
  site.server().Get("/z.jpg", answer(0));      // ends first: the pool plans again
  site.server().Get("/a.jpg", answer(10));     // ends while the pool plans
  site.server().Get("/y.jpg", answer(1000));   // takes z's place
  site.server().Get("/first.jpg", answer(0));  // shows that resources set no cookie
  site.server().Get("/v.jpg", [&](const httplib::Request&, httplib::Response& res) {
    vArrived = at();  // takes a's place
    res.set_content("v", "image/jpeg");
  });
  ASSERT_TRUE(site.Start());

  const TempDir dir;
  LookAheadPool::Options options;
  options.maxTransfers = 3;
  LookAheadPool pool(options, dir.dir());
  long long planned = 0;  // when the slow planning after z's end was over
  bool warm = false;
  pool.planner = [&](AheadPlan& plan) {
    if (!warm) return;
    for (const char* name : {"/w.jpg", "/z.jpg", "/a.jpg", "/y.jpg", "/v.jpg"}) {
      AheadRequest request;
      request.url = site.Url(name);
      const AheadView* view = plan.Add(std::move(request));
      if (std::string(name) == "/z.jpg" && view != nullptr && view->complete && planned == 0) {
        // a's response comes in meanwhile, and is read with the requests that go out next.
        std::this_thread::sleep_for(milliseconds(100));
        planned = at();
      }
    }
  };
  HTTPFetcher fetcher;
  fetcher.m_lookAhead = &pool;
  // Requests go out ahead once a first resource has shown whether resources set cookies.
  ASSERT_EQ(
      fetcher.GetResource(site.Url("/first.jpg"), dir.file("first.jpg"), "", "", nullptr, nullptr),
      1);
  warm = true;
  ASSERT_EQ(fetcher.GetResource(site.Url("/w.jpg"), dir.file("w.jpg"), "", "", nullptr, nullptr), 1)
      << fetcher.m_szErrorDesc;
  ASSERT_NE(planned, 0);
  ASSERT_NE(vArrived.load(), 0) << "v was never asked for";
  const auto late = std::chrono::duration_cast<milliseconds>(Clock::duration(vArrived - planned));
  EXPECT_LT(late.count(), 25) << "a's end was seen only when the pool next woke";
}

}  // namespace
}  // namespace harvelo::testing
