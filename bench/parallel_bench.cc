// Parallel transfers against the peers, in the same run, each into a fresh directory:
//  1. a loopback server that answers every request after 40 ms, as a distant site does:
//     a linked gallery (200 JPEGs of 60 KB) and a thumbnail gallery (100 thumbnails, each
//     linking a page with one 60 KB JPEG); harvelo-cli with its defaults against
//     `wget -r` and `wget2 -r` with theirs;
//  2. nginx on loopback without delay, 500 JPEGs of 60 KB over http and over https (a
//     certificate of a throw-away CA that every program is told to trust);
//  3. harvelo-cli's peak resident memory for a gallery of 5 000 images against 50;
//  4. the two galleries of 1 again through nginx speaking TLS and HTTP/2 (the bench's
//     throw-away CA passed to every program), against wget2 with HTTP/2 on, its default;
//  5. a 2 MB HTML page from nginx with gzip on: the bytes each program received.
// Prints every time (best of the rounds) and the ratio to the faster peer.
//   parallel_bench [rounds] [--skip-delay] [--skip-nginx] [--skip-memory] [--skip-http2]
//                  [--server-nodelay] [--only-http2] [--skip-wget] [--log DIR]
//                  [--harvelo-arg ARG]...
// --server-nodelay: the delayed server sets TCP_NODELAY (as nginx does).
// --only-http2: section 4 only; --skip-wget: without wget 1 (the slowest peer).
// --log DIR: section 4's nginx writes DIR/access.log, a line a request: end time,
//   connection, its request count, request time, upstream connect and response time.
// --harvelo-arg ARG (repeatable): one more argument for harvelo-cli ("--parallel", "1").
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "image_body.h"
#include "support/loopback_server.h"
#include "support/temp_dir.h"
#include "support/tls_nginx.h"
#include "timed_run.h"

