// Ctrl-C during a transfer: the first is Stop, a second ends the program at once.
#include <gmock/gmock.h>

#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <thread>

#include "cli_fixture.h"

namespace harvelo::testing {
namespace {

constexpr size_t kSlowLength = 4 * 1024 * 1024;
constexpr size_t kChunk = 1024;

class CliInterruptTest : public CliTest {
 protected:
  void SetUp() override {
    Page("/slow.html", "<a href=\"slow.jpg\">s</a>");
    Page("/stall.html", "<a href=\"stall.jpg\">s</a>");
    // Trickles until the client goes away (or, if it never does, ends after a while).
    site.server().Get("/slow.jpg", [this](const httplib::Request&, httplib::Response& res) {
      res.set_content_provider(kSlowLength, "image/jpeg",
                               [this](size_t offset, size_t, httplib::DataSink& sink) {
                                 if (offset > 0) Started();
                                 std::this_thread::sleep_for(std::chrono::milliseconds(10));
                                 return sink.write(std::string(kChunk, 'x').data(), kChunk);
                               });
    });
    // Sends one chunk, then nothing until the test ends.
    site.server().Get("/stall.jpg", [this](const httplib::Request&, httplib::Response& res) {
      res.set_content_provider(kSlowLength, "image/jpeg",
                               [this](size_t offset, size_t, httplib::DataSink& sink) {
                                 if (offset == 0)
                                   return sink.write(std::string(kChunk, 'x').data(), kChunk);
                                 Started();
                                 std::unique_lock<std::mutex> lock(mutex_);
                                 released_.wait(lock, [this] { return release_; });
                                 return false;
                               });
    });
    StartSite();
  }

  void TearDown() override {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      release_ = true;
    }
    released_.notify_all();
  }

  void Started() {
    std::lock_guard<std::mutex> lock(mutex_);
    started_ = true;
    startedCv_.notify_all();
  }
  bool WaitStarted() {
    std::unique_lock<std::mutex> lock(mutex_);
    return startedCv_.wait_for(lock, std::chrono::seconds(60), [this] { return started_; });
  }

  bool WaitForFile(const std::string& path) {
    for (int i = 0; i < 6000 && !Exists(path); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return Exists(path);
  }

  std::vector<std::string> DestFiles() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(work.file("dest"))) {
      names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  std::mutex mutex_;
  std::condition_variable startedCv_;
  std::condition_variable released_;
  bool started_ = false;
  bool release_ = false;
};

TEST_F(CliInterruptTest, CtrlCStopsTheTransferAndLogsStopped) {
  ASSERT_TRUE(cli.Start({"--dest", "dest", "--min-size", "1", Url("/slow.html")}, work.dir()));
  ASSERT_TRUE(WaitStarted());
  cli.Signal(SIGINT);
  EXPECT_EQ(cli.Wait(), 1);  // nothing stored

  const auto lines = cli.OutLines();
  ASSERT_EQ(lines.size(), 2u) << cli.Out();
  EXPECT_THAT(lines[1], ::testing::EndsWith("\tStopped\tdest/AAA_001.jpg\t" + Url("/slow.jpg")));
  // Stopped by the user: no error message either.
  EXPECT_EQ(cli.Err(), "");
  EXPECT_THAT(DestFiles(), ::testing::ElementsAre("AAA_waddr.txt", "HV_pref.cfg"));
}

TEST_F(CliInterruptTest, SecondCtrlCEndsAtOnceWithoutPartialFile) {
  ASSERT_TRUE(cli.Start({"--dest", "dest", "--min-size", "1", Url("/stall.html")}, work.dir()));
  ASSERT_TRUE(WaitStarted());
  // The transfer holds its first chunk in a partial file while the server stalls, and
  // the first Ctrl-C has no data to stop at.
  ASSERT_TRUE(WaitForFile(Dest("AAA_001.jpg.hvpart")));
  cli.Signal(SIGINT);
  ASSERT_TRUE(cli.WaitDelivered(SIGINT));
  cli.Signal(SIGINT);
  EXPECT_EQ(cli.Wait(), 130);

  EXPECT_THAT(DestFiles(), ::testing::Not(::testing::Contains(::testing::HasSubstr("AAA_001"))));
}

}  // namespace
}  // namespace harvelo::testing
