// Galleries built by script (support/scripted_gallery.h), harvested with --render
// through a real headless Chromium.
#include <dirent.h>
#include <signal.h>

#include <atomic>
#include <filesystem>
#include <map>

#include "cli_fixture.h"
#include "settings/settings.h"
#include "support/scripted_gallery.h"

namespace harvelo::testing {
namespace {

// Grows by one picture whenever it is scrolled to its end, without end.
constexpr char kEndless[] = R"(<!DOCTYPE html><html><head><style>
body { margin: 0 } img { display: block; width: 300px; height: 1000px }
</style></head><body><img src="/pics/e0.jpg"><script>
let n = 1;
addEventListener("scroll", () => {
  if (innerHeight + scrollY < document.documentElement.scrollHeight - 50) return;
  const img = document.createElement("img");
  img.src = "/pics/e" + n++ + ".jpg";
  document.body.appendChild(img);
});
</script></body></html>)";

// Never quiet: a request that is never answered; its picture is made by script.
constexpr char kHanging[] = R"(<!DOCTYPE html><html><body><script>
fetch("/hang");
const img = document.createElement("img");
img.src = "/pics/made.jpg";
document.body.appendChild(img);
</script></body></html>)";

// The gallery, whose scroll handler loads the next part of the list `ms` after the
// scroll (as a debounced one does): nothing is under way in between.
std::string LateGallery(int ms) {
  std::string page = kGallery;
  const std::string now = ") load();";
  return page.replace(page.find(now), now.size(),
                      ") setTimeout(load, " + std::to_string(ms) + ");");
}

class CliRenderedPagesTest : public CliTest {
 protected:
  void SetUp() override {
    site.server().Get("/gallery.html", [](const httplib::Request&, httplib::Response& res) {
      res.set_header("Set-Cookie", "session=s1; HttpOnly; Path=/");
      res.set_content(kGallery, "text/html");
    });
    Page("/endless.html", kEndless);
    Page("/late-250.html", LateGallery(250));
    Page("/late-600.html", LateGallery(600));
    Page("/hanging.html", kHanging);
    Page("/static.html", R"(<html><body><img src="/pics/static.jpg"></body></html>)");
    Page("/made.html", R"(<html><body><script>
      const img = document.createElement("img");
      img.src = "/pics/made.jpg";
      document.body.appendChild(img);
    </script></body></html>)");
    site.server().Get("/list", [](const httplib::Request& req, httplib::Response& res) {
      const std::string page = req.get_param_value("page");
      res.set_content("[\"p" + page + "a.jpg\", \"p" + page + "b.jpg\", \"p" + page + "c.jpg\"]",
                      "application/json");
    });
    site.server().Get("/hang", [this](const httplib::Request&, httplib::Response& res) {
      hang_asked_ = true;
      while (!releasing_) std::this_thread::sleep_for(std::chrono::milliseconds(10));
      res.set_content("late", "text/plain");
    });
    site.server().Get(
        R"(/pics/(\w+)\.jpg)", [this](const httplib::Request& req, httplib::Response& res) {
          const std::string name = req.matches[1];
          if (req.get_header_value("User-Agent").find("Chrome") == std::string::npos) {
            std::lock_guard<std::mutex> lock(pictures_mutex_);
            harvelo_cookies_[name] = req.get_header_value("Cookie");
          }
          res.set_content(ImageBody(FillOf(name)), "image/jpeg");
        });
    ASSERT_TRUE(site.Start());
  }
  void TearDown() override {
    releasing_ = true;
    site.Stop();
  }

  // Each picture's body tells which it is.
  static char FillOf(const std::string& name) {
    static const std::map<std::string, char> fills = {
        {"p1a", '1'}, {"p1b", '2'}, {"p1c", '3'},    {"p2a", '4'},  {"p2b", '5'},
        {"p2c", '6'}, {"p3a", '7'}, {"p3b", '8'},    {"p3c", '9'},  {"bg1", 'A'},
        {"bg2", 'B'}, {"bg3", 'C'}, {"hidden", 'H'}, {"made", 'M'}, {"static", 'S'}};
    const auto it = fills.find(name);
    if (it != fills.end()) return it->second;
    return static_cast<char>('a' + (name.back() - '0') % 26);  // e0, e1, ...
  }