namespace {

using harvelo::bench::RunOutcome;
using harvelo::bench::TimedRun;
using harvelo::testing::TempDir;
using harvelo::testing::WriteBytes;

constexpr size_t kImageSize = 60 * 1024;

std::string Number(int i) {
  char text[8];
  std::snprintf(text, sizeof text, "%04d", i);
  return text;
}

std::string ImageBody(int i, size_t size = kImageSize) {
  return harvelo::bench::ImageBody(i, size);
}

// Files below dir (recursively) of exactly `size` bytes.
int FilesOfSize(const std::string& dir, size_t size) {
  int n = 0;
  std::error_code ec;
  for (const auto& e : std::filesystem::recursive_directory_iterator(dir, ec)) {
    if (e.is_regular_file() && e.file_size() == size) ++n;
  }
  return n;
}

struct Peer {
  std::string name;
  std::vector<std::string> args;  // the address is appended
};

// Best time of `rounds` for each peer; a run that did not store `expected` images of
// kImageSize counts as failed. Prints one line per peer and the ratio line.
// Returns the faster peer's best time (-1: none finished).
double Compare(const std::string& title, const std::vector<Peer>& peers, const std::string& url,
               int expected, int rounds, double target) {
  std::printf("\n%s\n", title.c_str());
  std::vector<double> best(peers.size(), -1);
  std::vector<double> cpu(peers.size(), -1);  // of the best run
  for (int round = 0; round < rounds; ++round) {
    for (size_t p = 0; p < peers.size(); ++p) {
      const TempDir dir;
      std::vector<std::string> args = peers[p].args;
      for (auto& a : args) {
        if (a == "@DEST") a = dir.file("dest");
      }
      args.push_back(url);
      const RunOutcome o = TimedRun(args, dir);
      const int stored = FilesOfSize(dir.dir(), kImageSize);
      if (o.seconds < 0 || stored != expected) {
        std::printf("  %-8s round %d failed (%d of %d stored)\n", peers[p].name.c_str(), round + 1,
                    stored, expected);
        continue;
      }
      if (best[p] < 0 || o.seconds < best[p]) {
        best[p] = o.seconds;
        cpu[p] = o.cpuSeconds;
      }
    }
  }
  double fastestPeer = -1;
  for (size_t p = 0; p < peers.size(); ++p) {
    std::printf("  %-8s %8.3f s   (cpu %.3f s)\n", peers[p].name.c_str(), best[p], cpu[p]);
    if (p > 0 && best[p] > 0 && (fastestPeer < 0 || best[p] < fastestPeer)) fastestPeer = best[p];
  }
  if (best[0] > 0 && fastestPeer > 0) {
    std::printf("  harvelo / faster peer: %.2f (target: at most %.2f)\n", best[0] / fastestPeer,
                target);
  }
  return fastestPeer;
}

// Harvelo's transfers at once, as the bench runs it (its default unless --parallel).
int HarveloTransfers();

// No run with N transfers at once can beat `rounds` request times in a row: printed
// beside the peer, since it bounds the ratio whatever Harvelo does.
void PrintLowerBound(int rounds, double requestSeconds, double fastestPeer) {
  const double bound = rounds * requestSeconds;
  std::printf("  lower bound with %d transfers at once: %d requests in a row = %.3f s",
              HarveloTransfers(), rounds, bound);
  if (fastestPeer > 0) std::printf(" (%.2f of the faster peer)", bound / fastestPeer);
  std::printf("\n");
}

std::vector<std::string> g_harveloArgs;  // --harvelo-arg ARG: added to harvelo-cli's
bool g_wget = true;                      // --skip-wget: wget 1 (the slowest peer) not run

int HarveloTransfers() {
  int n = 6;  // harvelo-cli's default
  for (size_t i = 0; i + 1 < g_harveloArgs.size(); ++i) {
    if (g_harveloArgs[i] == "--parallel") n = std::max(1, std::atoi(g_harveloArgs[i + 1].c_str()));
  }
  return n;
}

std::vector<Peer> Peers(const std::vector<std::string>& wgetArgs,
                        const std::vector<std::string>& harveloExtra = {}) {
  std::vector<std::string> harvelo = {HARVELO_CLI_PATH, "-q", "--dest", "@DEST"};
  harvelo.insert(harvelo.end(), g_harveloArgs.begin(), g_harveloArgs.end());
  harvelo.insert(harvelo.end(), harveloExtra.begin(), harveloExtra.end());
  std::vector<std::string> wget = {"wget", "-q"};
  wget.insert(wget.end(), wgetArgs.begin(), wgetArgs.end());
  std::vector<std::string> wget2 = {"wget2", "-q"};
  wget2.insert(wget2.end(), wgetArgs.begin(), wgetArgs.end());
  if (!g_wget) return {{"harvelo", harvelo}, {"wget2", wget2}};
  return {{"harvelo", harvelo}, {"wget", wget}, {"wget2", wget2}};
}

// ---- 1. the delayed server ----

bool g_serverNoDelay = false;
bool g_http2 = true;
bool g_http1 = true;   // --only-http2: section 1's galleries skipped
std::string g_logDir;  // --log DIR: the HTTP/2 proxy's access log kept there
void Http2Galleries(int rounds, int sitePort);

void DelayedGalleries(int rounds) {
  constexpr int kLinked = 200;
  constexpr int kThumbs = 100;
  harvelo::testing::LoopbackServer site;
  // A thread for each connection (cpp-httplib holds one per keep-alive connection), and
  // as a web server keeps them: the proxy of section 4 keeps its connections open.
  site.server().new_task_queue = [] { return new httplib::ThreadPool(256); };
  site.server().set_keep_alive_max_count(1000);
  if (g_serverNoDelay) {
    site.server().set_socket_options([](int sock) {
      httplib::default_socket_options(sock);
      const int one = 1;
      setsockopt(sock, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    });
  }
  std::vector<std::string> bodies(std::max(kLinked, kThumbs) + 1);
  for (size_t i = 1; i < bodies.size(); ++i) bodies[i] = ImageBody(static_cast<int>(i));
  std::string linked = "<html><title>Linked</title><body>\n";
  for (int i = 1; i <= kLinked; ++i) linked += "<a href=\"img/" + Number(i) + ".jpg\">x</a>\n";
  std::string thumbs = "<html><title>Thumbs</title><body>\n";
  for (int i = 1; i <= kThumbs; ++i) {
    thumbs += "<a href=\"p" + Number(i) + ".html\"><img src=\"t/" + Number(i) + ".jpg\"></a>\n";
  }
  auto later = [] { std::this_thread::sleep_for(std::chrono::milliseconds(40)); };
  site.server().Get("/linked.html", [&](const httplib::Request&, httplib::Response& res) {
    later();
    res.set_content(linked, "text/html");
  });
  site.server().Get("/thumbs.html", [&](const httplib::Request&, httplib::Response& res) {
    later();
    res.set_content(thumbs, "text/html");
  });
  site.server().Get(R"(/img/(\d+)\.jpg)", [&](const httplib::Request& req, httplib::Response& res) {
    later();
    const size_t i = std::strtoul(req.matches[1].str().c_str(), nullptr, 10);
    if (i < 1 || i >= bodies.size()) {
      res.status = 404;
      return;
    }
    res.set_content(bodies[i], "image/jpeg");
  });
  site.server().Get(R"(/t/(\d+)\.jpg)", [&](const httplib::Request& req, httplib::Response& res) {
    later();
    res.set_content(
        ImageBody(static_cast<int>(std::strtoul(req.matches[1].str().c_str(), nullptr, 10)), 5000),
        "image/jpeg");
  });
  site.server().Get(R"(/p(\d+)\.html)", [&](const httplib::Request& req, httplib::Response& res) {
    later();
    res.set_content(
        "<html><title>Picture</title><img src=\"img/" + req.matches[1].str() + ".jpg\"></html>",
        "text/html");
  });
  site.server().Get("/robots.txt", [&](const httplib::Request&, httplib::Response& res) {
    later();
    res.status = 404;
  });
  if (!site.Start()) {
    std::printf("cannot start the delayed server\n");
    return;
  }
  if (!g_http1) {
    if (g_http2) Http2Galleries(rounds, site.port());
    return;
  }
  const int n = HarveloTransfers();
  auto inRounds = [n](int requests) { return (requests + n - 1) / n; };
  double peer = Compare("40 ms a request: linked gallery, 200 JPEGs of 60 KB",
                        Peers({"-r", "-l1", "-nd", "-A", "jpg"}), site.Url("/linked.html"), kLinked,
                        rounds, 0.8);
  // The page, then its links.
  PrintLowerBound(1 + inRounds(kLinked), 0.040, peer);
  peer =
      Compare("40 ms a request: thumbnail gallery, 100 thumbnails each linking a page with a JPEG",
              Peers({"-r", "-l2", "-nd"}), site.Url("/thumbs.html"), kThumbs, rounds, 0.8);
  // The page, its thumbnails, then (every thumbnail too small) the linked pages and
  // their pictures: a page is followed only once no thumbnail was stored.
  PrintLowerBound(1 + inRounds(kThumbs) + inRounds(2 * kThumbs), 0.040, peer);
  if (g_http2) Http2Galleries(rounds, site.port());
}

// ---- 2. nginx ----

using harvelo::testing::FreePort;
using harvelo::testing::MakeCertificates;
using harvelo::testing::Nginx;

// nginx serving root on http `port` and https `tlsPort`.
bool StartNginx(Nginx& nginx, const TempDir& dir, const std::string& root, int port, int tlsPort) {
  const std::string servers =
      " access_log off;\n server {\n  listen 127.0.0.1:" + std::to_string(port) +
      ";\n  listen 127.0.0.1:" + std::to_string(tlsPort) + " ssl;\n  ssl_certificate " +
      dir.file("server.pem") + ";\n  ssl_certificate_key " + dir.file("server.key") + ";\n  root " +
      root + ";\n }\n";
  return nginx.Start(dir, servers, {port, tlsPort});
}

void WriteGallery(const std::string& root, const std::string& name, int images, size_t size) {
  std::string page = "<html><title>Gallery</title><body>\n";
  std::filesystem::create_directories(root + "/img");
  for (int i = 1; i <= images; ++i) {
    page += "<a href=\"img/" + Number(i) + ".jpg\">x</a>\n";
    WriteBytes(root + "/img/" + Number(i) + ".jpg", ImageBody(i, size));
  }
  WriteBytes(root + "/" + name, page);
}

void NginxGalleries(int rounds, bool memory) {
  const TempDir dir;
  if (!MakeCertificates(dir)) {
    std::printf("\nnginx: cannot make the certificates (openssl), skipped\n");
    return;
  }
  const std::string root = dir.file("www");
  WriteGallery(root, "gallery.html", 500, kImageSize);
  const int port = FreePort();
  const int tlsPort = FreePort();
  Nginx nginx;
  if (!StartNginx(nginx, dir, root, port, tlsPort)) {
    std::printf("\nnginx: cannot start it, skipped\n");
    return;
  }
  const std::string ca = dir.file("ca.pem");
  const std::vector<std::string> wgetArgs = {"-r", "-l1", "-nd", "-A", "jpg", "--ca-certificate",
                                             ca};
  Compare("nginx on loopback, http: 500 JPEGs of 60 KB", Peers(wgetArgs),
          "http://127.0.0.1:" + std::to_string(port) + "/gallery.html", 500, rounds, 1.0);
  Compare("nginx on loopback, https: 500 JPEGs of 60 KB", Peers(wgetArgs, {"--ca-certificate", ca}),
          "https://127.0.0.1:" + std::to_string(tlsPort) + "/gallery.html", 500, rounds, 1.0);
  if (!memory) return;

  // ---- 3. memory ----
  constexpr size_t kSmallImage = 21 * 1024;  // above the default 20 KB minimum
  WriteGallery(root + "/m50", "gallery.html", 50, kSmallImage);
  WriteGallery(root + "/m5000", "gallery.html", 5000, kSmallImage);
  std::printf("\npeak resident memory of harvelo-cli (defaults), nginx http\n");
  long rss[2] = {0, 0};
  const int counts[2] = {50, 5000};
  for (int k = 0; k < 2; ++k) {
    const TempDir out;
    const std::string url = "http://127.0.0.1:" + std::to_string(port) + "/m" +
                            std::to_string(counts[k]) + "/gallery.html";
    // The peak that wait4 tells for a child spawned from here starts at this process's
    // own (the child shares its memory until the exec): GNU time, itself small, runs
    // harvelo-cli as its own child and tells that one's peak alone.
    const bool timeTool = ::access("/usr/bin/time", X_OK) == 0;
    std::vector<std::string> args = {HARVELO_CLI_PATH, "-q", "--dest", out.file("dest"), url};
    if (timeTool) args.insert(args.begin(), {"/usr/bin/time", "-f", "%M", "-o", out.file("rss")});
    RunOutcome o = TimedRun(args, out);
    if (timeTool) {
      o.maxRssKb = 0;
      if (std::FILE* f = std::fopen(out.file("rss").c_str(), "r")) {
        if (std::fscanf(f, "%ld", &o.maxRssKb) != 1) o.maxRssKb = 0;
        std::fclose(f);
      }
    }
    const int stored = FilesOfSize(out.dir(), kSmallImage);
    rss[k] = o.maxRssKb;
    std::printf("  %4d images: %6.2f s, %d stored, max RSS %ld KB\n", counts[k], o.seconds, stored,
                o.maxRssKb);
  }
  std::printf("  5000 - 50: %+.1f MB (target: at most +10 MB)\n",
              static_cast<double>(rss[1] - rss[0]) / 1024.0);
}

// ---- 4. HTTP/2: nginx with TLS and http2 in front of the delayed server ----

void Http2Galleries(int rounds, int sitePort) {
  const TempDir dir;
  if (!MakeCertificates(dir)) {
    std::printf("\nHTTP/2: cannot make the certificates (openssl), skipped\n");
    return;
  }
  const int tlsPort = FreePort();
  const std::string log =
      g_logDir.empty() ? std::string(" access_log off;\n")
                       : " log_format timing '$msec $connection $connection_requests $request_time "
                         "$upstream_connect_time $upstream_response_time $request';\n access_log " +
                             g_logDir + "/access.log timing;\n";
  // The proxy keeps its connections to the delayed server open (HTTP/1.1), as in front of
  // a local application: otherwise each request opens one and the bench measures that.
  const std::string upstream =
      " upstream backend {\n  server 127.0.0.1:" + std::to_string(sitePort) +
      ";\n  keepalive 64;\n }\n";
  const std::string servers =
      log + upstream + " server {\n  listen 127.0.0.1:" + std::to_string(tlsPort) +
      " ssl http2;\n  ssl_certificate " + dir.file("server.pem") + ";\n  ssl_certificate_key " +
      dir.file("server.key") +
      ";\n  location / {\n   proxy_pass http://backend;\n   proxy_http_version 1.1;\n"
      "   proxy_set_header Connection \"\";\n  }\n }\n";
  Nginx nginx;
  if (!nginx.Start(dir, servers, {tlsPort})) {
    std::printf("\nHTTP/2: cannot start nginx, skipped\n");
    return;
  }
  const std::string ca = dir.file("ca.pem");
  const std::string site = "https://127.0.0.1:" + std::to_string(tlsPort);
  Compare(
      "40 ms a request, https + HTTP/2: linked gallery, 200 JPEGs of 60 KB",
      Peers({"-r", "-l1", "-nd", "-A", "jpg", "--ca-certificate", ca}, {"--ca-certificate", ca}),
      site + "/linked.html", 200, rounds, 0.6);
  Compare("40 ms a request, https + HTTP/2: thumbnail gallery",
          Peers({"-r", "-l2", "-nd", "--ca-certificate", ca}, {"--ca-certificate", ca}),
          site + "/thumbs.html", 100, rounds, 0.6);
}

// ---- 5. a 2 MB HTML page from a compressing server (nginx gzip), bytes received ----

void CompressedPage() {
  const TempDir dir;
  if (!MakeCertificates(dir)) return;
  std::string html = "<html><title>Long page</title><body>\n";
  for (int i = 0; html.size() < 2 * 1024 * 1024; ++i) {
    html += "<div class=\"entry\"><a href=\"/articles/" + std::to_string(i * 7919 % 100000) +
            ".html\">Article " + std::to_string(i) + "</a> <span>posted " +
            std::to_string(1 + i % 28) + "." + std::to_string(1 + i % 12) + ".2024 by " +
            std::string(1, static_cast<char>('a' + i % 26)) + "uthor</span></div>\n";
  }
  html += "</body></html>\n";
  std::filesystem::create_directories(dir.file("www"));
  WriteBytes(dir.file("www/long.html"), html);
  const int tlsPort = FreePort();
  const std::string servers =
      " log_format sent '$bytes_sent';\n gzip on;\n server {\n  listen 127.0.0.1:" +
      std::to_string(tlsPort) + " ssl http2;\n  ssl_certificate " + dir.file("server.pem") +
      ";\n  ssl_certificate_key " + dir.file("server.key") + ";\n  access_log " +
      dir.file("sent.log") + " sent;\n  root " + dir.file("www") + ";\n }\n";
  Nginx nginx;
  if (!nginx.Start(dir, servers, {tlsPort})) {
    std::printf("\ncompressed page: cannot start nginx, skipped\n");
    return;
  }
  const std::string ca = dir.file("ca.pem");
  const std::string url = "https://127.0.0.1:" + std::to_string(tlsPort) + "/long.html";
  std::printf("\n2 MB HTML page (%zu bytes) from nginx with gzip, https: bytes received\n",
              html.size());
  const std::vector<Peer> peers = {
      {"harvelo", {HARVELO_CLI_PATH, "-q", "--dest", "@DEST", "--ca-certificate", ca}},
      {"wget", {"wget", "-q", "--ca-certificate", ca}},
      {"wget2", {"wget2", "-q", "--ca-certificate", ca}}};
  long long received[3] = {0, 0, 0};
  for (size_t p = 0; p < peers.size(); ++p) {
    std::filesystem::resize_file(dir.file("sent.log"), 0);
    const TempDir out;
    std::vector<std::string> args = peers[p].args;
    for (auto& a : args) {
      if (a == "@DEST") a = out.file("dest");
    }
    args.push_back(url);
    TimedRun(args, out);  // harvelo-cli ends 1: the page holds no picture
    std::FILE* log = std::fopen(dir.file("sent.log").c_str(), "r");
    for (long long n = 0; log != nullptr && std::fscanf(log, "%lld", &n) == 1;) received[p] += n;
    if (log != nullptr) std::fclose(log);
    std::printf("  %-8s %10lld bytes\n", peers[p].name.c_str(), received[p]);
  }
  if (received[2] > 0) {
    std::printf("  harvelo / wget2: %.2f (target: at most 1.10)\n",
                static_cast<double>(received[0]) / static_cast<double>(received[2]));
  }
}

}  // namespace

int main(int argc, char** argv) {
  int rounds = 3;
  bool delay = true, nginx = true, memory = true;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--skip-delay") {
      delay = false;
    } else if (a == "--skip-nginx") {
      nginx = false;
    } else if (a == "--harvelo-arg" && i + 1 < argc) {
      g_harveloArgs.push_back(argv[++i]);
    } else if (a == "--server-nodelay") {
      g_serverNoDelay = true;
    } else if (a == "--skip-http2") {
      g_http2 = false;
    } else if (a == "--skip-wget") {
      g_wget = false;
    } else if (a == "--only-http2") {
      g_http1 = false;
      nginx = false;
      memory = false;
    } else if (a == "--log" && i + 1 < argc) {
      g_logDir = argv[++i];
    } else if (a == "--skip-memory") {
      memory = false;
    } else {
      rounds = std::max(1, std::atoi(argv[i]));
    }
  }
  std::printf("parallel_bench: best of %d round(s); harvelo-cli with its defaults\n", rounds);
  if (delay) DelayedGalleries(rounds);
  if (nginx || memory) NginxGalleries(rounds, memory);
  if (nginx) CompressedPage();
  return 0;
}
