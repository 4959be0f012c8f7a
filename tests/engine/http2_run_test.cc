// Runs over HTTP/2 (nginx with TLS in front of a loopback site): the same harvest as
// over HTTP/1.1 and one at a time, with more than six requests in flight on one
// connection; a stream reset fails only its resource; Stop drops every stream.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
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
#include "http/tls_trust.h"
#include "platform/thread_locale.h"
#include "support/loopback_server.h"
#include "support/recording_window.h"
#include "support/temp_dir.h"
#include "support/tls_nginx.h"

namespace harvelo::testing {
namespace {

using Request = std::tuple<std::string, std::string, std::string>;  // path, Referer, Cookie

// The site behind nginx: every response a little late, so that requests overlap; it
// records each request and the most it had at once. "/hold..." waits until released.
class Backend {
 public:
  Backend() {
    server_.server().new_task_queue = [] { return new httplib::ThreadPool(64); };
    server_.server().Get(R"(/(.*))", [this](const httplib::Request& req, httplib::Response& res) {
      Handle(req, res);
    });
  }
  ~Backend() {
    Release();
    server_.Stop();
  }
  bool Start() { return server_.Start(); }
  int port() const { return server_.port(); }
  void Page(const std::string& path, const std::string& html) { pages_[path] = html; }
  void Reset() {
    std::lock_guard<std::mutex> lock(mutex_);
    requests_.clear();
    max_active_ = 0;
    released_ = false;
  }
  void Release() {
    std::lock_guard<std::mutex> lock(mutex_);
    released_ = true;
    cv_.notify_all();
  }
  std::set<Request> Requests() {
    std::lock_guard<std::mutex> lock(mutex_);
    return {requests_.begin(), requests_.end()};
  }
  int Active() const { return active_; }
  int MaxActive() const { return max_active_; }

 private:
  void Handle(const httplib::Request& req, httplib::Response& res) {
    const int active = ++active_;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      requests_.emplace_back(req.path, req.get_header_value("Referer"),
                             req.get_header_value("Cookie"));
      max_active_ = std::max(max_active_, active);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const std::string& path = req.path;
    if (path.starts_with("/hold") && path.ends_with(".jpg")) {
      std::unique_lock<std::mutex> lock(mutex_);
      cv_.wait_for(lock, std::chrono::seconds(3), [this] { return released_; });
    }
    if (auto page = pages_.find(path); page != pages_.end()) {
      if (path == "/ck.html") res.set_header("Set-Cookie", "sid=s1; Path=/");
      res.set_content(page->second, "text/html");
    } else if (path.starts_with("/missing")) {
      res.status = 404;
      res.set_content("not here", "text/html");
    } else if (path.ends_with(".jpg")) {
      // The cookies the request carried are part of what is stored.
      std::string body = path + " cookie=[" + req.get_header_value("Cookie") + "]";
      body.resize(path.starts_with("/small") ? 100 : 3000 + path.size() * 7, path[1]);
      res.set_content(body, "image/jpeg");
    } else {
      res.status = 404;
    }
    --active_;
  }

