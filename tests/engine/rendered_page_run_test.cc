// The run with a page renderer (a fake here; the CLI tests drive a real Chromium): the
// rendered document is scanned instead of the page as sent, the browser's pictures the
// document does not reference follow it once each, and every way the renderer can fail
// leaves the run as it was without one.
#include <algorithm>
#include <memory>

#include "engine_fixture.h"

namespace harvelo::testing {
namespace {

struct FakeBrowser {
  bool starts = true;  // false: the factory gives none, as without Chromium
  bool renders = true;
  RenderedPage page;
  std::vector<std::string> asked;  // the addresses Render was asked for
  int alive = 0;                   // renderers not yet destroyed
};

class FakeRenderer : public PageRenderer {
 public:
  explicit FakeRenderer(FakeBrowser& browser) : browser_(browser) { ++browser_.alive; }
  ~FakeRenderer() override { --browser_.alive; }
  int Render(const std::string& address, const std::string&, RenderedPage& page, std::string& error,
             const std::function<bool()>& goOn) override {
    browser_.asked.push_back(address);
    if (!goOn() || !browser_.renders) {
      error = "the tab broke";
      return 0;
    }
    page = browser_.page;
    return 1;
  }

 private:
  FakeBrowser& browser_;
};

class RenderedPageRunTest : public EngineTest {
 protected:
  RenderedPageRunTest() {
    engine.startRenderer = [this](std::string& error) -> std::unique_ptr<PageRenderer> {
      if (!browser.starts) {
        error = "/usr/bin/chromium";
        return nullptr;
      }
      return std::make_unique<FakeRenderer>(browser);
    };
  }
  // The files stored, in the order of their names, with the first byte of each.
  std::vector<std::string> StoredBodies() const {
    std::vector<std::string> out;
    for (const auto& name : DestFiles()) {
      if (name.ends_with(".jpg")) out.push_back(name + ":" + DestFile(name).substr(0, 1));
    }
    return out;
  }
  FakeBrowser browser;
};

TEST_F(RenderedPageRunTest, TheRenderedDocumentAndTheBrowsersPicturesAreHarvestedOrElseThePage) {
  Page("/gallery.html", "<html><body><img src=\"/sent.jpg\"></body></html>");
  Serve("/sent.jpg", BigBody('s'));
  Serve("/built.jpg", BigBody('u'));
  Serve("/bg.jpg", BigBody('g'));
  Serve("/font.woff2", BigBody('f'), "font/woff2");
  StartSite();
  const RenderedPage rendered{
      "<html><body><img src=\"/built.jpg\"></body></html>",
      {Url("/bg.jpg"), Url("/built.jpg"), Url("/bg.jpg"), Url("/font.woff2")},
      {}};
  struct Case {
    int mode;
    bool starts, renders;
    std::vector<std::string> stored;  // bodies, in name order
    std::string pageStatus;
    size_t messages;
    size_t asked;
  };
  const Case cases[] = {
      // The document's picture, then the background only the browser saw; each once.
      {kRenderTypedPages, true, true, {"AAA_001.jpg:u", "AAA_002.jpg:g"}, "Ok", 0, 1},
      {kRenderTypedPages, true, false, {"AAA_001.jpg:s"}, "Ok (not rendered)", 0, 1},
      {kRenderTypedPages, false, true, {"AAA_001.jpg:s"}, "Ok", 1, 0},
      {kRenderBrowserPages, true, true, {"AAA_001.jpg:s"}, "Ok", 0, 0},
      {kRenderNever, true, true, {"AAA_001.jpg:s"}, "Ok", 0, 0},
  };
  for (const Case& c : cases) {
    for (const auto& name : DestFiles()) std::filesystem::remove(dest.file(name));
    engine.fileCounter = 1;
    window.controls[IDC_FILE_PREFIX] = "AAA_";  // each run moves the prefix on
    window.messages.clear();
    browser = {c.starts, c.renders, rendered, {}, 0};
    settings.renderedPages = c.mode;
    StartWith(Url("/gallery.html"));
    EXPECT_EQ(StoredBodies(), c.stored) << c.mode << c.starts << c.renders;
    ASSERT_FALSE(window.rows.empty());
    EXPECT_EQ(window.rows.back().status, c.pageStatus) << c.mode << c.starts << c.renders;
    EXPECT_EQ(window.messages.size(), c.messages) << c.mode << c.starts << c.renders;
    EXPECT_EQ(browser.asked.size(), c.asked) << c.mode << c.starts << c.renders;
    EXPECT_EQ(browser.alive, 0) << "the renderer ends with the run";
    const auto seen = SeenPaths();
    EXPECT_EQ(std::count(seen.begin(), seen.end(), "/font.woff2"), 0) << "a font is no picture";
  }
}

}  // namespace
}  // namespace harvelo::testing