  // The browser's temporary folder is made under TMPDIR.
  std::vector<std::string> Env(const std::string& chromium = "") const {
    std::vector<std::string> env{"LANG=C", "PATH=/usr/bin:/bin", "HOME=" + home_.dir(),
                                 "TMPDIR=" + tmp_.dir()};
    if (!chromium.empty()) env.push_back("HARVELO_CHROMIUM=" + chromium);
    return env;
  }
  void Bounds(int screens, int seconds) {
    Settings settings;
    settings.renderScreens = screens;
    settings.renderSeconds = seconds;
    SaveSettings(settings, work.dir());
  }
  int RunRender(const std::string& path, std::vector<std::string> extra = {"--render"}) {
    std::vector<std::string> args{"--dest", "dest", "--min-size", "0", Url(path)};
    args.insert(args.end(), extra.begin(), extra.end());
    return Run(args, Env());
  }
  std::vector<std::string> StoredBodies() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(work.file("dest"))) {
      const std::string name = e.path().filename().string();
      if (name.ends_with(".jpg")) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    std::vector<std::string> fills;
    for (const auto& name : names) {
      const std::string body = ReadBytes(Dest(name));
      fills.push_back(name + ":" + (body.size() > 4 ? std::string(1, body[4]) : body));
    }
    return fills;
  }
  // A process whose command line names the test's temporary folder: the browser.
  bool BrowserRunning() const {
    DIR* proc = ::opendir("/proc");
    bool found = false;
    while (dirent* e = ::readdir(proc)) {
      const std::string cmdline = ReadBytes(std::string("/proc/") + e->d_name + "/cmdline");
      if (e->d_name[0] >= '1' && e->d_name[0] <= '9' && cmdline.find(tmp_.dir()) != cmdline.npos) {
        found = true;
      }
    }
    ::closedir(proc);
    return found;
  }
  bool TempFolderEmpty() const { return std::filesystem::is_empty(tmp_.dir()); }

  std::map<std::string, std::string> HarveloCookies() {
    std::lock_guard<std::mutex> lock(pictures_mutex_);
    return harvelo_cookies_;
  }

  TempDir tmp_;
  TempDir home_;
  std::atomic<bool> hang_asked_{false};
  std::atomic<bool> releasing_{false};
  std::mutex pictures_mutex_;
  std::map<std::string, std::string> harvelo_cookies_;
};

TEST_F(CliRenderedPagesTest, AScriptedGalleryIsHarvestedWholeOnlyWhenRendered) {
  EXPECT_EQ(RunRender("/gallery.html", {}), 1) << "the page as sent lists no picture";
  EXPECT_TRUE(StoredBodies().empty());

  // A second page after it, rendered by the same browser (a page of its own moves the
  // prefix on).
  ASSERT_EQ(RunRender("/gallery.html", {"--render", Url("/made.html")}), 0) << cli.Err();
  // The document's pictures in its order, then the backgrounds only the browser saw;
  // the picture behind "more" was never shown.
  EXPECT_EQ(StoredBodies(),
            (std::vector<std::string>{
                "AAA_001.jpg:1", "AAA_002.jpg:2", "AAA_003.jpg:3", "AAA_004.jpg:4", "AAA_005.jpg:5",
                "AAA_006.jpg:6", "AAA_007.jpg:7", "AAA_008.jpg:8", "AAA_009.jpg:9", "AAA_010.jpg:A",
                "AAA_011.jpg:B", "AAA_012.jpg:C", "AAB_001.jpg:M"}));
  const auto cookies = HarveloCookies();
  EXPECT_EQ(cookies.size(), 13u);
  for (const auto& [name, cookie] : cookies) {
    // Set by the page's script, and the server's HttpOnly one the script never sees.
    EXPECT_NE(cookie.find("scripted=yes"), std::string::npos) << name << ": " << cookie;
    EXPECT_NE(cookie.find("session=s1"), std::string::npos) << name << ": " << cookie;
  }
  EXPECT_FALSE(BrowserRunning());
  EXPECT_TRUE(TempFolderEmpty());
}

