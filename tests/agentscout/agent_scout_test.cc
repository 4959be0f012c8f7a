// agentscout's run over stand-in windows: the title rule (with the whole title read),
// the poll schedule, the close request, the probe page and the result file.
#include "agentscout/agent_scout.h"

#include <gtest/gtest.h>

#include <map>

#include "support/temp_dir.h"

namespace harvelo::agentscout {
namespace {

using harvelo::testing::Exists;
using harvelo::testing::ReadBytes;
using harvelo::testing::TempDir;

// Windows whose titles a test sets; the titles may appear after a number of polls.
class FakeWindows : public TopLevelWindows {
 public:
  std::vector<WindowId> List() override {
    ++listings;
    std::vector<WindowId> ids;
    for (const auto& [id, title] : titles) {
      if (listings >= appears_at_listing) ids.push_back(id);
    }
    return ids;
  }
  std::string Title(WindowId window) override { return titles[window]; }
  void Close(WindowId window) override { closed.push_back(window); }

  std::map<WindowId, std::string> titles;
  int appears_at_listing = 1;
  int listings = 0;
  std::vector<WindowId> closed;
};

TEST(AgentTitle, TakesTheTextBetweenTheMarkerAndTheFirstClosingBracket) {
  std::string agent;
  EXPECT_TRUE(AgentFromTitle("UserAgent: <Mozilla/5.0 (X11) Chrome/1.0> - Chromium", agent));
  EXPECT_EQ(agent, "Mozilla/5.0 (X11) Chrome/1.0");
  EXPECT_TRUE(AgentFromTitle("UserAgent: <no end", agent));
  EXPECT_EQ(agent, "no end");
  EXPECT_TRUE(AgentFromTitle("UserAgent: <>", agent));
  EXPECT_EQ(agent, "");
  agent = "kept";
  EXPECT_FALSE(AgentFromTitle("Chromium - UserAgent: <x>", agent));
  EXPECT_FALSE(AgentFromTitle("UserAgent:<x>", agent));
  EXPECT_FALSE(AgentFromTitle("", agent));
  EXPECT_EQ(agent, "kept");
}

TEST(AgentTitle, ALongAgentIsTakenWholeNotCutAtTheTitleBuffer) {
  // Edge's agent is about 125 characters; a 120-character title buffer kept 107 of them.
  const std::string edge =
      "Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) "
      "Chrome/120.0.0.0 Safari/537.36 Edg/120.0.0.0";
  ASSERT_GT(edge.size(), 107u);
  std::string agent;
  ASSERT_TRUE(AgentFromTitle("UserAgent: <" + edge + "> - Microsoft Edge", agent));
  EXPECT_EQ(agent, edge);
}

TEST(AgentScout, WritesTheProbePageOpensItAndStopsPollingWhenFound) {
  TempDir temp;
  FakeWindows windows;
  windows.titles = {
      {7, "Terminal"}, {9, "UserAgent: <Agent/2.0> - Browser"}, {11, "UserAgent: <Other>"}};
  windows.appears_at_listing = 3;
  std::string opened, page_when_opened;
  int sleeps = 0, slept_ms = 0;
  ScoutServices services;
  services.open = [&](const std::string& page) {
    opened = page;
    page_when_opened = ReadBytes(page);
  };
  services.sleep = [&](int ms) {
    ++sleeps;
    slept_ms += ms;
  };
  services.windows = &windows;

  EXPECT_EQ(ScoutAgent(temp.dir(), temp.file("HV_agentscout.cfg"), services), "Agent/2.0");
  EXPECT_EQ(opened, temp.file("agentscout.html"));
  EXPECT_EQ(page_when_opened,
            "<html>\r\n<script language=JavaScript>\r\n"
            "document.title= \"UserAgent: <\" + navigator.userAgent + \">\"\r\n"
            "</script>\r\n</html>\r\n");
  EXPECT_EQ(sleeps, 3);  // the window showed up at the third poll
  EXPECT_EQ(slept_ms, 600);
  EXPECT_EQ(windows.closed, std::vector<WindowId>{9});  // the first recognised one only
  EXPECT_EQ(ReadBytes(temp.file("HV_agentscout.cfg")), "\"Agent/2.0\"\r\n");
  EXPECT_FALSE(Exists(temp.file("agentscout.html")));
}

TEST(AgentScout, PollsTwentyTimesThenWritesTheEmptyFieldOverAnEarlierValue) {
  TempDir temp;
  harvelo::testing::WriteBytes(temp.file("HV_agentscout.cfg"), "\"Old/1.0\"\r\n");
  FakeWindows windows;
  windows.titles = {{1, "UserAgent: <>"}};  // recognised and closed, but empty: go on
  int sleeps = 0;
  ScoutServices services;
  services.open = [](const std::string&) {};
  services.sleep = [&](int) { ++sleeps; };
  services.windows = &windows;
  EXPECT_EQ(ScoutAgent(temp.dir(), temp.file("HV_agentscout.cfg"), services), "");
  EXPECT_EQ(sleeps, 20);
  EXPECT_EQ(windows.closed.size(), 20u);
  EXPECT_EQ(ReadBytes(temp.file("HV_agentscout.cfg")), "\"\"\r\n");
  EXPECT_FALSE(Exists(temp.file("agentscout.html")));
}

TEST(AgentScout, WithoutADisplayOrAProbePageTheEmptyFieldIsWrittenAtOnce) {
  TempDir temp;
  bool opened = false;
  ScoutServices services;
  services.open = [&](const std::string&) { opened = true; };
  services.sleep = [](int) { FAIL() << "no display: no polling"; };
  EXPECT_EQ(ScoutAgent(temp.dir(), temp.file("HV_agentscout.cfg"), services), "");
  EXPECT_FALSE(opened);
  EXPECT_EQ(ReadBytes(temp.file("HV_agentscout.cfg")), "\"\"\r\n");
  EXPECT_FALSE(Exists(temp.file("agentscout.html")));

  FakeWindows windows;
  services.windows = &windows;
  EXPECT_EQ(ScoutAgent(temp.dir() + "missing/", temp.file("second.cfg"), services), "");
  EXPECT_FALSE(opened);
  EXPECT_EQ(ReadBytes(temp.file("second.cfg")), "\"\"\r\n");
}

}  // namespace
}  // namespace harvelo::agentscout
