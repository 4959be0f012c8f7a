// Runs with several transfers at once against runs with one: the same files under the
// same names, the same log rows, web-address log and window calls, the same Referer and
// cookies on every request; at most N connections; Stop and leftovers.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <sys/resource.h>
#include <algorithm>
#include <atomic>
#include <chrono>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <mutex>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "engine/control_ids.h"
#include "engine/engine.h"
#include "http/cookie_store.h"
#include "platform/thread_locale.h"
#include "support/file_size_limit.h"
#include "support/loopback_server.h"
#include "support/raw_http_server.h"
#include "support/recording_window.h"
#include "support/temp_dir.h"

namespace harvelo::testing {
namespace {

using Request = std::tuple<std::string, std::string, std::string>;  // path, Referer, Cookie

// Connections to `port` that the client side holds open now (the run and the site live
// in this one process). /proc/net/tcp is read in pieces while sockets come and go, so a
// socket closed during the read and its successor could both be seen there: only those
// still among the process's open files afterwards count. Each of them was then open at
// the end of the read, all at once.
int EstablishedConnections(int port) {
  std::set<std::string> inodes;
  {
    std::ifstream tcp("/proc/net/tcp");
    std::string line;
    std::getline(tcp, line);
    char wanted[8];
    std::snprintf(wanted, sizeof wanted, "%04X", port);
    while (std::getline(tcp, line)) {
      std::istringstream fields(line);
      std::string slot, local, remote, state, queues, timer, retransmits, uid, timeout, inode;
      fields >> slot >> local >> remote >> state >> queues >> timer >> retransmits >> uid >>
          timeout >> inode;
      if (state == "01" && remote.size() > 5 && remote.substr(remote.size() - 4) == wanted) {
        inodes.insert(inode);
      }
    }
  }
  int count = 0;
  std::error_code ec;
  for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd", ec)) {
    const std::string target = std::filesystem::read_symlink(fd.path(), ec).string();
    if (target.starts_with("socket:[") && target.ends_with("]") &&
        inodes.contains(target.substr(8, target.size() - 9))) {
      ++count;
    }
  }
  return count;
}

// A body that tells which cookies the request carried: a response sent to a request
// with other cookies than the run's own would store other bytes.
std::string CookieBody(const std::string& cookie, char fill) {
  std::string body = "cookie=[" + cookie + "]";
  body.resize(3000, fill);
  return body;
}

// The web site of the harvests: every response a little late, so that transfers overlap;
// it records every request and the most connections and requests it had at once.
class Site {
 public:
  Site() {
    auto& s = server_.server();
    s.Get(R"(/(.*))",
          [this](const httplib::Request& req, httplib::Response& res) { Handle(req, res); });
    // A port where nothing listens: bound, never listening, closed.
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    refused_port_ = ntohs(address.sin_port);
    ::close(fd);
  }

  // The server's threads stop before what they record goes.
  ~Site() { server_.Stop(); }

  bool Start() { return server_.Start(); }
  std::string Url(const std::string& path) const { return server_.Url(path); }
  std::string RefusedUrl(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(refused_port_) + path;
  }

  void Page(const std::string& path, const std::string& html) { pages_[path] = html; }
  // Answers `path` with a body of `bytes` of that Content-Type.
  void Typed(const std::string& path, const std::string& type, size_t bytes = 3000) {
    typed_[path] = {type, bytes};
  }
  void Reset() {
    std::lock_guard<std::mutex> lock(mutex_);
    requests_.clear();
    once_served_.clear();
    max_active_ = 0;
    max_active_big_ = 0;
    max_connections_ = 0;
    ports_.clear();
  }
  std::set<Request> Requests() {
    std::lock_guard<std::mutex> lock(mutex_);
    return {requests_.begin(), requests_.end()};
  }
  std::map<std::string, int> Asked() {
    std::lock_guard<std::mutex> lock(mutex_);
    std::map<std::string, int> asked;
    for (const Request& r : requests_) ++asked[std::get<0>(r)];
    return asked;
  }
  int MaxActive() const { return max_active_; }
  // Connections that brought requests.
  size_t ConnectionsUsed() {
    std::lock_guard<std::mutex> lock(mutex_);
    return ports_.size();
  }
  // Most requests for the pictures of the thumbnails' pages ("/big...") at once.
  int MaxActiveBig() const { return max_active_big_; }
  int MaxConnections() const { return max_connections_; }

