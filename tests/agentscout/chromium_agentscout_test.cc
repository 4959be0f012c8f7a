// agentscout with a real Chromium as the default browser ($BROWSER for xdg-open) on a
// private X server, and a harvest afterwards that presents the agent it recorded.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <mutex>

#include "support/child_program.h"
#include "support/chromium.h"
#include "support/loopback_server.h"
#include "support/temp_dir.h"
#include "support/xvfb.h"

namespace harvelo::agentscout {
namespace {

using harvelo::testing::ReadBytes;
using harvelo::testing::RunChild;
using harvelo::testing::TempDir;

TEST(ChromiumAgentScout, RecordsChromiumsAgentAndTheNextHarvestPresentsIt) {
  harvelo::testing::Xvfb x;
  ASSERT_FALSE(x.display().empty()) << "Xvfb did not start";
  TempDir work;
  // The browser xdg-open is to use: Chromium with the flags a test run needs. Desktop
  // files and mailcap entries are hidden so that xdg-open falls back to $BROWSER.
  const std::string browser = work.file("browser.sh");
  {
    std::ofstream script(browser);
    script << "#!/bin/sh\nexec chromium";
    for (const char* flag : harvelo::testing::Chromium::kFlags) script << ' ' << flag;
    script << " --user-data-dir=" << work.file("profile") << " \"$@\"\n";
  }
  ::chmod(browser.c_str(), 0755);
  ::mkdir(work.file("xdg").c_str(), 0755);
  ::mkdir(work.file("run").c_str(), 0755);
  harvelo::testing::WriteBytes(work.file("mailcap"), "");
  const std::map<std::string, std::optional<std::string>> env{
      {"DISPLAY", x.display()},
      {"BROWSER", browser},
      {"HOME", work.dir() + "xdg"},
      {"XDG_DATA_HOME", work.dir() + "xdg"},
      {"XDG_DATA_DIRS", work.dir() + "xdg"},
      {"XDG_CONFIG_HOME", work.dir() + "xdg"},
      {"XDG_CONFIG_DIRS", work.dir() + "xdg"},
      {"MAILCAPS", work.file("mailcap")},
      {"XDG_CURRENT_DESKTOP", std::nullopt},
      {"DESKTOP_SESSION", std::nullopt},
      {"TMPDIR", work.dir()}};

  // Chromium's first start on a fresh profile can take longer than the 4 s of polls on
  // a loaded machine, so it gets further runs, as a user would; they find it running.
  std::string recorded;
  for (int attempt = 0; attempt < 4 && recorded.size() <= 4; ++attempt) {
    const auto run =
        RunChild(AGENTSCOUT_PATH, {"agentscout", "UserAgent"}, env, work.dir() + "run");
    EXPECT_EQ(run.status, 0);
    recorded = ReadBytes(work.file("run/HV_agentscout.cfg"));
  }
  ASSERT_NE(recorded.find("Chrome/"), std::string::npos) << recorded;
  ASSERT_EQ(recorded.substr(recorded.size() - 2), "\r\n");
  const std::string agent = recorded.substr(1, recorded.size() - 4);
  EXPECT_EQ(agent.find('"'), std::string::npos);
  EXPECT_FALSE(harvelo::testing::Exists(work.file("agentscout.html")));

  harvelo::testing::LoopbackServer server;
  std::mutex mutex;
  std::string presented;
  server.server().Get("/page.html", [&](const httplib::Request& req, httplib::Response& res) {
    std::lock_guard lock(mutex);
    presented = req.get_header_value("User-Agent");
    res.set_content("<html><img src=\"a.jpg\"></html>", "text/html");
  });
  server.server().Get("/a.jpg", [](const httplib::Request&, httplib::Response& res) {
    res.set_content(std::string(2000, 'x'), "image/jpeg");
  });
  ASSERT_TRUE(server.Start());
  const auto harvest =
      RunChild(HARVELO_CLI_PATH,
               {"harvelo-cli", "--dest", "dest", "--min-size", "1", "-q", server.Url("/page.html")},
               {{"DISPLAY", std::nullopt}}, work.dir() + "run");
  EXPECT_EQ(harvest.status, 0) << harvest.stderr_text;
  std::lock_guard lock(mutex);
  EXPECT_EQ(presented, agent);
}

}  // namespace
}  // namespace harvelo::agentscout
