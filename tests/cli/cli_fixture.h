// A loopback web site, a working directory and harvelo-cli run as a child in it.
#pragma once
#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

#include "cli_child.h"
#include "support/loopback_server.h"
#include "support/temp_dir.h"

namespace harvelo::testing {

// Resource bodies that pass a 1 KB minimum, different for each fill character.
inline std::string ImageBody(char fill) {
  return "\xFF\xD8\xFF\xE0" + std::string(3000, fill);
}

class CliTest : public ::testing::Test {
 protected:
  void Page(const std::string& path, const std::string& html) { Serve(path, html, "text/html"); }
  void Serve(const std::string& path, const std::string& body,
             const std::string& type = "image/jpeg") {
    site.server().Get(path,
                      [this, body, type](const httplib::Request& req, httplib::Response& res) {
                        {
                          std::lock_guard<std::mutex> lock(mutex_);
                          seen_.push_back(req.path);
                        }
                        res.set_content(body, type.c_str());
                      });
  }
  std::vector<std::string> SeenPaths() {
    std::lock_guard<std::mutex> lock(mutex_);
    return seen_;
  }
  void StartSite() { ASSERT_TRUE(site.Start()); }
  std::string Url(const std::string& path) const { return site.Url(path); }

  // harvelo-cli ARGS in the working directory, to its end.
  int Run(const std::vector<std::string>& args, std::vector<std::string> env = {"LANG=C"}) {
    return RunCli(cli, args, work.dir(), std::move(env));
  }
  std::string Dest(const std::string& name) const { return work.file("dest/" + name); }

  TempDir work;
  LoopbackServer site;
  CliChild cli;

 private:
  std::mutex mutex_;
  std::vector<std::string> seen_;
};

}  // namespace harvelo::testing
