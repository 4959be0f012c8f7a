// Ctrl-C during a transfer: the first is Stop, a second ends the program at once.
#include <gmock/gmock.h>

#include <filesystem>

#include "cli_fixture.h"

namespace harvelo::testing {
namespace {

constexpr size_t kLength = 4 * 1024 * 1024;
const std::string kChunk(1024, 'x');

class CliInterruptTest : public CliTest {
 protected:
  void SetUp() override {
    Page("/slow.html", "<a href=\"slow.jpg\">s</a>");
    Page("/stall.html", "<a href=\"stall.jpg\">s</a>");
    Page("/quick.html", "<a href=\"quick.jpg\">q</a>");
    site.server().Get("/quick.jpg", [](const httplib::Request&, httplib::Response& res) {
      res.set_content(std::string(2000, 'q'), "image/jpeg");
    });
    // Two pictures fetched at once, both stalled after their first chunk.
    Page("/stalls.html", "<a href=\"stall.jpg\">s</a><a href=\"stall.jpg?2\">t</a>");
    Page("/one-then-stall.html", "<a href=\"one.jpg\">1</a><a href=\"stall.jpg\">s</a>");
    Serve("/one.jpg", ImageBody('1'));
    // Trickles until the client goes away (or, if it never does, ends after a while).
    Provide("/slow.jpg", [this](size_t offset, size_t, httplib::DataSink& sink) {
      if (offset > 0) sent_ = true;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      return sink.write(kChunk.data(), kChunk.size());
    });
    // One chunk, then nothing until the test ends.
    Provide("/stall.jpg", [this](size_t offset, size_t, httplib::DataSink& sink) {
      if (offset == 0) return sink.write(kChunk.data(), kChunk.size());
      ++stalled_;
      sent_ = true;
      PollUntil([this] { return release_.load(); });
      return false;
    });
    ASSERT_TRUE(site.Start());
  }
  void TearDown() override { release_ = true; }

