// Stop and Pause pressed in the middle of a run, played from the window's message pump.
#include <atomic>
#include <chrono>
#include <future>
#include <string_view>
#include <thread>

#include "engine_fixture.h"
#include "support/raw_http_server.h"

namespace harvelo::testing {
namespace {

class RunStopPauseTest : public EngineTest {
 protected:
  // A page of five linked resources, and two more pages queued behind it.
  void SetUp() override {
    Page("/five.html",
         "<a href=\"1.jpg\">1</a><a href=\"2.jpg\">2</a><a href=\"3.jpg\">3</a>"
         "<a href=\"4.jpg\">4</a><a href=\"5.jpg\">5</a>");
    for (char c = '1'; c <= '5'; ++c) Serve(std::string("/") + c + ".jpg", BigBody(c));
    Page("/next1.html", "<a href=\"n1.jpg\">n</a>");
    Page("/next2.html", "<a href=\"n2.jpg\">n</a>");
    Serve("/n1.jpg", BigBody('x'));
    Serve("/n2.jpg", BigBody('y'));
    StartSite();
  }

  // Presses Stop as soon as the transfer of `path` reports progress.
  void StopDuring(const std::string& path) {
    window.onPump = [this, path](int) {
      if (!window.rows.empty() && window.rows[0].status == "In Progress" &&
          window.rows[0].address == Url(path)) {
        engine.OnStop();
      }
    };
  }

  void RunFiveWithTwoQueued() {
    engine.URL_List.PushBack(Url("/five.html").c_str(), PageEntry);
    engine.URL_List.PushBack(Url("/next1.html").c_str(), PageEntry);
    StartWith(Url("/next2.html"));
  }