 private:
  void Handle(const httplib::Request& req, httplib::Response& res) {
    const int active = ++active_;
    const bool big = req.path.starts_with("/big");
    const int activeBig = big ? ++active_big_ : 0;
    const int connections = EstablishedConnections(server_.port());
    {
      std::lock_guard<std::mutex> lock(mutex_);
      requests_.emplace_back(req.path, req.get_header_value("Referer"),
                             req.get_header_value("Cookie"));
      max_active_ = std::max(max_active_, active);
      max_active_big_ = std::max(max_active_big_, activeBig);
      ports_.insert(req.remote_port);
      max_connections_ = std::max(max_connections_, connections);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(15));
    const std::string& path = req.path;
    const std::string cookie = req.get_header_value("Cookie");
    if (auto page = pages_.find(path); page != pages_.end()) {
      // The cookie page sets a session cookie with its source.
      if (path == "/ck.html") res.set_header("Set-Cookie", "sid=s1; Path=/");
      res.set_content(page->second, "text/html");
    } else if (path.starts_with("/small")) {
      res.set_content(std::string(100, 's'), "image/jpeg");
    } else if (path.starts_with("/ck") || path.starts_with("/late")) {
      // The third late image sets a cookie that every later request must carry.
      if (path == "/late3.jpg") res.set_header("Set-Cookie", "late=1; Path=/");
      res.set_content(CookieBody(cookie, path[path.size() - 5]), "image/jpeg");
    } else if (path.starts_with("/once") || path.starts_with("/quiet")) {
      // A single-use link ("/once" sets a cookie, "/quiet" none): asked again, it
      // answers with other bytes.
      if (path.starts_with("/once")) {
        res.set_header("Set-Cookie", "last=" + path.substr(5, path.size() - 9) + "; Path=/");
      }
      bool again = false;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        again = !once_served_.insert(path).second;
      }
      std::string body = (again ? "again " : "") + path + " cookie=[" + cookie + "]";
      body.resize(3000, again ? '!' : path[path.size() - 5]);
      res.set_content(body, "image/jpeg");
    } else if (path.starts_with("/moved")) {
      res.set_redirect("/m" + path.substr(6), 302);
    } else if (path.starts_with("/missing")) {
      res.status = 404;
      res.set_content("not here", "text/html");
    } else if (path.starts_with("/huge")) {
      // "/huge<bytes>.jpg": a body of that many bytes, no two alike.
      std::string body(std::strtoul(path.c_str() + 5, nullptr, 10), '\0');
      for (size_t i = 0; i < body.size(); ++i) body[i] = static_cast<char>('a' + (i * 7) % 23);
      body.replace(0, path.size(), path);
      res.set_content(body, "image/jpeg");
    } else if (auto typed = typed_.find(path); typed != typed_.end()) {
      std::string body = path;
      body.resize(typed->second.second, path.back());
      res.set_content(body, typed->second.first);
    } else if (path.ends_with(".jpg")) {
      std::string body = path;
      body.resize(3000 + path.size() * 7, path[1]);
      res.set_content(body, "image/jpeg");
    } else {
      res.status = 404;
    }
    if (big) --active_big_;
    --active_;
  }

  LoopbackServer server_;
  std::map<std::string, std::string> pages_;
  std::map<std::string, std::pair<std::string, size_t>> typed_;  // path -> type, size
  int refused_port_ = 0;
  std::mutex mutex_;
  std::vector<Request> requests_;
  std::set<std::string> once_served_;
  std::atomic<int> active_{0};
  std::atomic<int> active_big_{0};
  int max_active_ = 0;
  int max_active_big_ = 0;
  std::set<int> ports_;  // the client's ends of the connections
  int max_connections_ = 0;
};

// Every run starts with the process's cookie store as a new process has it.
void ForgetServerCookies() {
  CURL* easy = curl_easy_init();
  curl_easy_setopt(easy, CURLOPT_SHARE, SharedCookieStore());
  curl_easy_setopt(easy, CURLOPT_COOKIEFILE, "");
  curl_easy_setopt(easy, CURLOPT_COOKIELIST, "ALL");
  curl_easy_cleanup(easy);
}

// What a run leaves: files, log, web-address log and window calls, with the destination
// directory's path taken out.
struct Harvest {
  std::map<std::string, std::string> files;
  std::vector<std::string> rows;
  std::vector<std::string> calls;
  std::set<Request> requests;
  std::map<std::string, int> asked;  // how many requests each path had
  int maxActive = 0;
  int maxConnections = 0;
};

std::string Unplace(std::string text, const std::string& dir) {
  for (size_t pos = text.find(dir); pos != std::string::npos; pos = text.find(dir, pos)) {
    text.replace(pos, dir.size(), "<dest>/");
  }
  return text;
}

// The file bar's position between 0 and 100 follows the sizes of the reads, which are
// the network's: only its start and end are the run's.
std::vector<std::string> RunCalls(const RecordingWindow& window, const std::string& dir) {
  std::vector<std::string> calls;
  const std::string fileBar = "pos " + std::to_string(IDC_FILE_PROGRESS) + " ";
  for (const std::string& call : window.calls) {
    if (call.starts_with(fileBar)) {
      const int pos = std::stoi(call.substr(fileBar.size()));
      if (pos > 0 && pos < 100) continue;
    }
    const std::string line = Unplace(call, dir);
    if (!calls.empty() && calls.back() == line && line.starts_with(fileBar)) continue;
    calls.push_back(line);
  }
  return calls;
}

