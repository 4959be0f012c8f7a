// The Firefox transport against profiles and session stores the tests generate: which
// profile is the default, the front page of the session, and the failures (no profile,
// no session, a store that is never readable in time).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "capture/dde_browser_client.h"
#include "capture/firefox_dde_transport.h"
#include "capture/firefox_profile.h"
#include "capture/firefox_session.h"
#include "capture/moz_lz4.h"
#include "support/temp_dir.h"

namespace harvelo {
namespace {

using harvelo::testing::TempDir;
using harvelo::testing::WriteBytes;

const char kSession[] = R"({"version":["sessionrestore",1],"selectedWindow":2,"windows":[
  {"selected":1,"tabs":[{"index":1,"entries":[{"url":"http://one/","title":"One"}]}]},
  {"selected":2,"tabs":[
    {"index":1,"entries":[{"url":"http://two-a/","title":"Two A"}]},
    {"index":2,"entries":[{"url":"http://back/","title":"Back"},
                          {"url":"http://front/page.html","title":"Front, page"},
                          {"url":"http://forward/","title":"Forward"}]}]}]})";

void MakeProfile(const TempDir& firefox, const std::string& name, const std::string& json) {
  std::filesystem::create_directories(firefox.dir() + name + "/sessionstore-backups");
  WriteBytes(firefox.dir() + name + "/sessionstore-backups/recovery.jsonlz4", EncodeMozLz4(json));
}

TEST(FirefoxProfile, InstallsIniNamesTheDefaultBeforeProfilesIni) {
  TempDir ff;
  WriteBytes(ff.file("profiles.ini"),
             "[Profile1]\r\nName=old\r\nIsRelative=1\r\nPath=abc.old\r\nDefault=1\r\n\r\n"
             "[Profile0]\r\nName=new\r\nIsRelative=1\r\nPath=xyz.default-esr\r\n\r\n"
             "[General]\r\nStartWithLastProfile=1\r\n");
  EXPECT_EQ(DefaultFirefoxProfile(ff.dir()), ff.dir() + "abc.old/");
  WriteBytes(ff.file("installs.ini"), "[3B6073811A6ABF12]\nDefault=xyz.default-esr\nLocked=1\n");
  EXPECT_EQ(DefaultFirefoxProfile(ff.dir()), ff.dir() + "xyz.default-esr/");
}

TEST(FirefoxProfile, InstallSectionThenMarkedProfileThenTheFirstOne) {
  TempDir ff;
  WriteBytes(ff.file("profiles.ini"),
             "[Profile0]\nPath=first\n[Profile1]\nPath=/abs/second\nIsRelative=0\n"
             "[InstallAB12]\nDefault=from-install\n");
  EXPECT_EQ(DefaultFirefoxProfile(ff.dir()), ff.dir() + "from-install/");
  WriteBytes(ff.file("profiles.ini"),
             "[Profile0]\nPath=first\n[Profile1]\nPath=/abs/second\n"
             "IsRelative=0\nDefault=1\n");
  EXPECT_EQ(DefaultFirefoxProfile(ff.dir()), "/abs/second/");
  WriteBytes(ff.file("profiles.ini"), "[Profile0]\nPath=first\n[Profile1]\nPath=second\n");
  EXPECT_EQ(DefaultFirefoxProfile(ff.dir()), ff.dir() + "first/");
  WriteBytes(ff.file("profiles.ini"), "[General]\nVersion=2\n");
  EXPECT_EQ(DefaultFirefoxProfile(ff.dir()), "");
}

TEST(FirefoxSession, TheCurrentEntryOfTheSelectedTabOfTheSelectedWindow) {
  SessionPage page;
  ASSERT_TRUE(CurrentPageOfSession(kSession, page));
  EXPECT_EQ(page.url, "http://front/page.html");
  EXPECT_EQ(page.title, "Front, page");
  EXPECT_FALSE(CurrentPageOfSession(R"({"windows":[]})", page));
  EXPECT_FALSE(CurrentPageOfSession(R"({"windows":[{"tabs":[{"entries":[]}]}]})", page));
  EXPECT_FALSE(CurrentPageOfSession("not json", page));
  // An index out of range falls back to the last element, as Firefox does.
  ASSERT_TRUE(CurrentPageOfSession(
      R"({"selectedWindow":9,"windows":[{"selected":0,"tabs":[{"entries":[{"url":"u"}]}]}]})",
      page));
  EXPECT_EQ(page.url, "u");
  EXPECT_EQ(page.title, "");
}

TEST(MozLz4, RoundTripsAndRefusesDamagedFraming) {
  std::string out;
  const std::string text(5000, 'a');
  ASSERT_TRUE(DecodeMozLz4(EncodeMozLz4(text), out));
  EXPECT_EQ(out, text);
  std::string bad = EncodeMozLz4(text);
  bad[0] = 'M';
  EXPECT_FALSE(DecodeMozLz4(bad, out));
  std::string cut = EncodeMozLz4(text);
  cut.resize(cut.size() - 3);
  EXPECT_FALSE(DecodeMozLz4(cut, out));
  std::string lying = EncodeMozLz4(text);
  lying[11] = '\x7f';  // announces far more than any session store
  EXPECT_FALSE(DecodeMozLz4(lying, out));
  EXPECT_FALSE(DecodeMozLz4("mozLz40", out));
}

