// Render benchmark: the scripted gallery of the tests (three pages of its JSON list,
// fetched as the page is scrolled, and three CSS backgrounds; pictures of 200 KB) on a
// loopback site. Measured in the same run, median of the rounds:
//   floor      Chromium alone: from its start until the page, scrolled to its end, shows
//              every picture of the three pages, loaded (the time the browser needs
//              anyway);
//   downloads  harvelo-cli storing the same twelve pictures from a plain page;
//   harvelo    harvelo-cli --render on the gallery.
// The target: harvelo at most 1.5 x floor + downloads.
//   render_bench [rounds [harvelo-cli]]   (another build's harvelo-cli, to compare)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "devtools/devtools_connection.h"
#include "devtools/page_list.h"
#include "image_body.h"
#include "support/chromium.h"
#include "support/loopback_server.h"
#include "support/scripted_gallery.h"
#include "support/temp_dir.h"
#include "timed_run.h"

namespace {

using harvelo::bench::ImageBody;
using harvelo::bench::TimedRun;
using harvelo::testing::TempDir;
using Clock = std::chrono::steady_clock;

constexpr size_t kPictureSize = 200 * 1024;
const char* const kNames[] = {"p1a", "p1b", "p1c", "p2a", "p2b", "p2c",
                              "p3a", "p3b", "p3c", "bg1", "bg2", "bg3"};

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? -1 : v[v.size() / 2];
}

// Chromium's own time: started on the gallery, scrolled by DevTools as a reader scrolls,
// until all nine list pictures are in the page and loaded. -1 when it never got there.
double ChromiumFloor(const std::string& url) {
  using namespace harvelo::devtools;
  const auto start = Clock::now();
  harvelo::testing::Chromium browser(url);
  const int port = browser.WaitForPort();
  if (port <= 0) return -1;
  const std::string check =
      "scrollTo(0, document.documentElement.scrollHeight);"
      "[...document.querySelectorAll('img.pic')].filter(i => i.complete).length";
  std::unique_ptr<DevToolsConnection> tab;
  for (int attempt = 0; attempt < 3000; ++attempt) {
    std::string error;
    if (!tab) {
      DevToolsConnection endpoint(port);
      std::string body;
      std::vector<PageTarget> pages;
      if (endpoint.Connect() && endpoint.HttpGet("/json/list", body, error) == CallResult::kOk &&
          ParsePageList(body, pages)) {
        for (const auto& p : pages) {
          if (p.url != url) continue;
          tab = std::make_unique<DevToolsConnection>(port);
          if (tab->OpenPage(p.socket_path, error) != CallResult::kOk) tab.reset();
        }
      }
    }
    nlohmann::json result;
    if (tab &&
        tab->Call("Runtime.evaluate", {{"expression", check}, {"returnByValue", true}}, result,
                  error) == CallResult::kOk &&
        result["result"]["value"] == 9) {
      return std::chrono::duration<double>(Clock::now() - start).count();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  const std::string cli = argc > 2 ? argv[2] : HARVELO_CLI_PATH;
  harvelo::testing::LoopbackServer site;
  site.server().Get("/gallery.html", [](const httplib::Request&, httplib::Response& res) {
    res.set_content(harvelo::testing::kGallery, "text/html");
  });
  std::string plain = "<html><body>";
  for (const char* name : kNames) plain += std::string("<img src=\"/pics/") + name + ".jpg\">";
  plain += "</body></html>";
  site.server().Get("/plain.html", [&plain](const httplib::Request&, httplib::Response& res) {
    res.set_content(plain, "text/html");
  });
  site.server().Get("/list", [](const httplib::Request& req, httplib::Response& res) {
    const std::string page = req.get_param_value("page");
    res.set_content("[\"p" + page + "a.jpg\", \"p" + page + "b.jpg\", \"p" + page + "c.jpg\"]",
                    "application/json");
  });
  std::vector<std::string> bodies;
  for (int i = 0; i < 12; ++i) bodies.push_back(ImageBody(i, kPictureSize));
  site.server().Get(
      R"(/pics/(\w+)\.jpg)", [&bodies](const httplib::Request& req, httplib::Response& res) {
        const std::string name = req.matches[1];
        const auto it = std::find(std::begin(kNames), std::end(kNames), name);
        res.set_content(bodies[static_cast<size_t>(it - std::begin(kNames)) % bodies.size()],
                        "image/jpeg");
      });
  // The browser keeps its connections to the site open after the page is read (six or
  // more, while harvelo downloads): a pool of 8 threads, the library's own, would leave
  // the downloads waiting for those to time out, which no real server does.
  site.server().new_task_queue = [] { return new httplib::ThreadPool(64); };
  if (!site.Start()) return 1;

  std::vector<double> floors, downloads, harvelo;
  bool whole = true;
  for (int round = 0; round < rounds; ++round) {
    floors.push_back(ChromiumFloor(site.Url("/gallery.html")));
    TempDir plainDir, renderDir;
    downloads.push_back(
        TimedRun({cli, "--dest", "d", "--min-size", "0", site.Url("/plain.html")}, plainDir)
            .seconds);
    harvelo.push_back(
        TimedRun({cli, "--dest", "d", "--min-size", "0", "--render", site.Url("/gallery.html")},
                 renderDir)
            .seconds);
    // Fast and short of pictures is no result: every round must store all twelve.
    int stored = 0;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(renderDir.file("d"), ec)) {
      stored += e.path().extension() == ".jpg" ? 1 : 0;
    }
    whole = whole && stored == 12;
    std::printf(
        "round %d: floor %.3f s, downloads %.3f s, harvelo --render %.3f s (%d/12 stored)\n",
        round + 1, floors.back(), downloads.back(), harvelo.back(), stored);
  }
  const double floor = Median(floors), down = Median(downloads), ours = Median(harvelo);
  const double bound = 1.5 * floor + down;
  std::printf("median: Chromium load+scroll %.3f s, downloads %.3f s, harvelo --render %.3f s\n",
              floor, down, ours);
  std::printf(
      "harvelo / (floor + downloads) = %.2f; target harvelo <= 1.5 x floor + downloads "
      "= %.3f s: %s\n",
      ours / (floor + down), bound, whole && ours >= 0 && ours <= bound ? "met" : "NOT met");
  return 0;
}