  static bool IsContinueQuestion(const ShownMessage& m) {
    return m.text ==
               "You have stopped the processing of the current page. \n\nWould you like to "
               "continue processing the rest of queued pages?" &&
           m.icon == MessageIcon::kNone && m.buttons == MessageButtons::kYesNoDefaultNo;
  }
};

TEST_F(RunStopPauseTest, StopAnsweredNoEndsTheRunAndDropsTheQueue) {
  StopDuring("/3.jpg");
  window.answers.push_back(MessageAnswer::kNo);
  RunFiveWithTwoQueued();

  ASSERT_EQ(window.messages.size(), 1u);  // the question, and no error afterwards
  EXPECT_TRUE(IsContinueQuestion(window.messages[0]));
  EXPECT_EQ(window.RowStatuses(), (std::vector<std::string>{"Stopped", "Ok", "Ok", "Ok"}));
  EXPECT_EQ(window.rows[0].address, Url("/3.jpg"));
  EXPECT_EQ(SeenPaths(), (std::vector<std::string>{"/five.html", "/1.jpg", "/2.jpg", "/3.jpg"}));
  EXPECT_EQ(window.title, "HV: Stopped.");
  EXPECT_EQ(window.controls[IDC_STATUS_LINE], "2 resources downloaded successfully [STOPPED].");
  EXPECT_EQ(engine.runStatus, -5);
  EXPECT_EQ(engine.URL_List.Count(), 0);
  EXPECT_EQ(engine.busy, 0);
  // The cancelled transfer left no file.
  EXPECT_EQ(DestFiles(),
            (std::set<std::string>{"AAA_001.jpg", "AAA_002.jpg", "AAA_waddr.txt", "HV_pref.cfg"}));
}

TEST_F(RunStopPauseTest, StopAnsweredYesGoesOnWithTheQueue) {
  StopDuring("/3.jpg");
  window.answers.push_back(MessageAnswer::kYes);
  RunFiveWithTwoQueued();

  ASSERT_EQ(window.messages.size(), 1u);
  EXPECT_TRUE(IsContinueQuestion(window.messages[0]));
  EXPECT_EQ(SeenPaths(),
            (std::vector<std::string>{"/five.html", "/1.jpg", "/2.jpg", "/3.jpg", "/next1.html",
                                      "/n1.jpg", "/next2.html", "/n2.jpg"}));
  EXPECT_EQ(window.title, "HV: Done.");
  EXPECT_EQ(window.controls[IDC_STATUS_LINE], "4 resources downloaded successfully.");
  // The stopped page still advanced the prefix after its list.
  EXPECT_EQ(DestFile("AAB_001.jpg"), BigBody('x'));
  EXPECT_EQ(DestFile("AAC_001.jpg"), BigBody('y'));
}

TEST_F(RunStopPauseTest, StopWithNothingQueuedEndsStoppedWithoutAQuestion) {
  StopDuring("/3.jpg");
  StartWith(Url("/five.html"));
  EXPECT_TRUE(window.messages.empty());
  EXPECT_EQ(window.title, "HV: Stopped.");
  EXPECT_EQ(window.beeps, 1);
}

TEST_F(RunStopPauseTest, StopDuringThePageFetchEndsQuietly) {
  StopDuring("/five.html");
  StartWith(Url("/five.html"));
  EXPECT_EQ(window.RowStatuses(), (std::vector<std::string>{"ERROR"}));
  EXPECT_TRUE(window.messages.empty());  // a stopped run shows no error
  EXPECT_EQ(window.title, "HV: Stopped.");
  EXPECT_EQ(window.controls[IDC_STATUS_LINE], "0 resources downloaded successfully [STOPPED].");
}

// A server that sends its response head a byte at a time must not hold a Stop until the
// head is complete: the transfer is cancelled while it waits, one transfer at a time or
// several.
TEST_F(RunStopPauseTest, StopActsWhileTheHeadArrivesAByteAtATime) {
  const std::string head =
      "HTTP/1.1 200 OK\r\nContent-Type: image/jpeg\r\nContent-Length: 5000\r\n\r\n";
  std::atomic<int> sent{0};
  RawHttpServer slow([&](const std::string&, const RawHttpServer::Send& send) {
    for (const char c : head) {
      if (!send(std::string_view(&c, 1))) return;
      ++sent;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  });
  ASSERT_TRUE(slow.Start());
  // The fixture's site is started by SetUp; this page is served by a second one.
  LoopbackServer pages;
  pages.server().Get("/slow.html", [&](const httplib::Request&, httplib::Response& res) {
    res.set_content("<a href=\"" + slow.Url("/slow.jpg") + "\">s</a>", "text/html");
  });
  ASSERT_TRUE(pages.Start());
  for (const int n : {1, 6}) {
    SCOPED_TRACE(n);
    settings.parallelTransfers = n;
    sent = 0;
    const size_t before = slow.requests().size();
    window.onPump = [&](int) {
      if (slow.requests().size() > before && sent > 0) engine.OnStop();
    };
    StartWith(pages.Url("/slow.html"));
    ASSERT_FALSE(window.rows.empty());
    EXPECT_EQ(window.rows[0].status, "Stopped");
    // Stopped within a few bytes of the head, not after the whole of it.
    EXPECT_LT(sent.load(), 10);
    EXPECT_EQ(engine.busy, 0);
  }
}

TEST_F(RunStopPauseTest, PauseHoldsATransferUntilReleased) {
  int heldPumps = 0;
  size_t fileBarMovesAtPause = 0;
  window.onPump = [&](int n) {
    const bool inSecond = !window.rows.empty() && window.rows[0].status == "In Progress" &&
                          window.rows[0].address == Url("/2.jpg");
    // The report's own pump (100); the fetch loop's pumps use 50.
    if (inSecond && n == 100 && !engine.paused && heldPumps == 0) {
      engine.OnPause();
      fileBarMovesAtPause = window.CallsStartingWith("pos 1021").size();
    } else if (engine.paused && n == 50) {
      // Nothing is read while the transfer is held.
      EXPECT_EQ(window.CallsStartingWith("pos 1021").size(), fileBarMovesAtPause);
      if (++heldPumps == 3) engine.OnPause();
    }
  };
  StartWith(Url("/five.html"));
  EXPECT_EQ(heldPumps, 3);
  const auto titles = window.CallsStartingWith("title");
  const auto paused = std::find(titles.begin(), titles.end(), "title HV: [PAUSED] 20%");
  ASSERT_NE(paused, titles.end());
  ASSERT_NE(paused + 1, titles.end());
  EXPECT_EQ(*(paused + 1), "title HV: 20%");
  EXPECT_EQ(DestFile("AAA_002.jpg"), BigBody('2'));
  EXPECT_EQ(window.title, "HV: Done.");
  EXPECT_EQ(engine.paused, 0);
}

TEST_F(RunStopPauseTest, StopWhilePausedCancelsTheTransfer) {
  bool pressed = false;
  window.onPump = [&](int n) {
    const bool inSecond = !window.rows.empty() && window.rows[0].status == "In Progress" &&
                          window.rows[0].address == Url("/2.jpg");
    if (inSecond && n == 100 && !pressed) {
      pressed = true;
      engine.OnPause();
    } else if (engine.paused && n == 50) {
      engine.OnStop();
    }
  };
  StartWith(Url("/five.html"));
  EXPECT_EQ(window.RowStatuses(), (std::vector<std::string>{"Stopped", "Ok", "Ok"}));
  EXPECT_EQ(window.title, "HV: Stopped.");
  EXPECT_EQ(engine.paused, 0);  // cleared at the end of the run
}

// A page whose second resource comes half, then nothing more until the test ends.
class StopDuringStalledBodyTest : public EngineTest {
 protected:
  void SetUp() override {
    Page("/held.html", "<a href=\"1.jpg\">1</a><a href=\"held.jpg\">h</a><a href=\"2.jpg\">2</a>");
    Serve("/1.jpg", BigBody('1'));
    Serve("/2.jpg", BigBody('2'));
    site.server().Get("/held.jpg", [this](const httplib::Request& req, httplib::Response& res) {
      Record(req);
      res.set_content_provider(3000, "image/jpeg", [this](size_t, size_t, httplib::DataSink& sink) {
        holding = true;
        const std::string half(1500, 'h');
        sink.write(half.data(), half.size());
        released.wait_for(std::chrono::seconds(30));
        holding = false;
        return false;
      });
    });
    StartSite();
  }
  // The handler lets go before the server is stopped, while the promise still exists.
  void TearDown() override {
    release.set_value();
    site.Stop();
  }

  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  std::atomic<bool> holding{false};
};

TEST_F(StopDuringStalledBodyTest, StopEndsTheTransferWithoutWaitingForTheRestOfTheBody) {
  window.onPump = [this](int n) {
    // An idle pump of the fetch loop once the half that came has been reported.
    if (n != 50 || window.rows.empty() || window.rows[0].status != "In Progress" ||
        window.rows[0].address != Url("/held.jpg")) {
      return;
    }
    const auto bar = window.CallsStartingWith("pos 1021");
    if (!bar.empty() && bar.back() == "pos 1021 50") engine.OnStop();
  };
  StartWith(Url("/held.html"));

  EXPECT_TRUE(holding) << "the run waited for the server";
  EXPECT_EQ(window.RowStatuses(), (std::vector<std::string>{"Stopped", "Ok", "Ok"}));
  EXPECT_EQ(window.rows[0].address, Url("/held.jpg"));
  EXPECT_EQ(SeenPaths(), (std::vector<std::string>{"/held.html", "/1.jpg", "/held.jpg"}));
  EXPECT_TRUE(window.messages.empty());
  EXPECT_EQ(window.title, "HV: Stopped.");
  EXPECT_EQ(DestFiles(), (std::set<std::string>{"AAA_001.jpg", "AAA_waddr.txt", "HV_pref.cfg"}));
}

}  // namespace
}  // namespace harvelo::testing
