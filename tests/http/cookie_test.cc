// The page's cookies: cut into elements, stored for the page's host for one fetch, and
// gone again afterwards on every way out, while cookies the server sets stay.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fetch_recorder.h"
#include "http/cookie_store.h"
#include "http/http_fetcher.h"
#include "support/loopback_server.h"
#include "support/temp_dir.h"

namespace harvelo {
namespace {

using testing::FetchRecorder;
using testing::LoopbackServer;
using testing::TempDir;

std::vector<std::string> Walk(const std::string& cookies, size_t maxChars = 2046) {
  std::vector<std::string> elements;
  WalkCookieList(cookies, maxChars,
                 [&](std::string_view element) { elements.emplace_back(element); });
  return elements;
}

TEST(CookieWalk, CutsTheListIntoElementsInOrder) {
  EXPECT_TRUE(Walk("").empty());
  EXPECT_TRUE(Walk(" \t ").empty());
  EXPECT_EQ(Walk("a=1; b=2"), (std::vector<std::string>{"a=1", "b=2"}));
  EXPECT_EQ(Walk("a=1;\t b=2;"), (std::vector<std::string>{"a=1", "b=2"}));
  EXPECT_EQ(Walk("a=1;;b=2"), (std::vector<std::string>{"a=1", "", "b=2"}));
  EXPECT_EQ(Walk("  sid=x y ;"), (std::vector<std::string>{"sid=x y "}));
}

TEST(CookieWalk, ALongElementIsCutAndItsRestFollowsAsAnotherElement) {
  const std::string longOne = "big=" + std::string(2996, 'v');
  const auto elements = Walk(longOne + "; c=3");
  ASSERT_EQ(elements.size(), 3u);
  EXPECT_EQ(elements[0], longOne.substr(0, 2046));
  EXPECT_EQ(elements[1], longOne.substr(2046));
  EXPECT_EQ(elements[2], "c=3");
  EXPECT_EQ(Walk(longOne, 1998)[0].size(), 1998u);
}

TEST(CookieStoreLine, StoresTheElementForTheHostOnEveryPath) {
  EXPECT_EQ(CookieStoreLine("http://www.example.com:8080/dir/page.html", "sid=abc;"),
            "www.example.com\tFALSE\t/\tFALSE\t0\tsid\tabc");
  EXPECT_EQ(CookieStoreLine("https://[::1]/", "a=b=c;"), "::1\tFALSE\t/\tFALSE\t0\ta\tb=c");
  EXPECT_EQ(CookieStoreLine("http://h/", "flag;"), "h\tFALSE\t/\tFALSE\t0\tflag\t");
  EXPECT_EQ(CookieStoreLine("http://h/", "sid=abc;expires=Mon, 7 Jan 1980 00:00:00 GMT;"),
            "h\tFALSE\t/\tFALSE\t316051200\tsid\tabc");
}

TEST(CookieStoreLine, AnExpiryIsFoundWhateverItsCaseAndOneAtTheEpochHasExpired) {
  EXPECT_EQ(CookieStoreLine("http://h/", "sid=abc; Expires=Mon, 7 Jan 1980 00:00:00 GMT;"),
            "h\tFALSE\t/\tFALSE\t316051200\tsid\tabc");
  EXPECT_EQ(CookieStoreLine("http://h/", "sid=abc; EXPIRES=Mon, 7 Jan 1980 00:00:00 GMT"),
            "h\tFALSE\t/\tFALSE\t316051200\tsid\tabc");
  // The usual way to delete a cookie: an expiry at (or before) 1 January 1970, which must
  // not read as 0, a session cookie that stays.
  EXPECT_EQ(CookieStoreLine("http://h/", "sid=; expires=Thu, 01 Jan 1970 00:00:00 GMT;"),
            "h\tFALSE\t/\tFALSE\t1\tsid\t");
}

TEST(CookieStoreLine, RefusesWhatTheStoreCannotHold) {
  EXPECT_EQ(CookieStoreLine("http://h/", "=nameless;"), std::nullopt);
  EXPECT_EQ(CookieStoreLine("http://h/", ";"), std::nullopt);
  EXPECT_EQ(CookieStoreLine("http://h/", "a\tb=1;"), std::nullopt);
  EXPECT_EQ(CookieStoreLine("not a url", "a=1;"), std::nullopt);
}

class CookieRoundTrip : public ::testing::Test {
 protected:
  void SetUp() override {
    auto echo = [this](const httplib::Request& req, httplib::Response& res) {
      seen_.push_back(req.has_header("Cookie") ? req.get_header_value("Cookie") : "(none)");
      res.set_header("Set-Cookie", "srv=9; Path=/cookie");
      res.set_content(std::string(4000, 'c'), "text/html");
    };
    server_.server().Get("/cookie/page", echo);
    server_.server().Get("/elsewhere", echo);
    ASSERT_TRUE(server_.Start());
  }

  int Fetch(HTTPFetcher& fetcher, const std::string& path, const std::string& cookies,
            FetchRecorder* recorder = nullptr) {
    return fetcher.GetPage(server_.Url(path), dir_.file("page.html"), "", cookies,
                           recorder ? &FetchRecorder::Callback : nullptr, recorder);
  }

  LoopbackServer server_;
  TempDir dir_;
  std::vector<std::string> seen_;
};

TEST_F(CookieRoundTrip, ThePagesCookiesGoWithItsRequestOnlyWhileServerCookiesStay) {
  HTTPFetcher fetcher;
  ASSERT_EQ(Fetch(fetcher, "/cookie/page", "a=1; b=2"), 1);
  ASSERT_EQ(Fetch(fetcher, "/cookie/page", ""), 1);
  HTTPFetcher another;
  ASSERT_EQ(Fetch(another, "/cookie/page", ""), 1);
  ASSERT_EQ(Fetch(another, "/elsewhere", ""), 1);

  ASSERT_EQ(seen_.size(), 4u);
  EXPECT_NE(seen_[0].find("a=1"), std::string::npos) << seen_[0];
  EXPECT_NE(seen_[0].find("b=2"), std::string::npos) << seen_[0];
  EXPECT_EQ(seen_[1], "srv=9");  // the page's cookies are gone, the server's stays
  EXPECT_EQ(seen_[2], "srv=9");  // one store for the whole process
  EXPECT_EQ(seen_[3], "(none)");
}

TEST_F(CookieRoundTrip, TheCookiesAreGoneAfterACancelAndAfterAFailure) {
  HTTPFetcher fetcher;
  FetchRecorder cancel;
  cancel.cancelAt = 0;
  ASSERT_EQ(Fetch(fetcher, "/elsewhere", "c=3", &cancel), 0);
  ASSERT_EQ(fetcher.GetPage("ftp://127.0.0.1/", dir_.file("x"), "", "d=4", nullptr, nullptr), 0);
  ASSERT_EQ(Fetch(fetcher, "/elsewhere", ""), 1);
  ASSERT_EQ(seen_.size(), 2u);
  EXPECT_EQ(seen_[0], "c=3");
  EXPECT_EQ(seen_[1], "(none)");
}

}  // namespace
}  // namespace harvelo