TEST_F(CliRenderedPagesTest, PartsLoadedAMomentAfterAScrollAreWaitedFor) {
  for (const char* page : {"/late-250.html", "/late-600.html"}) {
    std::filesystem::remove_all(work.file("dest"));
    EXPECT_EQ(RunRender(page), 0) << page << cli.Err();
    EXPECT_EQ(StoredBodies(),
              (std::vector<std::string>{"AAA_001.jpg:1", "AAA_002.jpg:2", "AAA_003.jpg:3",
                                        "AAA_004.jpg:4", "AAA_005.jpg:5", "AAA_006.jpg:6",
                                        "AAA_007.jpg:7", "AAA_008.jpg:8", "AAA_009.jpg:9",
                                        "AAA_010.jpg:A", "AAA_011.jpg:B", "AAA_012.jpg:C"}))
        << page;
    EXPECT_FALSE(BrowserRunning()) << page;
    EXPECT_TRUE(TempFolderEmpty()) << page;
  }
}

TEST_F(CliRenderedPagesTest, TheBoundsEndPagesThatNeverSettle) {
  struct Case {
    const char* page;
    int screens;
    int seconds;
    std::vector<std::string> stored;
  };
  const Case cases[] = {
      // Three screens: the first picture and one more for each scroll.
      {"/endless.html",
       3,
       600,
       {"AAA_001.jpg:a", "AAA_002.jpg:b", "AAA_003.jpg:c", "AAA_004.jpg:d"}},
      // The network never quiet: the page is read when its time is up.
      {"/hanging.html", 20, 2, {"AAA_001.jpg:M"}},
  };
  for (const Case& c : cases) {
    std::filesystem::remove_all(work.file("dest"));
    Bounds(c.screens, c.seconds);
    EXPECT_EQ(RunRender(c.page), 0) << c.page << cli.Err();
    EXPECT_EQ(StoredBodies(), c.stored) << c.page;
    EXPECT_FALSE(BrowserRunning()) << c.page;
    EXPECT_TRUE(TempFolderEmpty()) << c.page;
  }
}

TEST_F(CliRenderedPagesTest, WithoutChromiumThePackageIsNamedAndTheRunGoesOn) {
  ASSERT_EQ(Run({"--dest", "dest", "--min-size", "0", "--render", Url("/static.html")},
                Env(tmp_.file("no-such-chromium"))),
            0)
      << cli.Err();
  EXPECT_NE(cli.Err().find("\"chromium\""), std::string::npos) << cli.Err();
  EXPECT_EQ(StoredBodies(), std::vector<std::string>{"AAA_001.jpg:S"});
}

TEST_F(CliRenderedPagesTest, StopAndEndSignalsEndTheBrowserAndRemoveItsProfile) {
  struct Case {
    int signal;
    int status;
  };
  // Ctrl-C stops the run (nothing stored: exit 1); SIGTERM ends the program at once.
  for (const Case c : {Case{SIGINT, 1}, Case{SIGTERM, 128 + SIGTERM}}) {
    hang_asked_ = false;
    Bounds(20, 600);
    ASSERT_TRUE(
        cli.Start({"--dest", "dest", "--render", "--no", Url("/hanging.html")}, work.dir(), Env()));
    ASSERT_TRUE(PollUntil([&] { return hang_asked_.load(); }));
    ASSERT_TRUE(BrowserRunning());
    cli.Signal(c.signal);
    EXPECT_EQ(cli.Wait(), c.status) << c.signal << cli.Err();
    EXPECT_FALSE(BrowserRunning()) << c.signal;
    EXPECT_TRUE(TempFolderEmpty()) << c.signal;
  }
}

}  // namespace
}  // namespace harvelo::testing
