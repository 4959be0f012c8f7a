// Times the Inspector program (start to exit, both files written) with 1 and with 20
// loopback pages open in a headless Chromium, and, as the peer, `curl` reading the same
// browser's page list once. Prints the medians of 7 runs and their ratio.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "devtools/devtools_connection.h"
#include "open_pages/error_reporter.h"
#include "open_pages/open_pages_run.h"
#include "support/child_program.h"
#include "support/chromium.h"
#include "support/devtools_page.h"
#include "support/loopback_server.h"
#include "support/temp_dir.h"

using namespace harvelo;
using namespace harvelo::inspector;
using Clock = std::chrono::steady_clock;

namespace {

double MedianMs(const std::vector<std::string>& program, const std::vector<std::string>& args,
                const std::map<std::string, std::optional<std::string>>& env) {
  std::vector<double> ms;
  for (int i = 0; i < 7; ++i) {
    const auto start = Clock::now();
    harvelo::testing::RunChild(program[0], args, env);
    ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  std::sort(ms.begin(), ms.end());
  return ms[ms.size() / 2];
}

int CountRecords(int port) {
  StderrReporter errors;
  ShellWindows windows(port, errors);
  return windows.Connect() ? windows.GetCount() : 0;
}

}  // namespace

int main() {
  harvelo::testing::LoopbackServer server;
  server.server().Get(R"(/page/(\d+))", [](const httplib::Request& req, httplib::Response& res) {
    res.set_header("Set-Cookie", "id=" + req.matches[1].str() + "; HttpOnly");
    res.set_content("<html><title>Page " + req.matches[1].str() + "</title></html>", "text/html");
  });
  if (!server.Start()) return 1;
  harvelo::testing::Chromium browser(server.Url("/page/1"));
  const int port = browser.WaitForPort();
  if (port == 0) {
    std::fprintf(stderr, "chromium did not start\n");
    return 1;
  }
  harvelo::testing::TempDir temp;
  const std::map<std::string, std::optional<std::string>> env{
      {"TMPDIR", temp.dir()},
      {"HARVELO_DEVTOOLS_PORT", std::to_string(port)},
      {"DISPLAY", std::nullopt}};
  const std::vector<std::string> curl_args{
      "curl", "-s", "-o", "/dev/null", "http://127.0.0.1:" + std::to_string(port) + "/json/list"};
  std::printf("%-8s %14s %12s %8s\n", "pages", "Inspector ms", "curl ms", "ratio");
  for (int pages : {1, 20}) {
    for (int n = CountRecords(port); n < pages; ++n)
      harvelo::testing::OpenBrowserPage(port, server.Url("/page/" + std::to_string(n + 1)));
    for (int i = 0; i < 100 && CountRecords(port) < pages; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500));  // let the pages load
    const double inspector = MedianMs({INSPECTOR_PATH}, {"Inspector", "MSIE"}, env);
    const double curl = MedianMs({"/usr/bin/curl"}, curl_args, env);
    std::string n_file = harvelo::testing::ReadBytes(temp.file("inspector.n"));
    while (!n_file.empty() && (n_file.back() == '\n' || n_file.back() == '\r')) n_file.pop_back();
    std::printf("%-8d %14.1f %12.1f %8.2f   (inspector.n: %s)\n", pages, inspector, curl,
                inspector / curl, n_file.c_str());
  }
  return 0;
}
