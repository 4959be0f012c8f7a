// One large page from nginx on loopback, fetched and scanned by harvelo-cli with its
// defaults and with --parallel 1, against curl fetching the same page into a file, in the
// same run. The page holds text, markup and small icons that are not of the target type,
// and at its very end one link to a JPEG: the run stores that one picture, so what is
// timed is the fetch and the scan, and the stored picture shows the scan reached the end.
//   big_page_bench [rounds] [MB]     (defaults 3 and 50)
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "support/tls_nginx.h"
#include "timed_run.h"

namespace {

using harvelo::bench::RunOutcome;
using harvelo::bench::TimedRun;
using harvelo::testing::FreePort;
using harvelo::testing::Nginx;
using harvelo::testing::TempDir;
using harvelo::testing::WriteBytes;

constexpr double kMB = 1024.0 * 1024.0;

// Paragraphs, inline markup, comments, scripts and GIF icons, in a deterministic mix.
std::string MakePage(size_t bytes) {
  std::string page = "<html><head><title>A long page</title></head><body>\r\n";
  page.reserve(bytes + 512);
  unsigned seed = 7;
  char block[512];
  for (int n = 0; page.size() < bytes; ++n) {
    seed = seed * 1103515245u + 12345u;
    int len = 0;
    switch (seed >> 16 & 3) {
      case 0:
        len = std::snprintf(block, sizeof block,
                            "<p class=\"text\">The lake at dawn, entry %d, with <b>friends</b> "
                            "and <i>family</i> on the shore.</p>\r\n",
                            n);
        break;
      case 1:
        len = std::snprintf(block, sizeof block,
                            "<img src=\"/icons/i%05d.gif\" width=16 height=16 alt=\"icon %d\">"
                            "<span style=\"color:#333\">note %d</span>\r\n",
                            n % 50000, n, n);
        break;
      case 2:
        len = std::snprintf(block, sizeof block, "<!-- block %d: kept for the editors -->\r\n", n);
        break;
      default:
        len = std::snprintf(block, sizeof block,
                            "<script>var row%d = \"<td>\" + %d + \"</td>\";</script>\r\n", n, n);
        break;
    }
    page.append(block, static_cast<size_t>(len));
  }
  page += "<a href=\"/last.jpg\">the end</a></body></html>\r\n";
  return page;
}

double Best(const std::vector<std::string>& args, int rounds, const std::string& mustExist) {
  double best = -1;
  for (int round = 0; round < rounds; ++round) {
    const TempDir dir;
    std::vector<std::string> run = args;
    for (auto& a : run) {
      if (a.starts_with("@")) a = dir.file(a.substr(1));
    }
    const RunOutcome o = TimedRun(run, dir);
    if (o.seconds < 0 || !std::filesystem::exists(dir.file(mustExist))) {
      std::printf("  %s: round %d failed\n", args[0].c_str(), round + 1);
      continue;
    }
    if (best < 0 || o.seconds < best) best = o.seconds;
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  const size_t mb = argc > 2 ? static_cast<size_t>(std::max(1, std::atoi(argv[2]))) : 50;
  const TempDir dir;
  const std::string root = dir.file("www");
  std::filesystem::create_directories(root);
  const std::string page = MakePage(mb * 1024 * 1024);
  WriteBytes(root + "/page.html", page);
  WriteBytes(root + "/last.jpg", "\xff\xd8\xff\xe0" + std::string(40 * 1024, 'j'));
  const int port = FreePort();
  Nginx nginx;
  const std::string servers =
      " access_log off;\n server {\n  listen 127.0.0.1:" + std::to_string(port) + ";\n  root " +
      root + ";\n }\n";
  if (!nginx.Start(dir, servers, {port})) {
    std::printf("big_page_bench: cannot start nginx\n");
    return 1;
  }
  const std::string url = "http://127.0.0.1:" + std::to_string(port) + "/page.html";
  const double size = static_cast<double>(page.size()) / kMB;
  std::printf("big_page_bench: a %.0f MB page from nginx on loopback, best of %d\n", size, rounds);

  const std::vector<std::string> harvelo = {HARVELO_CLI_PATH, "-q",  "--dest", "@dest",
                                            "--types",        "jpg", url};
  std::vector<std::string> one = harvelo;
  one.insert(one.end() - 1, {"--parallel", "1"});
  const double defaults = Best(harvelo, rounds, "dest/AAA_001.jpg");
  const double single = Best(one, rounds, "dest/AAA_001.jpg");
  const double curl = Best({"curl", "-s", "-o", "@page.html", url}, rounds, "page.html");
  auto line = [size](const char* name, double s) {
    if (s > 0) std::printf("  %-28s %7.3f s  %7.1f MB/s\n", name, s, size / s);
  };
  line("harvelo-cli (defaults)", defaults);
  line("harvelo-cli --parallel 1", single);
  line("curl (fetch only)", curl);
  if (defaults > 0 && single > 0 && curl > 0) {
    std::printf("  defaults / --parallel 1: %.2f (target: at most 1)\n", defaults / single);
    std::printf("  defaults: %.0f MB/s (target: at least 200)   defaults / curl: %.2f\n",
                size / defaults, defaults / curl);
  }
  return 0;
}
