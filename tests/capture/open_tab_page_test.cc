// A page captured from an open Chromium is read from its tab as the user scrolled it, not
// fetched again: a real browser started by the test shows the scripted gallery, the test
// scrolls it to its second page of pictures, and the run takes the capture path.
#include <optional>

#include "devtools/devtools_connection.h"
#include "devtools/open_tab_reader.h"
#include "devtools/page_list.h"
#include "engine/engine_fixture.h"
#include "support/chromium.h"
#include "support/fake_devtools.h"
#include "support/scripted_gallery.h"

namespace harvelo::testing {
namespace {

class OpenTabPageTest : public EngineTest {
 protected:
  void SetUp() override {
    Page("/gallery.html", kGallery);
    site.server().Get("/list", [](const httplib::Request& req, httplib::Response& res) {
      const std::string page = req.get_param_value("page");
      res.set_content("[\"p" + page + "a.jpg\", \"p" + page + "b.jpg\", \"p" + page + "c.jpg\"]",
                      "application/json");
    });
    const char* pictures[][2] = {{"p1a", "1"}, {"p1b", "2"}, {"p1c", "3"}, {"p2a", "4"},
                                 {"p2b", "5"}, {"p2c", "6"}, {"p3a", "7"}, {"p3b", "8"},
                                 {"p3c", "9"}, {"bg1", "A"}, {"bg2", "B"}, {"bg3", "C"}};
    for (const auto& [name, fill] : pictures) {
      Serve(std::string("/pics/") + name + ".jpg", BigBody(fill[0]));
    }
    StartSite();
  }

  // Evaluates `expression` in the browser's tab showing `url` until it gives `want`
  // (the page's scripts run on their own time; a guard of some hundred tries).
  static bool TabReaches(int port, const std::string& url, const std::string& expression,
                         const nlohmann::json& want) {
    for (int attempt = 0; attempt < 600; ++attempt) {
      devtools::DevToolsConnection endpoint(port);
      std::string body, error;
      std::vector<devtools::PageTarget> pages;
      if (endpoint.Connect() &&
          endpoint.HttpGet("/json/list", body, error) == devtools::CallResult::kOk &&
          devtools::ParsePageList(body, pages)) {
        for (const auto& p : pages) {
          if (p.url != url) continue;
          devtools::DevToolsConnection tab(port);
          nlohmann::json result;
          if (tab.OpenPage(p.socket_path, error) == devtools::CallResult::kOk &&
              tab.Call("Runtime.evaluate", {{"expression", expression}, {"returnByValue", true}},
                       result, error) == devtools::CallResult::kOk &&
              result["result"]["value"] == want) {
            return true;
          }
        }
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
  }

  std::vector<std::string> StoredFills() const {
    std::vector<std::string> out;
    for (const auto& name : DestFiles()) {
      if (name.ends_with(".jpg")) out.push_back(name + ":" + DestFile(name).substr(0, 1));
    }
    return out;
  }
};

TEST_F(OpenTabPageTest, TheTabIsReadAsScrolledOrElseThePageIsFetchedAndTheLogSaysSo) {
  Chromium browser(Url("/gallery.html"));
  ASSERT_TRUE(browser.started());
  const int port = browser.WaitForPort();
  ASSERT_GT(port, 0);
  const std::string imgs = "document.querySelectorAll('img').length";
  ASSERT_TRUE(TabReaches(port, Url("/gallery.html"), imgs, 3));
  // One scroll to the end, as the reader's: the second page of the list comes, and no
  // further scroll asks for the third.
  ASSERT_TRUE(TabReaches(port, Url("/gallery.html"),
                         "scrollTo(0, document.documentElement.scrollHeight); 'scrolled'",
                         "scrolled"));
  ASSERT_TRUE(TabReaches(port, Url("/gallery.html"), imgs, 6));
  // A browser that takes the connection and never answers.
  FakeDevTools silent([](const nlohmann::json&) { return std::nullopt; });
  silent.SetPageList(R"([{"type":"page","url":")" + Url("/gallery.html") +
                     R"(","webSocketDebuggerUrl":"ws://127.0.0.1/devtools/page/1"}])");

  struct Case {
    int port;
    bool typed;  // typed while open in the browser, rather than taken with Get from Browser
    const char* address;
    std::vector<std::string> stored;
    const char* pageStatus;
  };
  // The first two pages of the list as the user scrolled them, and the backgrounds.
  const std::vector<std::string> scrolled = {"AAA_001.jpg:1", "AAA_002.jpg:2", "AAA_003.jpg:3",
                                             "AAA_004.jpg:4", "AAA_005.jpg:5", "AAA_006.jpg:6",
                                             "AAA_007.jpg:A", "AAA_008.jpg:B", "AAA_009.jpg:C"};
  const Case cases[] = {
      // Taken from the browser, or typed while it is open there.
      {port, false, "/gallery.html", scrolled, "Ok"},
      {port, true, "/gallery.html", scrolled, "Ok"},
      // The tab is gone: the page as sent lists nothing.
      {port, false, "/gallery.html?closed", {}, "Ok (not rendered)"},
      {silent.port(), false, "/gallery.html", {}, "Ok (not rendered)"},
  };
  for (const Case& c : cases) {
    for (const auto& name : DestFiles()) std::filesystem::remove(dest.file(name));
    engine.fileCounter = 1;
    window.controls[IDC_FILE_PREFIX] = "AAA_";  // each run moves the prefix on
    engine.readOpenTab = [&c](std::string&) { return devtools::MakeOpenTabReader(c.port); };
    if (c.typed) {
      engine.lookUpPageContext = [](const std::string&, std::string&, std::string&) {
        return true;
      };
      StartWith(Url(c.address));
      engine.lookUpPageContext = nullptr;
    } else {
      engine.QueueCapturedPage(Url(c.address), "", "", /*fromOpenTab=*/true);
    }
    EXPECT_EQ(StoredFills(), c.stored) << c.address << " on " << c.port;
    ASSERT_FALSE(window.rows.empty());
    EXPECT_EQ(window.rows.back().status, c.pageStatus) << c.address << " on " << c.port;
  }
}

}  // namespace
}  // namespace harvelo::testing
