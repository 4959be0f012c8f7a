// An engine wired to a recording window, a loopback web site and a temporary
// destination directory, for the end-to-end tests of a run.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "engine/control_ids.h"
#include "engine/engine.h"
#include "platform/thread_locale.h"
#include "support/loopback_server.h"
#include "support/recording_window.h"
#include "support/temp_dir.h"

namespace harvelo::testing {

// The bodies the site serves: "big" resources pass the 1 KB minimum, "small" don't.
inline std::string BigBody(char fill = 'B') {
  return std::string(3000, fill);
}
inline std::string SmallBody() {
  return std::string(100, 's');
}

struct SeenRequest {
  std::string path;
  std::string referer;
};

class EngineTest : public ::testing::Test {
 protected:
  EngineTest() : engine(window, settings) {
    SetThreadLocale(kLocaleEnglish);
    settings.minimumSizeKb = 1;
    // These cases pin down the run one transfer at a time, down to the order in which
    // the server sees the requests; parallel_run_test holds the other counts to it.
    settings.parallelTransfers = 1;
    engine.settingsDir = config.dir();
    window.controls[IDC_DESTINATION_DIR] = dest.dir();
    window.controls[IDC_FILE_PREFIX] = "AAA_";
    window.controls[IDC_AUTO_INCREMENT] = "1";
  }

  // Serves `body` at `path` (with its Content-Length) once the site is started.
  void Page(const std::string& path, const std::string& html) { Serve(path, html, "text/html"); }
  void Serve(const std::string& path, const std::string& body,
             const std::string& type = "image/jpeg", int status = 200) {
    site.server().Get(
        path, [this, body, type, status](const httplib::Request& req, httplib::Response& res) {
          Record(req);
          res.status = status;
          res.set_content(body, type.c_str());
        });
  }
  void Record(const httplib::Request& req) {
    std::lock_guard<std::mutex> lock(mutex_);
    seen_.push_back({req.path, req.get_header_value("Referer")});
  }
  std::vector<SeenRequest> Seen() {
    std::lock_guard<std::mutex> lock(mutex_);
    return seen_;
  }
  std::vector<std::string> SeenPaths() {
    std::vector<std::string> out;
    for (const auto& r : Seen()) out.push_back(r.path);
    return out;
  }

  void StartSite() { ASSERT_TRUE(site.Start()); }
  std::string Url(const std::string& path) const { return site.Url(path); }

  // Types `address` into the URL field and presses Start.
  void StartWith(const std::string& address) {
    window.controls[IDC_URL] = address;
    engine.OnStart();
  }

  // The names of the files in the destination directory.
  std::set<std::string> DestFiles() const {
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dest.dir())) {
      names.insert(e.path().filename().string());
    }
    return names;
  }
  std::string DestFile(const std::string& name) const { return ReadBytes(dest.file(name)); }

  TempDir dest;
  TempDir config;
  LoopbackServer site;
  RecordingWindow window;
  Settings settings;
  Engine engine;

 private:
  std::mutex mutex_;
  std::vector<SeenRequest> seen_;
};

}  // namespace harvelo::testing
