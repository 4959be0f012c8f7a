// The look-ahead pool on its own, with a planner of the test's: what it does between
// the run's fetches.
#include "http/lookahead_pool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "http/http_fetcher.h"
#include "platform/message_pump.h"
#include "support/loopback_server.h"
#include "support/temp_dir.h"

namespace harvelo::testing {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// A transfer that ends while the pool sends the requests it has just started is seen at
// once: its place goes to the next request then, not when the network next wakes the
// pool (here: the pump, the response the run waits for being far off). The first pump
// after that planning waits for v's request: sent in that turn, it arrives meanwhile;
// left for the next wake, it never comes while the pump waits.
TEST(LookAheadPoolTest, ATransferThatEndsWhileRequestsGoOutIsSeenBeforeThePoolWaits) {
  LoopbackServer site;
  site.server().new_task_queue = [] { return new httplib::ThreadPool(16); };
  std::atomic<bool> vArrived{false};
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
    vArrived = true;  // takes a's place
    res.set_content("v", "image/jpeg");
  });
  ASSERT_TRUE(site.Start());

  const TempDir dir;
  LookAheadPool::Options options;
  options.maxTransfers = 3;
  LookAheadPool pool(options, dir.dir());
  bool planned = false;  // the slow planning after z's end is over
  bool warm = false;
  pool.planner = [&](AheadPlan& plan) {
    if (!warm) return;
    for (const char* name : {"/w.jpg", "/z.jpg", "/a.jpg", "/y.jpg", "/v.jpg"}) {
      AheadRequest request;
      request.url = site.Url(name);
      const AheadView* view = plan.Add(std::move(request));
      if (std::string(name) == "/z.jpg" && view != nullptr && view->complete && !planned) {
        // a's response comes in meanwhile, and is read with the requests that go out next.
        std::this_thread::sleep_for(milliseconds(100));
        planned = true;
      }
    }
  };
  bool vBeforeThePump = false, pumpedAfterPlanning = false;
  const MessagePumpFn oldPump = SetMessagePump([&](int) {
    if (planned && !pumpedAfterPlanning) {
      pumpedAfterPlanning = true;
      const auto limit = Clock::now() + std::chrono::seconds(5);
      while (!vArrived && Clock::now() < limit) std::this_thread::sleep_for(milliseconds(1));
      vBeforeThePump = vArrived;
    }
    return 0;
  });
  HTTPFetcher fetcher;
  fetcher.m_lookAhead = &pool;
  // Requests go out ahead once a first resource has shown whether resources set cookies.
  ASSERT_EQ(
      fetcher.GetResource(site.Url("/first.jpg"), dir.file("first.jpg"), "", "", nullptr, nullptr),
      1);
  warm = true;
  ASSERT_EQ(fetcher.GetResource(site.Url("/w.jpg"), dir.file("w.jpg"), "", "", nullptr, nullptr), 1)
      << fetcher.m_szErrorDesc;
  SetMessagePump(oldPump);
  ASSERT_TRUE(planned);
  ASSERT_TRUE(vArrived) << "v was never asked for";
  EXPECT_TRUE(vBeforeThePump) << "a's end was seen only when the pool next woke";
}

// Once the plan's requests have ended and been planned once more, the window is the plan
// from the run's next request on: taking the rest in that order asks the planner no more
// (which lists every request of the window again, at every fetch of a long gallery).
TEST(LookAheadPoolTest, TakingThePlanInItsOrderAsksThePlannerNoMore) {
  LoopbackServer site;
  site.server().new_task_queue = [] { return new httplib::ThreadPool(16); };
  const std::vector<std::string> names = {"/a.jpg", "/b.jpg", "/c.jpg", "/d.jpg", "/e.jpg"};
  std::atomic<int> answered{0};  // of b to e
  site.server().Get(R"(/\w+\.jpg)", [&](const httplib::Request& req, httplib::Response& res) {
    if (req.path == "/a.jpg") {
      // Every other request of the plan is answered before the run's.
      const auto limit = Clock::now() + std::chrono::seconds(10);
      while (answered < 4 && Clock::now() < limit) std::this_thread::sleep_for(milliseconds(1));
    }
    res.set_content(std::string(100, 'x'), "image/jpeg");
    if (req.path != "/a.jpg" && req.path != "/first.jpg") ++answered;
  });
  ASSERT_TRUE(site.Start());

  const TempDir dir;
  LookAheadPool::Options options;
  options.maxTransfers = 6;
  LookAheadPool pool(options, dir.dir());
  bool warm = false;
  size_t next = 0;  // the run's position in names
  int plannings = 0;
  pool.planner = [&](AheadPlan& plan) {
    if (!warm) return;
    ++plannings;
    for (size_t i = next; i < names.size(); ++i) {
      AheadRequest request;
      request.url = site.Url(names[i]);
      plan.Add(std::move(request));
    }
  };
  HTTPFetcher fetcher;
  fetcher.m_lookAhead = &pool;
  auto take = [&](const std::string& name) {
    return fetcher.GetResource(site.Url(name), dir.file(name.substr(1)), "", "", nullptr, nullptr);
  };
  ASSERT_EQ(take("/first.jpg"), 1);  // shows that resources set no cookie
  warm = true;
  ASSERT_EQ(take(names[next]), 1);
  ++next;
  ASSERT_EQ(answered, 4);
  ASSERT_EQ(take(names[next]), 1);
  ++next;
  const int before = plannings;
  for (; next < names.size(); ++next) ASSERT_EQ(take(names[next]), 1) << fetcher.m_szErrorDesc;
  EXPECT_LT(plannings - before, 3) << "the planner listed the window again at every fetch";
  for (const std::string& name : names) {
    EXPECT_EQ(ReadBytes(dir.file(name.substr(1))), std::string(100, 'x'));
  }
}

}  // namespace
}  // namespace harvelo::testing