struct Entry {
  Entry(std::string a, std::string c = "", std::string r = "")
      : address(std::move(a)), cookie(std::move(c)), referrer(std::move(r)) {}
  std::string address;
  std::string cookie;
  std::string referrer;
};

// The cookies of a Cookie header, each "name=value".
std::set<std::string> CookieSet(const std::string& header) {
  std::set<std::string> cookies;
  std::istringstream in(header);
  for (std::string item; std::getline(in, item, ';');) {
    item.erase(0, item.find_first_not_of(' '));
    if (!item.empty()) cookies.insert(item);
  }
  return cookies;
}

// Where two call lists part, with the calls around it (gtest prints only their start).
std::string FirstDifference(const std::vector<std::string>& a, const std::vector<std::string>& b) {
  size_t i = 0;
  while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
  std::string text = "first difference at call " + std::to_string(i) + ":";
  for (size_t k = i >= 3 ? i - 3 : 0; k < i + 4; ++k) {
    text += "\n  " + (k < a.size() ? a[k] : "-") + "   <->   " + (k < b.size() ? b[k] : "-");
  }
  return text;
}

class ParallelRunTest : public ::testing::Test {
 protected:
  ParallelRunTest() { SetThreadLocale(kLocaleEnglish); }

  void SetUp() override {
    site.Page("/gal.html",
              "<html><title>Linked  gallery</title><body>"
              "<a href=\"a1.jpg\">1</a><a href=\"a2.jpg\">2</a><a href=\"small1.jpg\">s</a>"
              "<a href=\"missing1.jpg\">m</a><a href=\"a3.jpg\">3</a>"
              "<a href=\"" +
                  site.RefusedUrl("/r.jpg") +
                  "\">r</a><a href=\"a4.jpg\">4</a><a href=\"small2.jpg\">s</a>"
                  "<a href=\"a5.jpg\">5</a><a href=\"a6.jpg\">6</a><a href=\"a7.jpg\">7</a>"
                  "</body></html>");
    site.Page("/emb.html",
              "<title>Embedded</title><img src=\"e1.jpg\"><img src=\"small3.jpg\">"
              "<img src=\"e2.jpg\"><img src=\"missing2.jpg\"><img src=\"e3.jpg\">");
    std::string thumbs = "<title>Thumbs</title>";
    for (int i = 1; i <= 6; ++i) {
      const std::string n = std::to_string(i);
      thumbs += "<a href=\"p" + n + ".html\"><img src=\"small_t" + n + ".jpg\"></a>";
      site.Page("/p" + n + ".html", "<title>Picture " + n + "</title><img src=\"big" + n +
                                        ".jpg\"><a href=\"q" + n + ".html\"><img src=\"small_u" +
                                        n + ".jpg\"></a>");
    }
    site.Page("/thumbs.html", thumbs);
    site.Page("/frames.html",
              "<frameset><frame src=\"gal2.html\"><frame src=\"emb.html\"></frameset>");
    site.Page("/gal2.html", "<a href=\"g1.jpg\">1</a><a href=\"g2.jpg\">2</a>");
    site.Page("/ck.html",
              "<a href=\"ck1.jpg\">1</a><a href=\"ck2.jpg\">2</a>"
              "<a href=\"ck3.jpg\">3</a>");
    std::string late;
    for (int i = 1; i <= 9; ++i) late += "<a href=\"late" + std::to_string(i) + ".jpg\">x</a>";
    site.Page("/late.html", late);
    // One picture three times, and again on the next page.
    site.Page("/thrice.html",
              "<img src=\"t1.jpg\"><img src=\"t2.jpg\"><img src=\"t1.jpg\"><img src=\"t3.jpg\">"
              "<img src=\"./t1.jpg\"><img src=\"t4.jpg\"><img src=\"t5.jpg\">");
    site.Page("/again.html", "<a href=\"t6.jpg\"><a href=\"t1.jpg\"><a href=\"t7.jpg\">");
    site.Page("/empty.html", "<title>Nothing</title><p>no pictures</p>");
    std::string smalls;
    for (int i = 1; i <= 12; ++i) smalls += "<a href=\"small" + std::to_string(i) + ".jpg\">s</a>";
    site.Page("/smalls.html", smalls);
    // Bodies larger than the small ones held whole in memory, and one larger still.
    site.Page("/huge.html",
              "<a href=\"huge90000.jpg\">1</a><a href=\"a1.jpg\">2</a>"
              "<a href=\"huge700000.jpg\">3</a><a href=\"huge200000.jpg\">4</a>"
              "<a href=\"a2.jpg\">5</a>");
    // An image service's pictures, typed by their responses only; between them a page,
    // a large and a small body of no picture type, a missing one and one too small.
    site.Page("/cdn.html",
              "<img src=\"/photo-15?w=1600&q=80\"><img src=\"/seed/12/800/600\">"
              "<img src=\"/render.php?id=4\"><img data-src=\"/blob/7\">"
              "<img srcset=\"/seed/13/400 1x, /seed/13/800 2x\"><img src=\"/missing-9\">"
              "<img src=\"/tiny/1\"><picture><source srcset=\"/photo-16 2x\">"
              "<img src=\"/photo-16s\"></picture><img src=\"/bin/3\">");
    site.Typed("/photo-15", "image/jpeg");
    site.Typed("/seed/12/800/600", "image/webp");
    site.Typed("/render.php", "text/html", 200000);
    site.Typed("/blob/7", "application/octet-stream");
    site.Typed("/seed/13/800", "image/png; charset=binary");
    site.Typed("/tiny/1", "image/jpeg", 100);
    site.Typed("/photo-16", "image/jpeg");
    site.Typed("/bin/3", "application/octet-stream", 900000);
    ASSERT_TRUE(site.Start());
  }

