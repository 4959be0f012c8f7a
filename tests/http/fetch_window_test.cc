// The window stays alive while the network keeps a fetch waiting: the message pump runs
// at short intervals, and a Stop pressed meanwhile cancels at the first callback, or
// while the body is under way, without waiting for more of it.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "fetch_recorder.h"
#include "http/http_fetcher.h"
#include "platform/message_pump.h"
#include "support/loopback_server.h"
#include "support/raw_http_server.h"
#include "support/temp_dir.h"

namespace harvelo {
namespace {

using testing::Exists;
using testing::FetchRecorder;
using testing::LoopbackServer;
using testing::PartialFileBeside;
using testing::RawHttpServer;
using testing::TempDir;
using Clock = std::chrono::steady_clock;

class PumpLog {
 public:
  explicit PumpLog(std::function<void(int calls)> onPump = {}) : on_pump_(std::move(onPump)) {
    old_ = SetMessagePump([this](int n) {
      times.push_back(Clock::now());
      budgets.push_back(n);
      if (on_pump_) on_pump_(static_cast<int>(times.size()));
      return 0;
    });
  }
  ~PumpLog() { SetMessagePump(old_); }

  std::vector<Clock::time_point> times;
  std::vector<int> budgets;

 private:
  std::function<void(int)> on_pump_;
  MessagePumpFn old_;
};

class FetchWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    server_.server().Get("/slow", [](const httplib::Request&, httplib::Response& res) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1000));
      res.set_content(std::string(10000, 's'), "image/jpeg");
    });
    // Held until the test's pump has run three times meanwhile (at most 10 s).
    server_.server().Get("/held", [this](const httplib::Request&, httplib::Response& res) {
      held_ = true;
      const auto limit = Clock::now() + std::chrono::seconds(10);
      while (pumpsWhileHeld_ < 3 && Clock::now() < limit) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
      releasedByPumps_ = pumpsWhileHeld_ >= 3;
      held_ = false;
      res.set_content(std::string(10000, 's'), "image/jpeg");
    });
    server_.server().Get("/fast", [](const httplib::Request&, httplib::Response& res) {
      res.set_content(std::string(20000, 'f'), "image/jpeg");
    });
    ASSERT_TRUE(server_.Start());
  }

  std::atomic<bool> held_{false};
  std::atomic<int> pumpsWhileHeld_{0};
  std::atomic<bool> releasedByPumps_{false};
  LoopbackServer server_;
  TempDir dir_;
  HTTPFetcher fetcher_;
};

// The server holds its answer until the window has been pumped three times while it
// held it: a fetch that pumps only before or after the wait would hold it to its limit.
TEST_F(FetchWindow, IsPumpedWhileTheServerDelaysItsHeaders) {
  PumpLog pumps([&](int) {
    if (held_) ++pumpsWhileHeld_;
  });
  ASSERT_EQ(
      fetcher_.GetResource(server_.Url("/held"), dir_.file("s.jpg"), "", "", nullptr, nullptr), 1);
  EXPECT_TRUE(releasedByPumps_) << pumpsWhileHeld_ << " pumps while the server held its answer";
  for (const int budget : pumps.budgets) EXPECT_EQ(budget, 50);
}

TEST_F(FetchWindow, AStopPressedWhileWaitingCancelsAtTheFirstCallback) {
  bool stopRequested = false;
  PumpLog pumps([&](int calls) {
    if (calls == 3) stopRequested = true;  // the user presses Stop
  });
  struct Context {
    bool* stop;
    int calls = 0;
  } context{&stopRequested};
  const FetchProgressFn progress = [](void* self, int, int, int) {
    auto* c = static_cast<Context*>(self);
    ++c->calls;
    return *c->stop ? 0 : 1;
  };
  const std::string out = dir_.file("s.jpg");
  EXPECT_EQ(fetcher_.GetResource(server_.Url("/slow"), out, "", "", progress, &context), 0);
  EXPECT_EQ(context.calls, 1);
  EXPECT_STREQ(fetcher_.m_szErrorDesc, "Action cancelled by caller.");
  EXPECT_FALSE(Exists(out));
}

TEST_F(FetchWindow, AStopPressedWhileTheBodyStallsCancelsWithoutWaitingForTheRest) {
  // Half of the body, then nothing until the test ends.
  const std::string half(1500, 'h');
  std::promise<void> release;
  const std::shared_future<void> released = release.get_future().share();
  std::atomic<bool> holding{false};
  RawHttpServer server([&](const std::string&, const RawHttpServer::Send& send) {
    holding = true;
    send("HTTP/1.1 200 OK\r\nContent-Length: 3000\r\n\r\n" + half);
    released.wait_for(std::chrono::seconds(30));
    holding = false;
  });
  ASSERT_TRUE(server.Start());
  // Destroyed before the server, which joins its handler.
  struct ReleaseAtEnd {
    std::promise<void>& release;
    ~ReleaseAtEnd() { release.set_value(); }
  } releaseAtEnd{release};

  FetchRecorder recorder;
  size_t callsAtCancel = 0;
  fetcher_.m_cancelWhileWaiting = [&] {
    if (recorder.calls.empty() || recorder.calls.back().bytesSoFar < 1500) return false;
    callsAtCancel = recorder.calls.size();  // the user presses Stop
    return true;
  };
  const std::string out = dir_.file("held.jpg");
  EXPECT_EQ(fetcher_.GetResource(server.Url("/held.jpg"), out, "", "", &FetchRecorder::Callback,
                                 &recorder),
            0);
  EXPECT_TRUE(holding) << "the fetch waited for the server";
  ASSERT_GT(callsAtCancel, 1u);
  EXPECT_EQ(recorder.calls.size(), callsAtCancel);
  EXPECT_EQ(recorder.calls.back().bytesSoFar, 1500);
  EXPECT_EQ(fetcher_.m_dwErrorCode, 0u);
  EXPECT_STREQ(fetcher_.m_szErrorDesc, "Action cancelled by caller.");
  EXPECT_STREQ(fetcher_.m_szErrorContext, "callback function.");
  EXPECT_EQ(fetcher_.m_bContinue, 0);
  EXPECT_FALSE(Exists(out));
  EXPECT_FALSE(PartialFileBeside(out));
}

TEST_F(FetchWindow, EachReadIsFollowedByTwoPumpsOfHalfTheBudget) {
  std::vector<size_t> pumpsBeforeCall;
  struct Context {
    PumpLog* pumps;
    std::vector<size_t>* seen;
  };
  PumpLog pumps;
  Context context{&pumps, &pumpsBeforeCall};
  const FetchProgressFn progress = [](void* self, int, int, int) {
    auto* c = static_cast<Context*>(self);
    c->seen->push_back(c->pumps->times.size());
    return 1;
  };
  ASSERT_EQ(
      fetcher_.GetResource(server_.Url("/fast"), dir_.file("f.jpg"), "", "", progress, &context),
      1);
  ASSERT_GE(pumpsBeforeCall.size(), 3u);
  for (size_t i = 1; i < pumpsBeforeCall.size(); ++i) {
    EXPECT_GE(pumpsBeforeCall[i] - pumpsBeforeCall[i - 1], 2u) << "read " << i;
  }
}

}  // namespace
}  // namespace harvelo
