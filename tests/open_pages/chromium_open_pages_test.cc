// Inspector against a real Chromium showing a loopback page that was reached from
// another one, with a cookie the page's script can see and an HttpOnly one it cannot.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "open_pages/open_pages_run.h"
#include "open_pages/recording_reporter.h"
#include "settings/quote_file.h"
#include "support/child_program.h"
#include "support/chromium.h"
#include "support/loopback_server.h"
#include "support/temp_dir.h"

namespace harvelo::inspector {
namespace {

using harvelo::testing::Chromium;
using harvelo::testing::Exists;
using harvelo::testing::ReadBytes;
using harvelo::testing::RunChild;
using harvelo::testing::TempDir;

// Waits until the browser lists a page whose address ends with `suffix` and whose title
// is `title`.
bool WaitForPage(int port, const std::string& suffix, const std::string& title) {
  for (int i = 0; i < 300; ++i) {
    RecordingReporter quiet;
    ShellWindows windows(port, quiet);
    const int count = windows.Connect() ? windows.GetCount() : 0;
    for (int k = 0; k < count; ++k) {
      auto w = windows.Item(k);
      if (w && w->GetLocationURL().ends_with(suffix) && w->GetLocationName() == title) return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

class ChromiumInspector : public ::testing::Test {
 protected:
  void SetUp() override {
    server_.server().Get("/first", [](const httplib::Request&, httplib::Response& res) {
      res.set_header("Set-Cookie", "visible=v1; Path=/");
      res.headers.emplace("Set-Cookie", "session=s2; Path=/; HttpOnly");
      res.set_content("<html><title>First</title><script>location.href='/second'</script></html>",
                      "text/html");
    });
    server_.server().Get("/second", [](const httplib::Request&, httplib::Response& res) {
      res.set_content("<html><title>Second page</title><body>gallery</body></html>", "text/html");
    });
    ASSERT_TRUE(server_.Start());
    browser_ = std::make_unique<Chromium>(server_.Url("/first"));
    ASSERT_TRUE(browser_->started());
    port_ = browser_->WaitForPort();
    ASSERT_GT(port_, 0) << "chromium did not open its DevTools port";
    ASSERT_TRUE(WaitForPage(port_, "/second", "Second page"));
  }

  harvelo::testing::ChildResult RunInspector(const std::string& argument) {
    return RunChild(INSPECTOR_PATH, {"Inspector", argument},
                    {{"HARVELO_TEMP_DIR", temp_.dir()},
                     {"HARVELO_DEVTOOLS_PORT", std::to_string(port_)},
                     {"DISPLAY", std::nullopt}});
  }

  harvelo::testing::LoopbackServer server_;
  std::unique_ptr<Chromium> browser_;
  int port_ = 0;
  TempDir temp_;
};

TEST_F(ChromiumInspector, RecordsTitleAddressBothCookiesAndTheReferrer) {
  const auto run = RunInspector("MSIE");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.stderr_text, "");
  EXPECT_EQ(ReadBytes(temp_.file("inspector.n")), "1\r\n");

  QuoteFile out(temp_.file("inspector.out"));
  std::string title, address, cookie, referrer;
  ASSERT_TRUE(out.ReadField(title) && out.ReadField(address) && out.ReadField(cookie) &&
              out.ReadField(referrer));
  EXPECT_EQ(title, "Second page");
  EXPECT_EQ(address, server_.Url("/second"));
  // Both cookies, the HttpOnly one included, as the browser would send them.
  EXPECT_TRUE(cookie == "visible=v1; session=s2" || cookie == "session=s2; visible=v1") << cookie;
  EXPECT_EQ(referrer, server_.Url("/first"));
  EXPECT_FALSE(out.ReadField(title));  // one record only
  EXPECT_EQ(ReadBytes(temp_.file("inspector.out")).back(), '\n');
}

TEST_F(ChromiumInspector, DoesNothingWithoutTheKeywordInItsCase) {
  const auto run = RunInspector("msie");
  EXPECT_EQ(run.status, 0);
  EXPECT_FALSE(Exists(temp_.file("inspector.out")));
  EXPECT_FALSE(Exists(temp_.file("inspector.n")));
}

}  // namespace
}  // namespace harvelo::inspector