  // One run of `entries` with `transfers` at a time, in a fresh destination where
  // `existing` files are put first. `onPump` plays the user during the run.
  Harvest Run(int transfers, const std::vector<Entry>& entries,
              const std::map<std::string, std::string>& existing = {},
              std::function<void(Engine&, RecordingWindow&)> onPump = nullptr,
              std::deque<MessageAnswer> answers = {}, bool namedFiles = false) {
    TempDir dest;
    TempDir config;
    for (const auto& [name, bytes] : existing) WriteBytes(dest.file(name), bytes);
    RecordingWindow window;
    window.answers = std::move(answers);
    Settings settings;
    settings.minimumSizeKb = 1;
    settings.parallelTransfers = transfers;
    settings.targetTypes = ",JPG,JPEG,PNG,WEBP";
    Engine engine(window, settings);
    engine.settingsDir = config.dir();
    engine.namedAheadFiles = namedFiles;
    window.controls[IDC_DESTINATION_DIR] = dest.dir();
    window.controls[IDC_FILE_PREFIX] = "AAA_";
    window.controls[IDC_AUTO_INCREMENT] = "1";
    if (onPump) window.onPump = [&](int) { onPump(engine, window); };
    site.Reset();
    ForgetServerCookies();
    EXPECT_EQ(engine.Check_Destination(), 1);
    for (const Entry& e : entries) {
      engine.URL_List.PushBack(e.address.c_str(), PageEntry,
                               e.cookie.empty() ? nullptr : e.cookie.c_str(),
                               e.referrer.empty() ? nullptr : e.referrer.c_str());
    }
    engine.Process_URL_List();

    Harvest h;
    std::string dir = dest.dir();
    dir.pop_back();
    for (const auto& file : std::filesystem::directory_iterator(dest.dir())) {
      const std::string name = file.path().filename().string();
      h.files[name] = file.is_regular_file() ? Unplace(ReadBytes(file.path().string()), dir + "/")
                                             : "<directory>";
    }
    for (const auto& row : window.rows) {
      h.rows.push_back(row.status + " | " + Unplace(row.filePath, dir + "/") + " | " + row.address);
    }
    h.calls = RunCalls(window, dir + "/");
    h.requests = site.Requests();
    h.asked = site.Asked();
    h.maxActive = site.MaxActive();
    h.maxConnections = site.MaxConnections();
    return h;
  }

  // The same harvest with 1, 2 and 6 transfers: everything the user sees and keeps is
  // the same, and so is every request's Referer and cookies.
  // `named`: the bodies fetched ahead wait in named partial files, as where the file
  // system has no files without a name.
  // `ahead`: the site lets requests go out ahead at all (one whose every response sets
  // a cookie doesn't).
  void ExpectSameHarvests(const std::vector<Entry>& entries,
                          const std::map<std::string, std::string>& existing = {},
                          bool named = false, bool ahead = true) {
    const Harvest one = Run(1, entries, existing);
    ASSERT_FALSE(one.rows.empty());
    for (const int n : {2, 6}) {
      SCOPED_TRACE("transfers " + std::to_string(n));
      const Harvest many = Run(n, entries, existing, nullptr, {}, named);
      EXPECT_EQ(many.files, one.files);
      EXPECT_EQ(many.rows, one.rows);
      EXPECT_EQ(many.calls, one.calls) << FirstDifference(many.calls, one.calls);
      EXPECT_EQ(many.requests, one.requests);
      EXPECT_EQ(many.asked, one.asked) << "a request was sent more often than the run sends it";
      EXPECT_LE(many.maxConnections, n);
      if (ahead) {
        EXPECT_GE(many.maxConnections, 2) << "the count of connections sees none at once";
        EXPECT_GE(many.maxActive, 2) << "nothing was fetched ahead";
      }
      EXPECT_LE(many.maxActive, n);
    }
  }

