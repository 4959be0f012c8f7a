// The Firefox transport against a real Firefox ESR (headless, a fresh profile whose
// traffic is held on the loopback address): Get from Browser's Navigator branch takes
// the page it shows.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "capture/dde_browser_client.h"
#include "capture/firefox_dde_transport.h"
#include "capture/firefox_session.h"
#include "support/chromium.h"
#include "support/loopback_server.h"
#include "support/temp_dir.h"

namespace harvelo {
namespace {

using harvelo::testing::TempDir;
using harvelo::testing::WriteBytes;

// Prefs of a quiet test profile: the session is saved every half second, and every
// address but the loopback one goes to a proxy port where nothing listens.
const char kUserJs[] = R"(user_pref("browser.sessionstore.interval", 500);
user_pref("browser.shell.checkDefaultBrowser", false);
user_pref("browser.startup.homepage_override.mstone", "ignore");
user_pref("datareporting.policy.dataSubmissionEnabled", false);
user_pref("toolkit.telemetry.reportingpolicy.firstRun", false);
user_pref("app.update.disabledForTesting", true);
user_pref("network.proxy.type", 1);
user_pref("network.proxy.http", "127.0.0.1");
user_pref("network.proxy.http_port", 9);
user_pref("network.proxy.ssl", "127.0.0.1");
user_pref("network.proxy.ssl_port", 9);
user_pref("network.proxy.no_proxies_on", "127.0.0.1");
user_pref("network.proxy.allow_hijacking_localhost", false);
user_pref("network.trr.mode", 5);
user_pref("network.captive-portal-service.enabled", false);
user_pref("network.connectivity-service.enabled", false);
)";

TEST(FirefoxEsr, TheNavigatorBranchTakesThePageFirefoxShows) {
  if (!std::filesystem::exists("/usr/bin/firefox-esr"))
    GTEST_SKIP() << "firefox-esr is not installed";
  harvelo::testing::LoopbackServer site;
  site.server().Get("/shown.html", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("<html><title>Shown, here</title></html>", "text/html");
  });
  ASSERT_TRUE(site.Start());
  TempDir home;
  const std::string firefox = home.dir() + ".mozilla/firefox/";
  std::filesystem::create_directories(firefox + "t.default");
  WriteBytes(firefox + "profiles.ini",
             "[Profile0]\nName=t\nIsRelative=1\nPath=t.default\nDefault=1\n\n[General]\n"
             "StartWithLastProfile=1\nVersion=2\n");
  WriteBytes(firefox + "t.default/user.js", kUserJs);
  const std::string saved_home = std::getenv("HOME") ? std::getenv("HOME") : "";
  ::setenv("HOME", home.dir().c_str(), 1);  // the browser's own files stay in the test's home
  const pid_t browser = harvelo::testing::Chromium::Start(
      {"/usr/bin/firefox-esr", "--headless", "--no-remote", "--profile", firefox + "t.default",
       site.Url("/shown.html")});
  ASSERT_GT(browser, 0);

  SessionPage page;
  for (int i = 0; i < 600 && !(ReadCurrentPage(firefox + "t.default/", page) &&
                               page.url == site.Url("/shown.html"));
       ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  FirefoxDdeTransport transport(firefox);
  CDdeBrowserClient client(transport, "NETSCAPE6");
  std::string address, title;
  const bool ok = client.GetWindowInfo(address, title, 0xFFFFFFFF);
  ::kill(-browser, SIGTERM);
  ::waitpid(browser, nullptr, 0);
  ::setenv("HOME", saved_home.c_str(), 1);
  ASSERT_TRUE(ok) << (client.lastFailure() ? client.lastFailure() : "");
  EXPECT_EQ(address, site.Url("/shown.html"));
  EXPECT_EQ(title, "Shown, here");
}

}  // namespace
}  // namespace harvelo
