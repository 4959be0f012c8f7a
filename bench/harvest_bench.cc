// Harvest benchmark: a loopback page linking 500 JPEGs of 60 KB, fetched by harvelo-cli
// and by wget (-q -r -l1 -nd -A jpg), each into a fresh directory, in the same run.
// Prints both wall times and the ratio Harvelo/wget for each round.
//   harvest_bench [rounds] [--server-nodelay]
// --server-nodelay sets TCP_NODELAY on the server's sockets. The server writes a
// response's headers and body separately; without it, Nagle's algorithm holds a body that
// fits in one segment until the client acknowledges the headers, which a client in
// delayed-ACK mode does only after its delayed-ACK timeout (about 40 ms on Linux).
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "image_body.h"
#include "support/loopback_server.h"
#include "support/temp_dir.h"
#include "timed_run.h"

namespace {

using harvelo::bench::ImageBody;
using harvelo::bench::TimedRun;
using harvelo::testing::ReadBytes;
using harvelo::testing::TempDir;

constexpr int kImages = 500;
constexpr size_t kImageSize = 60 * 1024;

std::string Number(int i) {
  char text[8];
  std::snprintf(text, sizeof text, "%03d", i);
  return text;
}

// How many of the 500 images are stored under name(i) with their exact bytes.
template <typename Name>
int StoredImages(const TempDir& dir, const std::vector<std::string>& bodies, Name name) {
  int ok = 0;
  for (int i = 1; i <= kImages; ++i) ok += ReadBytes(dir.file(name(i))) == bodies[i] ? 1 : 0;
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  int rounds = 3;
  bool serverNoDelay = false;
  for (int i = 1; i < argc; ++i) {
    if (std::string(argv[i]) == "--server-nodelay") {
      serverNoDelay = true;
    } else {
      rounds = std::max(1, std::atoi(argv[i]));
    }
  }
  std::vector<std::string> bodies(kImages + 1);
  std::string page = "<html><head><title>Gallery</title></head><body>\n";
  harvelo::testing::LoopbackServer site;
  for (int i = 1; i <= kImages; ++i) {
    bodies[i] = ImageBody(i, kImageSize);
    page += "<a href=\"img/" + Number(i) + ".jpg\">" + Number(i) + "</a>\n";
  }
  // One route for all images: a route each would make the server match 500 patterns
  // for every request, time that would weigh on both peers alike.
  site.server().Get(R"(/img/(\d+)\.jpg)",
                    [&bodies](const httplib::Request& req, httplib::Response& res) {
                      const int i = std::atoi(req.matches[1].str().c_str());
                      if (i < 1 || i > kImages) {
                        res.status = 404;
                        return;
                      }
                      res.set_content(bodies[i], "image/jpeg");
                    });
  page += "</body></html>\n";
  site.server().Get("/gallery.html", [&page](const httplib::Request&, httplib::Response& res) {
    res.set_content(page, "text/html");
  });
  if (serverNoDelay) {
    site.server().set_socket_options([](int sock) {
      const int one = 1;
      setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
      setsockopt(sock, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    });
  }
  if (!site.Start()) {
    std::fprintf(stderr, "cannot start the loopback server\n");
    return 1;
  }
  const std::string url = site.Url("/gallery.html");
  std::printf("harvest: %d JPEGs of %zu KB from %s%s\n", kImages, kImageSize / 1024, url.c_str(),
              serverNoDelay ? " (server TCP_NODELAY)" : "");
  std::printf("%-6s %12s %12s %16s\n", "round", "harvelo (s)", "wget (s)", "harvelo/wget");

  std::vector<double> ratios;
  bool allStored = true;
  for (int round = 1; round <= rounds; ++round) {
    // Fresh directories each round: harvelo-cli's working directory (its settings files)
    // with the destination inside, and wget's.
    const TempDir hv;
    const TempDir wg;
    const double harvelo = TimedRun({HARVELO_CLI_PATH, "--dest", hv.file("dest"), url}, hv).seconds;
    const double wget = TimedRun({"wget", "-q", "-r", "-l1", "-nd", "-A", "jpg", url}, wg).seconds;
    const int harveloStored =
        StoredImages(hv, bodies, [](int i) { return "dest/AAA_" + Number(i) + ".jpg"; });
    const int wgetStored = StoredImages(wg, bodies, [](int i) { return Number(i) + ".jpg"; });
    if (harvelo < 0 || wget < 0 || harveloStored != kImages || wgetStored != kImages) {
      std::printf("round %d: harvelo %s (%d stored), wget %s (%d stored)\n", round,
                  harvelo < 0 ? "failed" : "ok", harveloStored, wget < 0 ? "failed" : "ok",
                  wgetStored);
      allStored = false;
      continue;
    }
    ratios.push_back(harvelo / wget);
    std::printf("%-6d %12.3f %12.3f %16.2f\n", round, harvelo, wget, harvelo / wget);
  }
  if (!ratios.empty()) {
    std::sort(ratios.begin(), ratios.end());
    std::printf("median harvelo/wget: %.2f (target: at most 1.00)\n", ratios[ratios.size() / 2]);
  }
  return allStored ? 0 : 1;
}