  Site site;
};

TEST_F(ParallelRunTest, LinkedGalleryWithFailuresInTheMiddleIsTheSameHarvest) {
  // A 404, a refused connection and two small files among the links.
  ExpectSameHarvests({{site.Url("/gal.html")}});
}

TEST_F(ParallelRunTest, EmbeddedImagesAndCollisionsAreTheSameHarvest) {
  // Taken names move the next ones to _02; an empty file counts as free.
  const std::map<std::string, std::string> taken = {
      {"AAA_001.jpg", "taken"}, {"AAA_002.jpg", ""}, {"AAA_003.jpg", "taken"}};
  ExpectSameHarvests({{site.Url("/emb.html")}}, taken);
  ExpectSameHarvests({{site.Url("/emb.html")}}, taken, true);
  for (const auto& [n, named] : {std::pair{1, false}, {6, false}, {6, true}}) {
    SCOPED_TRACE(n + named);
    const Harvest h = Run(n, {{site.Url("/emb.html")}}, taken, nullptr, {}, named);
    EXPECT_NE(h.files.at("AAA_002.jpg"), "");  // the empty file was taken over
    EXPECT_EQ(h.files.count("AAA_002_02.jpg"), 0u);
    EXPECT_EQ(h.files.at("AAA_001.jpg"), "taken");
  }
}

TEST_F(ParallelRunTest, LargeBodiesAreStoredWhole) {
  ExpectSameHarvests({{site.Url("/huge.html")}});
  ExpectSameHarvests({{site.Url("/huge.html")}}, {}, true);
}

TEST_F(ParallelRunTest, ABodyThatCannotBeWrittenFailsAsInTheSequentialRun) {
  const FileSizeLimit limit(150000);
  ExpectSameHarvests({{site.Url("/huge.html")}});
  ExpectSameHarvests({{site.Url("/huge.html")}}, {}, true);
}

// A server that misbehaves in every way a response can: each failure is judged the
// same whichever path fetched it, and the pictures around it keep their numbers.
TEST_F(ParallelRunTest, AMisbehavingServerGivesTheSameHarvest) {
  auto head = [](const std::string& status, const std::string& more = "") {
    return "HTTP/1.1 " + status + "\r\nContent-Type: image/jpeg\r\n" + more;
  };
  auto body = [](char fill, size_t size) { return std::string(size, fill); };
  const std::map<std::string, std::string> answers = {
      {"/cut_head.jpg", head("200 OK", "Content-Len")},
      {"/short_body.jpg", head("200 OK", "Content-Length: 5000\r\n\r\n") + body('s', 2000)},
      {"/chunk_cut.jpg",
       head("200 OK", "Transfer-Encoding: chunked\r\n\r\n800\r\n") + body('c', 2048) + "\r\n"},
      {"/status_999.jpg", head("999 Odd", "Content-Length: 3000\r\n\r\n") + body('9', 3000)},
      {"/status_500.jpg", head("500 Oops", "Content-Length: 3000\r\n\r\n") + body('5', 3000)},
      {"/big_head.jpg",
       head("200 OK", "X-Pad: " + body('p', 70000) + "\r\nContent-Length: 3000\r\n\r\n") +
           body('b', 3000)},
      {"/gzip.jpg",
       head("200 OK", "Content-Encoding: gzip\r\nContent-Length: 3000\r\n\r\n") + body('g', 3000)},
      {"/http09.jpg", "just bytes, no status line\n" + body('h', 3000)},
      {"/reset.jpg", head("200 OK", "Content-Length: 5000\r\n\r\n") + body('r', 2000)},
      {"/to_file.jpg", "HTTP/1.1 302 Found\r\nLocation: file:///etc/hostname\r\n\r\n"},
      {"/to_ftp.jpg", "HTTP/1.1 302 Found\r\nLocation: ftp://127.0.0.1/a.jpg\r\n\r\n"},
      {"/loop.jpg", "HTTP/1.1 302 Found\r\nLocation: /loop.jpg\r\nContent-Length: 0\r\n\r\n"},
  };
  RawHttpServer* server = nullptr;
  RawHttpServer bad([&](const std::string& request, const RawHttpServer::Send& send) {
    const size_t start = request.find(' ') + 1;
    const std::string path = request.substr(start, request.find(' ', start) - start);
    if (auto answer = answers.find(path); answer != answers.end()) send(answer->second);
    if (path == "/reset.jpg") server->ResetConnection();
  });
  server = &bad;
  ASSERT_TRUE(bad.Start());
  std::string page = "<title>Bad server</title>";
  int good = 0;
  for (const auto& [path, answer] : answers) {
    page += "<a href=\"a" + std::to_string(++good) + ".jpg\">g</a>";
    page += "<a href=\"" + bad.Url(path) + "\">b</a>";
  }
  site.Page("/bad.html", page);
  ExpectSameHarvests({{site.Url("/bad.html")}});
}