  void Provide(const std::string& path, httplib::ContentProvider provider) {
    site.server().Get(path, [provider](const httplib::Request&, httplib::Response& res) {
      res.set_content_provider(kLength, "image/jpeg", provider);
    });
  }
  std::vector<std::string> DestFiles() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(work.file("dest"))) {
      names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  bool HasPartial() const {
    return std::ranges::any_of(DestFiles(),
                               [&](const std::string& name) { return name.ends_with(".hvpart"); });
  }

  std::atomic<bool> sent_ = false;
  std::atomic<int> stalled_ = 0;  // stalled transfers that had their first chunk
  std::atomic<bool> release_ = false;
};

TEST_F(CliInterruptTest, CtrlCStopsTheTransferAndLogsStopped) {
  ASSERT_TRUE(cli.Start({"--dest", "dest", "--min-size", "1", Url("/slow.html")}, work.dir()));
  ASSERT_TRUE(PollUntil([this] { return sent_.load(); }));
  cli.Signal(SIGINT);
  EXPECT_EQ(cli.Wait(), 1);  // nothing stored

  const auto lines = cli.OutLines();
  ASSERT_EQ(lines.size(), 2u) << cli.Out();
  EXPECT_EQ(lines[1].substr(5),
            "\tStopped\t" + work.dir() + "dest/AAA_001.jpg\t" + Url("/slow.jpg"));
  EXPECT_EQ(cli.Err(), "");  // stopped by the user: no error message
  EXPECT_THAT(DestFiles(), ::testing::ElementsAre("AAA_waddr.txt", "HV_pref.cfg"));
}

TEST_F(CliInterruptTest, SecondCtrlCEndsAtOnceWithoutPartialFile) {
  ASSERT_TRUE(cli.Start(
      {"--dest", "dest", "--min-size", "1", "--parallel", "1", Url("/stall.html")}, work.dir()));
  // The transfer stalls in its body, and the first Ctrl-C has no data to stop at.
  ASSERT_TRUE(PollUntil([this] { return sent_.load(); }));
  cli.Signal(SIGINT);
  ASSERT_TRUE(cli.WaitDelivered(SIGINT));
  cli.Signal(SIGINT);
  EXPECT_EQ(cli.Wait(), 130);
  EXPECT_THAT(DestFiles(), ::testing::Not(::testing::Contains(::testing::HasSubstr("AAA_001"))));
  EXPECT_FALSE(HasPartial());
}

// With several transfers at once every body under way, and those made ready, go.
TEST_F(CliInterruptTest, SecondCtrlCRemovesEveryFileFetchedAhead) {
  ASSERT_TRUE(cli.Start(
      {"--dest", "dest", "--min-size", "1", "--parallel", "4", Url("/stalls.html")}, work.dir()));
  ASSERT_TRUE(PollUntil([&] { return stalled_ == 2; }));
  cli.Signal(SIGINT);
  ASSERT_TRUE(cli.WaitDelivered(SIGINT));
  cli.Signal(SIGINT);
  EXPECT_EQ(cli.Wait(), 130);
  EXPECT_THAT(DestFiles(), ::testing::Not(::testing::Contains(::testing::HasSubstr("harvelo"))));
}

// A run killed outright leaves no body behind (they are in files without a name; where
// the file system has none, the next run removes the partial files, run_driver_test),
// and what it does leave, the next run in that folder removes.
TEST_F(CliInterruptTest, AKilledRunsFilesAreRemovedByTheNextRun) {
  ASSERT_TRUE(cli.Start(
      {"--dest", "dest", "--min-size", "1", "--parallel", "4", Url("/stalls.html")}, work.dir()));
  ASSERT_TRUE(PollUntil([&] { return stalled_ == 2; }));
  cli.Signal(SIGKILL);
  cli.Wait();
  EXPECT_FALSE(HasPartial());
  release_ = true;
  EXPECT_EQ(Run({"--dest", "dest", "--min-size", "1", "--no-webaddr", Url("/quick.html")}), 0)
      << cli.Err();
  EXPECT_THAT(DestFiles(), ::testing::Not(::testing::Contains(::testing::HasSubstr("harvelo"))));
}

TEST_F(CliInterruptTest, SigtermAndSighupEndAtOnceLeavingNothingOfTheRunBehind) {
  for (const int signal : {SIGTERM, SIGHUP}) {
    TempDir temp;  // the run's scratch folder goes here
    sent_ = false;
    ASSERT_TRUE(
        cli.Start({"--dest", "dest", "--min-size", "1", "--parallel", "1", Url("/stall.html")},
                  work.dir(), {"LANG=C", "TMPDIR=" + temp.dir()}));
    ASSERT_TRUE(PollUntil([this] { return sent_.load(); }));
    cli.Signal(signal);
    EXPECT_EQ(cli.Wait(), 128 + signal);
    EXPECT_THAT(DestFiles(), ::testing::ElementsAre("AAA_waddr.txt")) << signal;
    EXPECT_TRUE(std::filesystem::is_empty(temp.dir())) << signal;
  }
}

TEST_F(CliInterruptTest, AKilledRunKeepsTheLogRowsOfWhatItStored) {
  ASSERT_TRUE(cli.Start(
      {"--dest", "dest", "--min-size", "1", "--parallel", "1", Url("/one-then-stall.html")},
      work.dir()));
  ASSERT_TRUE(PollUntil([this] { return sent_.load(); }));
  cli.Signal(SIGKILL);
  cli.Wait();
  const std::string log = ReadBytes(Dest("AAA_waddr.txt"));
  EXPECT_THAT(log, ::testing::StartsWith("*** WEB ADDRESS ORIGINAL RESOURCE LOCATION ***\r\n"));
  EXPECT_THAT(log, ::testing::EndsWith("[   OK    ]  \"" + Url("/one.jpg") + "\" -> \"file://" +
                                       Dest("AAA_001.jpg") + "\".\r\n"));
}

}  // namespace
}  // namespace harvelo::testing
