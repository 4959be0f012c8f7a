// Get from Browser and a typed address against a real Chromium: the page it shows is
// harvested with the browser's cookies (the HttpOnly one too) and its referrer, as the
// loopback site sees them on Harvelo's own requests.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "capture/browser_capture.h"
#include "engine/engine_fixture.h"
#include "settings/quote_file.h"
#include "support/chromium.h"
#include "support/devtools_page.h"

namespace harvelo {
namespace {

using harvelo::testing::BigBody;

// Inspector from the build, writing into `dir`, and no window to choose in.
class BuiltInspector : public CaptureServices {
 public:
  BuiltInspector() = default;
  explicit BuiltInspector(std::string folder) : dir(std::move(folder)) {}
  std::string dir;
  int RunInspector() override { return RunInspectorProgram(INSPECTOR_DIR, dir); }
  std::unique_ptr<DdeTransport> OpenDdeTransport() override { return nullptr; }
  bool ChooseWindow(const std::string&, CapturedPage&) override { return false; }
  void OpenAddress(const std::string&) override {}
};

struct HarveloRequest {
  std::string path, cookie, referer;
};

class ChromiumCapture : public harvelo::testing::EngineTest {
 protected:
  void SetUp() override {
    site.server().Get("/first", [](const httplib::Request&, httplib::Response& res) {
      res.set_header("Set-Cookie", "visible=v1; Path=/");
      res.headers.emplace("Set-Cookie", "session=s2; Path=/; HttpOnly");
      res.set_content("<html><script>location.href='/gallery'</script></html>", "text/html");
    });
    Handle("/gallery", "<html><title>Gallery</title><img src=\"a.jpg\"></html>", "text/html");
    Handle("/other.html", "<html><title>Other</title></html>", "text/html");
    Handle("/GALLERY", "<html><title>Gallery</title></html>", "text/html");
    Handle("/a.jpg", BigBody(), "image/jpeg");
    StartSite();
    browser_ = std::make_unique<harvelo::testing::Chromium>(Url("/first"));
    const int port = browser_->WaitForPort();
    ASSERT_GT(port, 0);
    ::setenv("HARVELO_DEVTOOLS_PORT", std::to_string(port).c_str(), 1);
    if (const char* tmp = std::getenv("TMPDIR")) saved_tmpdir_ = tmp;
    ::setenv("TMPDIR", temp_.dir().c_str(), 1);
    ASSERT_TRUE(WaitUntilShown());
  }
  void TearDown() override {
    ::unsetenv("HARVELO_DEVTOOLS_PORT");
    if (saved_tmpdir_) {
      ::setenv("TMPDIR", saved_tmpdir_->c_str(), 1);
    } else {
      ::unsetenv("TMPDIR");
    }
  }

  // Serves `body`, keeping what Harvelo's own requests (not the browser's) carried.
  void Handle(const std::string& path, const std::string& body, const std::string& type) {
    site.server().Get(
        path, [this, body, type](const httplib::Request& req, httplib::Response& res) {
          if (req.get_header_value("User-Agent").find("MSIE 5.01") != std::string::npos) {
            std::lock_guard lock(mutex_);
            requests_.push_back(
                {req.path, req.get_header_value("Cookie"), req.get_header_value("Referer")});
          }
          res.set_content(body, type.c_str());
        });
  }
  std::vector<HarveloRequest> Requests() {
    std::lock_guard lock(mutex_);
    return requests_;
  }

  // Waits until Inspector reports the gallery with both of its cookies.
  bool WaitUntilShown() {
    for (int i = 0; i < 200; ++i) {
      if (capture_.LookUpPageContext(Url("/gallery"), cookie_, referrer_) &&
          cookie_.find("session=s2") != std::string::npos) {
        return true;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
  }

  harvelo::testing::TempDir temp_;
  BuiltInspector services_{temp_.dir()};
  BrowserCapture capture_{services_, window, temp_.dir()};
  std::unique_ptr<harvelo::testing::Chromium> browser_;
  std::string cookie_, referrer_;
  std::optional<std::string> saved_tmpdir_;
  std::mutex mutex_;
  std::vector<HarveloRequest> requests_;
};

TEST_F(ChromiumCapture, GetFromBrowserAndATypedAddressCarryTheBrowsersCookieAndReferrer) {
  capture_.GetFromBrowser(engine, 0);
  EXPECT_TRUE(window.messages.empty());
  EXPECT_EQ(DestFiles().count("AAA_001.jpg"), 1u);
  auto requests = Requests();
  ASSERT_GE(requests.size(), 1u);
  EXPECT_EQ(requests[0].path, "/gallery");
  EXPECT_NE(requests[0].cookie.find("visible=v1"), std::string::npos) << requests[0].cookie;
  EXPECT_NE(requests[0].cookie.find("session=s2"), std::string::npos) << requests[0].cookie;
  EXPECT_EQ(requests[0].referer, Url("/first"));
  EXPECT_FALSE(harvelo::testing::Exists(temp_.file("inspector.out")));
  EXPECT_FALSE(harvelo::testing::Exists(temp_.file("inspector.n")));

  // The same address typed and started: the look-up gives it the same context.
  InstallPageContextLookUp(engine, capture_);
  StartWith(Url("/gallery"));
  requests = Requests();
  ASSERT_GE(requests.size(), 3u);
  EXPECT_EQ(requests[2].path, "/gallery");
  EXPECT_NE(requests[2].cookie.find("session=s2"), std::string::npos);
  EXPECT_EQ(requests[2].referer, Url("/first"));
  // A typed address in another letter case finds no page: no cookie, no referrer.
  StartWith(Url("/GALLERY"));
  requests = Requests();
  ASSERT_EQ(requests.back().path, "/GALLERY");
  EXPECT_EQ(requests.back().cookie, "");
  EXPECT_NE(requests.back().referer, Url("/first"));
}

TEST_F(ChromiumCapture, WithSeveralPagesTheChosenOneIsHarvested) {
  ASSERT_TRUE(harvelo::testing::OpenBrowserPage(browser_->WaitForPort(), Url("/other.html")));
  // The window choice lists both titles; the user picks the gallery.
  struct Choosing : BuiltInspector {
    std::vector<std::string> listed;
    bool ChooseWindow(const std::string& out, CapturedPage& chosen) override {
      listed = ReadRecordTitles(out);
      for (size_t i = 0; i < listed.size(); ++i) {
        if (listed[i] == "Gallery") return ReadRecordAt(out, static_cast<int>(i), chosen);
      }
      return false;
    }
  } choosing;
  choosing.dir = temp_.dir();
  BrowserCapture capture(choosing, window, temp_.dir());
  std::string cookie, referrer;
  for (int i = 0; i < 200 && !capture.LookUpPageContext(Url("/other.html"), cookie, referrer);
       ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  capture.GetFromBrowser(engine, 0);
  ASSERT_EQ(choosing.listed.size(), 2u);
  EXPECT_NE(std::find(choosing.listed.begin(), choosing.listed.end(), "Other"),
            choosing.listed.end());
  const auto requests = Requests();
  ASSERT_FALSE(requests.empty());
  EXPECT_EQ(requests.front().path, "/gallery");
  EXPECT_NE(requests.front().cookie.find("session=s2"), std::string::npos);
  EXPECT_EQ(DestFiles().count("AAA_001.jpg"), 1u);
}

}  // namespace
}  // namespace harvelo