// A picture reached through a redirect is judged by the final response's head; the
// pictures of two hosts (two names of one server here) share the N transfers.
TEST_F(ParallelRunTest, RedirectsAndTwoHostsAreTheSameHarvest) {
  const std::string otherHost = site.Url("/").replace(7, 9, "localhost");
  std::string page = "<a href=\"a1.jpg\">1</a><a href=\"moved1.jpg\">m</a>";
  for (int i = 2; i <= 9; ++i) {
    const std::string name = "a" + std::to_string(i) + ".jpg";
    page += "<a href=\"" + (i % 2 == 0 ? otherHost + name : name) + "\">x</a>";
  }
  site.Page("/hosts.html", page);
  ExpectSameHarvests({{site.Url("/hosts.html")}});
  const Harvest h = Run(3, {{site.Url("/hosts.html")}});
  EXPECT_EQ(h.files.at("AAA_002.jpg").substr(0, 7), "/m1.jpg");
  EXPECT_LE(h.maxActive, 3);
}

// Single-use links whose responses set cookies: every request goes out once, with the
// cookies the run has when it reaches it, however many transfers there are.
TEST_F(ParallelRunTest, SingleUseLinksThatSetCookiesAreEachAskedOnce) {
  std::string page;
  for (int i = 1; i <= 12; ++i) page += "<a href=\"once" + std::to_string(i) + ".jpg\">o</a>";
  site.Page("/once.html", page);
  ExpectSameHarvests({{site.Url("/once.html")}}, {}, false, false);
  // Only the first sets a cookie: the others wait for its answer and go with its cookie.
  site.Page("/once_first.html",
            "<a href=\"once1.jpg\">o</a><a href=\"a1.jpg\">1</a>"
            "<a href=\"a2.jpg\">2</a><a href=\"a3.jpg\">3</a>"
            "<a href=\"a4.jpg\">4</a><a href=\"a5.jpg\">5</a>");
  ExpectSameHarvests({{site.Url("/once_first.html")}}, {}, false, false);
}

// Galleries of single-use links whose responses set cookies (the first only, every one,
// or two late in the gallery), with and without cookies of the page: whatever N, every
// picture is asked for once, and the harvest is the one of one transfer at a time.
// A resource that sets a cookie late, after others that set none, can't be foreseen:
// the requests after it already under way went out without its cookie, as a browser's
// do, and are not sent again; those after them wait for the heads before them.
TEST_F(ParallelRunTest, NoRequestIsSentTwiceWhenResponsesSetCookies) {
  const struct {
    const char* name;
    std::vector<std::string> links;
    size_t late;  // the first link that sets a cookie after others that set none (and a
                  // second, of another name, is under way with it)
  } galleries[] = {
      {"first", {"once1", "quiet2", "quiet3", "quiet4", "quiet5", "quiet6", "quiet7", "quiet8"}, 0},
      {"every", {"once1", "once2", "once3", "once4", "once5", "once6", "once7", "once8"}, 0},
      {"late",
       {"quiet1",  "quiet2",  "quiet3",  "quiet4",  "once5",   "quiet6",  "late3",   "quiet8",
        "quiet9",  "quiet10", "quiet11", "quiet12", "quiet13", "quiet14", "quiet15", "quiet16",
        "quiet17", "quiet18", "quiet19", "quiet20", "quiet21", "quiet22", "quiet23", "quiet24"},
       4},
  };
  for (const auto& gallery : galleries) {
    std::string page;
    for (const std::string& link : gallery.links) page += "<a href=\"" + link + ".jpg\">x</a>";
    site.Page(std::string("/g_") + gallery.name + ".html", page);
    for (const std::string pageCookies : {"", "pc=7; theme=dark"}) {
      const std::vector<Entry> entries = {
          {site.Url(std::string("/g_") + gallery.name + ".html"), pageCookies}};
      const Harvest one = Run(1, entries);
      for (const int n : {1, 6}) {
        SCOPED_TRACE(std::string(gallery.name) + ", page cookies [" + pageCookies +
                     "], transfers " + std::to_string(n));
        const Harvest h = n == 1 ? one : Run(n, entries);
        std::string twice;
        for (const std::string& link : gallery.links) {
          const auto found = h.asked.find("/" + link + ".jpg");
          twice += found == h.asked.end() || found->second != 1 ? " " + link : "";
        }
        EXPECT_EQ(twice, "") << "asked other than once";
        EXPECT_EQ(h.rows, one.rows);
        if (gallery.late == 0 || n == 1) {
          EXPECT_EQ(h.files, one.files);
          EXPECT_EQ(h.requests, one.requests);
        } else {
          // Only pictures asked for while the late head was under way lack its cookie
          // (each picture's bytes tell the cookies it was asked with); the last one has it.
          std::string differ;
          size_t differing = 0;
          for (const auto& [name, bytes] : one.files) {
            if (h.files.contains(name) && h.files.at(name) == bytes) continue;
            differ += " " + name;
            ++differing;
          }
          EXPECT_LE(differing, 2u * n - 1) << differ;
          EXPECT_EQ(differ.find(h.files.rbegin()->first), std::string::npos) << differ;
          EXPECT_EQ(h.files.size(), one.files.size());
        }
      }
    }
  }
}