TEST(FirefoxTransport, AnswersBothNavigatorServicesWithTheFrontPage) {
  TempDir ff;
  WriteBytes(ff.file("profiles.ini"), "[Profile0]\nPath=p.default\nDefault=1\n");
  MakeProfile(ff, "p.default", kSession);
  for (const char* service : {"NETSCAPE", "NETSCAPE6"}) {
    FirefoxDdeTransport transport(ff.dir());
    CDdeBrowserClient client(transport, service);
    std::string address, title;
    ASSERT_TRUE(client.GetWindowInfo(address, title, 0xFFFFFFFF)) << service;
    EXPECT_EQ(address, "http://front/page.html");
    EXPECT_EQ(title, "Front, page");  // a comma in the title comes after the split
  }
}

TEST(FirefoxTransport, AnAddressKeepsItsCommasAndQuotes) {
  const struct {
    const char* url;
    const char* title;
  } pages[] = {
      {"http://cdn/gallery/w_100,h_100/page.html", "Gallery"},
      {"http://h/a\"b\",\"c,d", "T \"x\", y"},
      {"http://h/,", ","},
      {"http://h/p", ""},
  };
  for (const auto& p : pages) {
    TempDir ff;
    WriteBytes(ff.file("profiles.ini"), "[Profile0]\nPath=p\n");
    MakeProfile(
        ff, "p",
        nlohmann::json{
            {"windows", {{{"tabs", {{{"entries", {{{"url", p.url}, {"title", p.title}}}}}}}}}}}
            .dump());
    FirefoxDdeTransport transport(ff.dir());
    CDdeBrowserClient client(transport, "NETSCAPE6");
    std::string address, title;
    ASSERT_TRUE(client.GetWindowInfo(address, title, 0xFFFFFFFF)) << p.url;
    EXPECT_EQ(address, p.url);
    EXPECT_EQ(title, p.title);
  }
}

TEST(FirefoxTransport, NoProfileOrNoSessionIsAFailedConnection) {
  TempDir ff;
  {
    FirefoxDdeTransport transport(ff.dir());
    CDdeBrowserClient client(transport, "NETSCAPE6");
    std::string a, t;
    EXPECT_FALSE(client.GetWindowInfo(a, t, 0xFFFFFFFF));
    EXPECT_STREQ(client.lastFailure(), "DdeConnect(,,WWW_GetWindowInfo,)");
  }
  WriteBytes(ff.file("profiles.ini"), "[Profile0]\nPath=p\n");
  std::filesystem::create_directories(ff.dir() + "p");
  FirefoxDdeTransport transport(ff.dir());
  CDdeBrowserClient client(transport, "NETSCAPE6");
  std::string a, t;
  EXPECT_FALSE(client.GetWindowInfo(a, t, 0xFFFFFFFF));
  EXPECT_STREQ(client.lastFailure(), "DdeConnect(,,WWW_GetWindowInfo,)");
  // Another window id than the front one is not answered.
  MakeProfile(ff, "p", kSession);
  EXPECT_FALSE(client.GetWindowInfo(a, t, 5));
  EXPECT_STREQ(client.lastFailure(), "DdeClientTransaction(,,,WWW_GetWindowInfo,,,,)");
}

TEST(FirefoxTransport, AFifoAsTheStoreFailsAtOnceWithoutAReaderLeftWaiting) {
  TempDir ff;
  WriteBytes(ff.file("profiles.ini"), "[Profile0]\nPath=p\n");
  std::filesystem::create_directories(ff.dir() + "p/sessionstore-backups");
  const std::string fifo = ff.dir() + "p/sessionstore-backups/recovery.jsonlz4";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);  // opening it for reading would wait
  FirefoxDdeTransport transport(ff.dir());
  CDdeBrowserClient client(transport, "NETSCAPE");
  std::string a, t;
  EXPECT_FALSE(client.GetWindowInfo(a, t, 0xFFFFFFFF));
  EXPECT_STREQ(client.lastFailure(), "DdeClientTransaction(,,,WWW_GetWindowInfo,,,,)");
  EXPECT_EQ(client.lastFailureCode(), kDmlErrNotProcessed) << "refused, not timed out";
}

TEST(FirefoxSession, AReaderToldToStopReadsNoFurther) {
  TempDir profile;
  MakeProfile(profile, "p", kSession);
  SessionPage page;
  std::atomic<bool> stop{true};
  EXPECT_FALSE(ReadCurrentPage(profile.dir() + "p/", page, &stop));
  stop = false;
  EXPECT_TRUE(ReadCurrentPage(profile.dir() + "p/", page, &stop));
}

}  // namespace
}  // namespace harvelo