  LoopbackServer server_;
  std::map<std::string, std::string> pages_;
  std::mutex mutex_;
  std::condition_variable cv_;
  bool released_ = false;
  std::vector<Request> requests_;
  std::atomic<int> active_{0};
  int max_active_ = 0;
};

struct Harvest {
  std::map<std::string, std::string> files;
  std::vector<std::string> rows;
  std::set<Request> requests;
  int maxActive = 0;
  std::vector<std::string> log;  // nginx's lines: connection, status, path
};

std::string Unplace(std::string text, const std::string& dir) {
  for (size_t pos = text.find(dir); pos != std::string::npos; pos = text.find(dir, pos)) {
    text.replace(pos, dir.size(), "<dest>/");
  }
  return text;
}

std::vector<std::string> Lines(const std::string& path) {
  std::vector<std::string> lines;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The connections of nginx's log lines, and how many lines had `status`.
std::set<std::string> Connections(const std::vector<std::string>& log) {
  std::set<std::string> connections;
  for (const std::string& line : log) connections.insert(line.substr(0, line.find(' ')));
  return connections;
}
int WithStatus(const std::vector<std::string>& log, const std::string& status) {
  int n = 0;
  for (const std::string& line : log) n += line.find(" " + status + " ") != std::string::npos;
  return n;
}

class Http2RunTest : public ::testing::Test {
 protected:
  static constexpr int kWide = 48;  // held pictures of /wide.html

  Http2RunTest() { SetThreadLocale(kLocaleEnglish); }

  void SetUp() override {
    if (NginxPath().empty())
      GTEST_SKIP() << "nginx is not installed (scripts/install-deps.sh test)";
    ASSERT_TRUE(MakeCertificates(certs_)) << "openssl could not make the test certificates";
    std::string gallery = "<title>Gallery</title>";
    for (int i = 1; i <= 24; ++i) {
      const std::string n = std::to_string(i);
      gallery += "<a href=\"a" + n + ".jpg\">" + n + "</a>";
      if (i == 5) gallery += "<a href=\"small1.jpg\">s</a><a href=\"missing1.jpg\">m</a>";
      if (i == 12) gallery += "<a href=\"reset1.jpg\">r</a>";
    }
    backend_.Page("/gal.html", gallery);
    backend_.Page("/ck.html", "<img src=\"ck1.jpg\"><img src=\"ck2.jpg\"><img src=\"ck3.jpg\">");
    // The first picture answers at once: until a first picture has answered (and shown
    // that pictures set no cookie) nothing else goes out ahead.
    std::string hold = "<a href=\"first.jpg\">f</a>";
    for (int i = 1; i <= 20; ++i) hold += "<a href=\"hold" + std::to_string(i) + ".jpg\">h</a>";
    backend_.Page("/hold.html", hold);
    std::string wide = "<a href=\"first.jpg\">f</a>";
    for (int i = 1; i <= kWide; ++i) wide += "<a href=\"holdw" + std::to_string(i) + ".jpg\">h</a>";
    backend_.Page("/wide.html", wide);
    ASSERT_TRUE(backend_.Start());
    port_ = FreePort();
    // "return 444" closes a request without an answer: over HTTP/2 nginx resets its
    // stream, and the connection goes on.
    const std::string servers =
        " log_format streams '$connection $status $uri';\n"
        " server {\n  listen 127.0.0.1:" +
        std::to_string(port_) + " ssl http2;\n  ssl_certificate " + certs_.file("server.pem") +
        ";\n  ssl_certificate_key " + certs_.file("server.key") + ";\n  access_log " +
        certs_.file("access.log") +
        " streams;\n  location /reset { return 444; }\n  location / {\n   proxy_pass "
        "http://127.0.0.1:" +
        std::to_string(backend_.port()) + ";\n  }\n }\n";
    ASSERT_TRUE(nginx_.Start(certs_, servers, {port_})) << ReadBytes(certs_.file("error.log"));
    SetTrustedCertificateFile(certs_.file("ca.pem"));
  }

  void TearDown() override { SetTrustedCertificateFile(""); }

  std::string Url(const std::string& path) const {
    return "https://127.0.0.1:" + std::to_string(port_) + path;
  }

  Harvest Run(int transfers, int streams, const std::vector<std::string>& pages,
              std::function<void(Engine&)> onPump = nullptr) {
    TempDir dest;
    TempDir config;
    RecordingWindow window;
    Settings settings;
    settings.minimumSizeKb = 1;
    settings.parallelTransfers = transfers;
    settings.http2Streams = streams;
    Engine engine(window, settings);
    engine.settingsDir = config.dir();
    window.controls[IDC_DESTINATION_DIR] = dest.dir();
    window.controls[IDC_FILE_PREFIX] = "AAA_";
    window.controls[IDC_AUTO_INCREMENT] = "1";
    if (onPump) window.onPump = [&](int) { onPump(engine); };
    backend_.Reset();
    std::filesystem::resize_file(certs_.file("access.log"), 0);
    CURL* easy = curl_easy_init();  // the cookie store as a new process has it
    curl_easy_setopt(easy, CURLOPT_SHARE, SharedCookieStore());
    curl_easy_setopt(easy, CURLOPT_COOKIEFILE, "");
    curl_easy_setopt(easy, CURLOPT_COOKIELIST, "ALL");
    curl_easy_cleanup(easy);
    EXPECT_EQ(engine.Check_Destination(), 1);
    // The first page comes with a cookie and a referrer of the browser's.
    for (const std::string& page : pages) {
      const bool first = &page == &pages.front();
      engine.URL_List.PushBack(Url(page).c_str(), PageEntry, first ? "c=1" : nullptr,
                               first ? "https://ref.example/" : nullptr);
    }
    engine.Process_URL_List();
    backend_.Release();

    Harvest h;
    std::string dir = dest.dir();
    dir.pop_back();
    for (const auto& file : std::filesystem::directory_iterator(dest.dir())) {
      h.files[file.path().filename().string()] =
          file.is_regular_file() ? Unplace(ReadBytes(file.path().string()), dir + "/") : "<dir>";
    }
    for (const auto& row : window.rows) {
      h.rows.push_back(row.status + " | " + Unplace(row.filePath, dir + "/") + " | " + row.address);
    }
    h.requests = backend_.Requests();
    h.maxActive = backend_.MaxActive();
    h.log = Lines(certs_.file("access.log"));
    return h;
  }

  TempDir certs_;
  Backend backend_;
  Nginx nginx_;
  int port_ = 0;
};

TEST_F(Http2RunTest, SameHarvestAsOverHttp11WithManyStreamsOnOneConnection) {
  const std::vector<std::string> pages = {"/gal.html", "/ck.html"};
  const Harvest one = Run(1, 0, pages);
  ASSERT_GT(one.files.size(), 24u);
  struct Case {
    int transfers, streams;
    bool multiplexed;
  };
  for (const Case c : {Case{6, 0, false}, Case{1, 32, false}, Case{6, 32, true}}) {
    SCOPED_TRACE("transfers " + std::to_string(c.transfers) + ", streams " +
                 std::to_string(c.streams));
    const Harvest run = Run(c.transfers, c.streams, pages);
    EXPECT_EQ(run.files, one.files);
    EXPECT_EQ(run.rows, one.rows);
    EXPECT_EQ(run.requests, one.requests);
    // More than six at once is shown with held pictures (StopDropsEveryStreamAtOnce):
    // here the site answers too soon for the count to be sure.
    if (c.multiplexed) {
      EXPECT_EQ(Connections(run.log).size(), 1u) << "the requests took more than one connection";
    }
  }
}

TEST_F(Http2RunTest, AStreamResetFailsOnlyItsResource) {
  const Harvest one = Run(1, 32, {"/gal.html"});
  const Harvest many = Run(6, 32, {"/gal.html"});
  EXPECT_EQ(many.files, one.files);
  EXPECT_EQ(many.rows, one.rows);
  int reset = 0;
  for (const std::string& row : many.rows) {
    if (row.ends_with("/reset1.jpg")) {
      ++reset;
      EXPECT_TRUE(row.starts_with("ERROR")) << row;
    } else if (row.find("/a") != std::string::npos) {
      EXPECT_TRUE(row.starts_with("Ok")) << row;
    }
  }
  EXPECT_EQ(reset, 1);
  EXPECT_EQ(WithStatus(many.log, "444"), 1);
  EXPECT_EQ(Connections(many.log).size(), 1u) << "the reset closed the connection";
}

TEST_F(Http2RunTest, StopDropsEveryStreamAtOnce) {
  int atStop = 0;
  const Harvest h = Run(6, 32, {"/hold.html"}, [&](Engine& engine) {
    if (atStop == 0 && backend_.Active() > 6) {
      atStop = backend_.Active();
      engine.OnStop();
    }
  });
  ASSERT_GT(atStop, 6) << "never more than six requests in flight";
  // Nothing was answered: every request nginx passed on ended with the client gone (499).
  std::vector<std::string> log;
  for (int i = 0; i < 500 && WithStatus(log, "499") < atStop; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    log = Lines(certs_.file("access.log"));
  }
  EXPECT_GE(WithStatus(log, "499"), atStop);
  EXPECT_EQ(WithStatus(log, "200"), 2) << "only the page and the first picture were answered";
  // Whichever fetch the Stop meets ends there, and no held picture is kept.
  for (const auto& [name, bytes] : h.files) {
    EXPECT_FALSE(name.ends_with(".jpg") && !bytes.starts_with("/first.jpg")) << name;
  }
}

TEST_F(Http2RunTest, WithTheDefaultsAWideGalleryGoesOutInOneRound) {
  // A bound of 32 streams (the old default) would send this gallery in two rounds: the
  // held pictures would each wait out their hold before the rest went out.
  const Harvest h = Run(6, Settings{}.http2Streams, {"/wide.html"}, [&](Engine&) {
    if (backend_.Active() >= kWide) backend_.Release();
  });
  EXPECT_GE(h.maxActive, kWide);
  EXPECT_EQ(Connections(h.log).size(), 1u);
  EXPECT_EQ(WithStatus(h.log, "200"), kWide + 2) << "the page, first.jpg and every held one";
}

}  // namespace
}  // namespace harvelo::testing