TEST_F(ParallelRunTest, ThumbnailGalleryWithTheLastChanceIsTheSameHarvest) {
  ExpectSameHarvests({{site.Url("/thumbs.html")}});
  ExpectSameHarvests({{site.Url("/thumbs.html")}}, {}, true);
}

TEST_F(ParallelRunTest, APictureShownThreeTimesIsAskedForOnceAndTheSameHarvest) {
  const std::vector<Entry> entries = {{site.Url("/thrice.html")}, {site.Url("/again.html")}};
  ExpectSameHarvests(entries);
  for (const int n : {1, 6}) {
    SCOPED_TRACE("transfers " + std::to_string(n));
    EXPECT_EQ(Run(n, entries).asked.at("/t1.jpg"), 1);
  }
}

TEST_F(ParallelRunTest, PicturesTypedByTheirResponsesAreTheSameHarvest) {
  ExpectSameHarvests({{site.Url("/cdn.html")}});
  ExpectSameHarvests({{site.Url("/cdn.html")}}, {{"AAA_001.jpg", "taken"}}, true);
  const Harvest h = Run(6, {{site.Url("/cdn.html")}});
  EXPECT_TRUE(h.files.contains("AAA_002.webp"));
  EXPECT_TRUE(h.files.contains("AAA_003.png"));
  EXPECT_EQ(std::ranges::count_if(
                h.rows, [](const std::string& row) { return row.starts_with("Not a picture"); }),
            3);
}

TEST_F(ParallelRunTest, ThePicturesOfPagesFetchedAheadAreFetchedAheadToo) {
  // Each linked page is scanned as soon as it is here, so that its picture goes out
  // beside the next pages' rather than when the run comes to it.
  Run(6, {{site.Url("/thumbs.html")}});
  EXPECT_GE(site.MaxActiveBig(), 2);
}

TEST_F(ParallelRunTest, PicturesTooSmallToKeepDoNotCostAConnectionEach) {
  // Their bodies are read and thrown away, not cut off with the connection.
  const Harvest h = Run(2, {{site.Url("/smalls.html")}});
  EXPECT_EQ(std::ranges::count_if(
                h.rows, [](const std::string& row) { return row.starts_with("Too Small"); }),
            12);
  // Cut off, each would have needed one of its own (12 or more).
  EXPECT_LE(site.ConnectionsUsed(), 6u);
}

TEST_F(ParallelRunTest, FramesAndABatchOfPagesAreTheSameHarvest) {
  ExpectSameHarvests({{site.Url("/frames.html")},
                      {site.Url("/gal.html")},
                      {site.Url("/a2.jpg")},
                      {site.Url("/empty.html")},
                      {site.Url("/thumbs.html")},
                      {site.RefusedUrl("/down.html")},
                      {site.Url("/missing.html")},
                      {site.Url("/emb.html")}});
}

TEST_F(ParallelRunTest, CookiesOfPagesAndResponsesGoWithExactlyTheRequestsOfTheRun) {
  // A captured page brings its own cookie and referrer; another page sets a session
  // cookie with its source; a resource's response sets one that only the requests
  // after it carry. The bodies tell which cookies each stored request carried.
  const std::vector<Entry> entries = {{site.Url("/gal2.html"), "pc=7; theme=dark", "http://x/"},
                                      {site.Url("/ck.html")},
                                      {site.Url("/emb.html")},
                                      {site.Url("/late.html")}};
  const Harvest one = Run(1, entries);
  for (const int n : {2, 6}) {
    SCOPED_TRACE("transfers " + std::to_string(n));
    const Harvest many = Run(n, entries);
    EXPECT_EQ(many.rows, one.rows);
    EXPECT_EQ(many.calls, one.calls);
    // Every request of the run went out once, as it would have gone out; only one
    // already under way when a response set the site's first resource cookie (which the
    // site had not shown it does) lacks that cookie, as a browser's request would.
    EXPECT_EQ(many.asked, one.asked);
    std::string differ, lacking;
    size_t lack = 0;
    for (const auto& [name, bytes] : one.files) {
      const auto got = many.files.find(name);
      if (got != many.files.end() && got->second == bytes) continue;
      differ += " " + name;
      if (got != many.files.end() && bytes.find("late=1") != std::string::npos &&
          got->second.find("late=1") == std::string::npos) {
        lacking += " " + name;
        ++lack;
      }
    }
    EXPECT_EQ(differ, lacking);
    EXPECT_LE(lack, 2u * n - 1) << lacking;
    EXPECT_EQ(many.files.size(), one.files.size());
    for (const Request& r : many.requests) {
      if (one.requests.count(r)) continue;
      const bool missesOnlyLaterCookies =
          std::any_of(one.requests.begin(), one.requests.end(), [&](const Request& s) {
            const auto sent = CookieSet(std::get<2>(r));
            const auto due = CookieSet(std::get<2>(s));
            return std::get<0>(s) == std::get<0>(r) && std::get<1>(s) == std::get<1>(r) &&
                   std::includes(due.begin(), due.end(), sent.begin(), sent.end());
          });
      EXPECT_TRUE(missesOnlyLaterCookies) << std::get<0>(r) << " " << std::get<2>(r);
    }
  }
  // The page's own cookie went with its requests only.
  for (const Request& r : one.requests) {
    const bool captured = std::get<0>(r) == "/gal2.html" || std::get<0>(r).starts_with("/g");
    EXPECT_EQ(std::get<2>(r).find("pc=7") != std::string::npos, captured) << std::get<0>(r);
  }
}

TEST_F(ParallelRunTest, StopDuringAParallelRunLogsTheSequentialRunAndLeavesNoTemporaryFile) {
  // Stop while the fifth link is under way; the question to go on is answered No.
  auto stopAtFourth = [](Engine& engine, RecordingWindow& window) {
    if (window.CallsStartingWith("row In Progress").size() == 6) engine.OnStop();
  };
  const std::vector<Entry> entries = {{site.Url("/gal.html")}, {site.Url("/emb.html")}};
  const Harvest one = Run(1, entries, {}, stopAtFourth);
  const Harvest six = Run(6, entries, {}, stopAtFourth);
  EXPECT_EQ(six.rows, one.rows);
  EXPECT_EQ(six.calls, one.calls);
  EXPECT_EQ(six.files, one.files);
  ASSERT_FALSE(one.rows.empty());
  EXPECT_TRUE(one.rows.front().starts_with("Stopped"));
  const Harvest named = Run(6, entries, {}, stopAtFourth, {}, true);
  EXPECT_EQ(named.rows, one.rows);
  EXPECT_EQ(named.files, one.files);
  for (const Harvest* h : {&one, &six, &named}) {
    for (const auto& [name, bytes] : h->files) EXPECT_FALSE(name.ends_with(".hvpart")) << name;
  }
}

TEST_F(ParallelRunTest, StopWithYesGoesOnWithTheQueueAsTheSequentialRunDoes) {
  auto stopAtThird = [](Engine& engine, RecordingWindow& window) {
    if (window.CallsStartingWith("row In Progress").size() == 3) engine.OnStop();
  };
  const std::vector<Entry> entries = {{site.Url("/gal.html")}, {site.Url("/thumbs.html")}};
  const Harvest one = Run(1, entries, {}, stopAtThird, {MessageAnswer::kYes});
  const Harvest six = Run(6, entries, {}, stopAtThird, {MessageAnswer::kYes});
  EXPECT_EQ(six.rows, one.rows);
  EXPECT_EQ(six.calls, one.calls);
  EXPECT_EQ(six.files, one.files);
}

TEST_F(ParallelRunTest, PauseHoldsEveryTransfer) {
  // Paused at the first resource for a while: nothing else reaches the server.
  TempDir dest, config;
  RecordingWindow window;
  Settings settings;
  settings.minimumSizeKb = 1;
  settings.parallelTransfers = 6;
  Engine engine(window, settings);
  engine.settingsDir = config.dir();
  window.controls[IDC_DESTINATION_DIR] = dest.dir();
  window.controls[IDC_FILE_PREFIX] = "AAA_";
  size_t seenWhilePaused = 0;
  bool paused = false;
  std::chrono::steady_clock::time_point pausedAt;
  window.onPump = [&](int) {
    if (!paused && window.CallsStartingWith("row In Progress").size() == 2) {
      paused = true;
      engine.OnPause();
      pausedAt = std::chrono::steady_clock::now();
      seenWhilePaused = site.Requests().size();
    } else if (engine.paused &&
               std::chrono::steady_clock::now() - pausedAt > std::chrono::milliseconds(300)) {
      EXPECT_LE(site.Requests().size(), seenWhilePaused + 6);
      seenWhilePaused = site.Requests().size();
      engine.OnPause();
    }
  };
  site.Reset();
  ASSERT_EQ(engine.Check_Destination(), 1);
  const std::string address = site.Url("/late.html");
  engine.URL_List.PushBack(address.c_str(), PageEntry);
  engine.Process_URL_List();
  EXPECT_TRUE(paused);
  EXPECT_EQ(window.RowStatuses().size(), 10u);
}

}  // namespace
}  // namespace harvelo::testing
