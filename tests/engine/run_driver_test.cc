#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <regex>

#include "engine/page_copy.h"
#include "engine_fixture.h"

namespace harvelo::testing {
namespace {

using RunDriverTest = EngineTest;

bool Contains(const std::vector<std::string>& calls, const std::string& call) {
  return std::find(calls.begin(), calls.end(), call) != calls.end();
}

// `expected` appears in `calls` in this order, other calls in between allowed.
::testing::AssertionResult InOrder(const std::vector<std::string>& calls,
                                   const std::vector<std::string>& expected) {
  auto at = calls.begin();
  for (const auto& e : expected) {
    at = std::find(at, calls.end(), e);
    if (at == calls.end()) return ::testing::AssertionFailure() << "missing in order: " << e;
    ++at;
  }
  return ::testing::AssertionSuccess();
}

TEST_F(RunDriverTest, GalleryOfLinkedImagesStoresEachLinkAndEndsDone) {
  Page("/gallery/index.html",
       "<html><head><title>Gallery</title></head><body>"
       "<a href=\"big1.jpg\">one</a> <a href=\"/pics/big2.JPG\">two</a></body></html>");
  Serve("/gallery/big1.jpg", BigBody('1'));
  Serve("/pics/big2.JPG", BigBody('2'));
  StartSite();
  StartWith(Url("/gallery/index.html"));

  EXPECT_EQ(DestFiles(),
            (std::set<std::string>{"AAA_001.jpg", "AAA_002.JPG", "AAA_waddr.txt", "HV_pref.cfg"}));
  EXPECT_EQ(DestFile("AAA_001.jpg"), BigBody('1'));
  EXPECT_EQ(DestFile("AAA_002.JPG"), BigBody('2'));
  EXPECT_EQ(window.RowStatuses(), (std::vector<std::string>{"Ok", "Ok", "Ok"}));
  EXPECT_EQ(window.rows[2].filePath, dest.file("page.html"));
  EXPECT_TRUE(std::regex_match(window.rows[0].time, std::regex("([01][0-9]|2[0-3]):[0-5][0-9]")))
      << window.rows[0].time;
  EXPECT_EQ(window.title, "HV: Done.");
  EXPECT_EQ(window.controls[IDC_STATUS_LINE], "2 resources downloaded successfully.");
  EXPECT_EQ(window.controls[IDC_PAGE_TITLE], "Gallery");
  EXPECT_EQ(window.beeps, 1);
  EXPECT_TRUE(window.messages.empty());
  // The page advanced the prefix, and the run saved it and the settings.
  EXPECT_EQ(window.controls[IDC_FILE_PREFIX], "AAB_");
  EXPECT_EQ(DestFile("HV_pref.cfg"), "\"AAB_\"\r\n");
  EXPECT_TRUE(Exists(config.file("HV_conf.cfg")));
  EXPECT_EQ(settings.destinationDir, dest.dir());
  EXPECT_EQ(engine.busy, 0);
  EXPECT_EQ(engine.runStatus, -3);
  const auto seen = Seen();
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0].referer, Url(""));  // the site, for a page entered without referrer
  EXPECT_EQ(seen[1].referer, Url("/gallery/index.html"));
}

TEST_F(RunDriverTest, AFrontEndThatSavesTheSettingsItselfGetsOnlyThePrefixSaved) {
  Page("/p.html", "<a href=\"x.jpg\">x</a>");
  Serve("/x.jpg", BigBody());
  StartSite();
  engine.saveSettingsAtEnd = false;
  StartWith(Url("/p.html"));
  EXPECT_EQ(window.RowStatuses(), (std::vector<std::string>{"Ok", "Ok"}));
  EXPECT_EQ(DestFile("HV_pref.cfg"), "\"AAB_\"\r\n");
  EXPECT_FALSE(Exists(config.file("HV_conf.cfg")));
  EXPECT_FALSE(Exists(config.file("HV_recent.cfg")));
}

TEST_F(RunDriverTest, ARunLocksTheWindowAndUnlocksItAtTheEnd) {
  Page("/p.html", "<a href=\"x.jpg\">x</a>");
  Serve("/x.jpg", BigBody());
  StartSite();
  StartWith(Url("/p.html"));
  EXPECT_TRUE(InOrder(window.calls, {
                                        "text 1013 ",
                                        "enable 1007 1",
                                        "enable 1025 1",
                                        "enable 1001 0",
                                        "enable 1009 0",
                                        "enable 1002 0",
                                        "enable 1003 0",
                                        "enable 1015 0",
                                        "redraw 1006",
                                        "text 1039 Current Page:",
                                        "clear log",
                                        "redraw 1025",
                                        "text 1023 " + Url("/p.html"),
                                        "text 1004 ",
                                        "recent " + Url("/p.html"),
                                        "title HV: Prep...",
                                        "title HV: 0%",
                                        "enable 1007 0",
                                        "enable 1025 0",
                                        "enable 1001 1",
                                        "enable 1015 1",
                                        "pos 1005 0",
                                        "enable 1005 0",
                                        "pos 1021 0",
                                        "enable 1021 0",
                                        "text 1039 Last Page:",
                                        "title HV: Done.",
                                        "beep",
                                        "text 1002 AAB_",
                                        "redraw 1006",
                                        "redraw 1025",
                                    }));
}

TEST_F(RunDriverTest, EmbeddedImagesAreStoredWhenThereAreNoLinks) {
  Page("/e/page.html", "<body><img src=\"a.jpg\"><IMG SRC='/b.jpeg'></body>");
  Serve("/e/a.jpg", BigBody('a'));
  Serve("/b.jpeg", BigBody('b'));
  StartSite();
  StartWith(Url("/e/page.html"));
  EXPECT_EQ(DestFile("AAA_001.jpg"), BigBody('a'));
  EXPECT_EQ(DestFile("AAA_002.jpeg"), BigBody('b'));
  EXPECT_EQ(window.title, "HV: Done.");
}

TEST_F(RunDriverTest, APageWithLinksAndImagesDownloadsOnlyTheLinks) {
  Page("/both.html", "<a href=\"full.jpg\">full</a> <p> <img src=\"thumb.jpg\">");
  Serve("/full.jpg", BigBody('f'));
  Serve("/thumb.jpg", BigBody('t'));
  StartSite();
  StartWith(Url("/both.html"));
  EXPECT_EQ(SeenPaths(), (std::vector<std::string>{"/both.html", "/full.jpg"}));
  EXPECT_EQ(DestFile("AAA_001.jpg"), BigBody('f'));
}

TEST_F(RunDriverTest, ThumbnailGalleryQueuesItsLinkedPagesFirstLastLinkFirst) {
  Page("/thumbs/index.html",
       "<a href=\"p1.html\"><img src=\"t1.jpg\"></a> <a href=\"p2.html\"><img src=\"t2.jpg\"></a>");
  Serve("/thumbs/t1.jpg", SmallBody());
  Serve("/thumbs/t2.jpg", SmallBody());
  Page("/thumbs/p1.html", "<img src=\"big1.jpg\">");
  Page("/thumbs/p2.html", "<img src=\"big2.jpg\">");
  Serve("/thumbs/big1.jpg", BigBody('1'));
  Serve("/thumbs/big2.jpg", BigBody('2'));
  Page("/later.html", "<a href=\"later.jpg\">l</a>");
  Serve("/later.jpg", BigBody('l'));
  StartSite();
  engine.URL_List.PushBack(Url("/thumbs/index.html").c_str(), PageEntry);
  StartWith(Url("/later.html"));

  EXPECT_EQ(SeenPaths(),
            (std::vector<std::string>{"/thumbs/index.html", "/thumbs/t1.jpg", "/thumbs/t2.jpg",
                                      "/thumbs/p2.html", "/thumbs/big2.jpg", "/thumbs/p1.html",
                                      "/thumbs/big1.jpg", "/later.html", "/later.jpg"}));
  const auto seen = Seen();
  EXPECT_EQ(seen[3].referer, Url("/thumbs/index.html"));
  EXPECT_EQ(seen[5].referer, Url("/thumbs/index.html"));
  EXPECT_EQ(seen[4].referer, Url("/thumbs/p2.html"));
  // The gallery's list advanced the prefix although it stored nothing; the linked pages
  // don't advance it; the later page does.
  EXPECT_EQ(DestFile("AAB_001.jpg"), BigBody('2'));
  EXPECT_EQ(DestFile("AAB_002.jpg"), BigBody('1'));
  EXPECT_EQ(DestFile("AAB_003.jpg"), BigBody('l'));
  EXPECT_EQ(window.controls[IDC_FILE_PREFIX], "AAC_");
  // Linked pages stay out of the recent addresses.
  EXPECT_EQ(settings.recentAddresses,
            (std::vector<std::string>{Url("/later.html"), Url("/thumbs/index.html")}));
  EXPECT_EQ(window.title, "HV: Done.");
  EXPECT_EQ(window.controls[IDC_STATUS_LINE], "3 resources downloaded successfully.");
}

TEST_F(RunDriverTest, ALinkedPageNeverOpensAFurtherLastChance) {
  Page("/g.html", "<a href=\"inner.html\"><img src=\"t.jpg\"></a>");
  Serve("/t.jpg", SmallBody());
  StartSite();
  engine.destinationDir = dest.dir();
  engine.filePrefix = "AAA_";
  engine.URL_List.PushBack(Url("/g.html").c_str(), LinkedPageEntry);
  engine.Process_URL_List();
  EXPECT_EQ(SeenPaths(), (std::vector<std::string>{"/g.html", "/t.jpg"}));
  EXPECT_EQ(window.title, "HV: Error.");
  ASSERT_EQ(window.messages.size(), 1u);
  EXPECT_EQ(window.messages[0].text, "No useful resources were found in entered URL.");
}

TEST_F(RunDriverTest, FramePagesAreQueuedAndProcessedInTurn) {
  Page("/frames.html",
       "<frameset cols=\"50%,50%\"><frame src=\"left.html\"><frame src=\"right.php\"></frameset>");
  Page("/left.html", "<a href=\"l.jpg\">l</a>");
  Page("/right.php", "<a href=\"r.jpg\">r</a>");
  Serve("/l.jpg", BigBody('l'));
  Serve("/r.jpg", BigBody('r'));
  StartSite();
  StartWith(Url("/frames.html"));
  EXPECT_EQ(SeenPaths(), (std::vector<std::string>{"/frames.html", "/left.html", "/l.jpg",
                                                   "/right.php", "/r.jpg"}));
  EXPECT_EQ(DestFile("AAA_001.jpg"), BigBody('l'));
  EXPECT_EQ(DestFile("AAB_001.jpg"), BigBody('r'));
  EXPECT_EQ(window.recent,
            (std::vector<std::string>{Url("/right.php"), Url("/left.html"), Url("/frames.html")}));
}

TEST_F(RunDriverTest, AFramePageTheRunHasAlreadyReachedIsNotQueuedAgain) {
  // A page that frames itself, and two pages that frame each other.
  Page("/self.html",
       "<frameset><frame src=\"self.html\"><frame src=\"a.html\"><frame src=\"a.html\">"
       "</frameset><a href=\"s.jpg\">s</a>");
  Page("/a.html", "<frameset><frame src=\"b.html\"></frameset>");
  Page("/b.html",
       "<frameset><frame src=\"a.html\"><frame src=\"self.html\"></frameset>"
       "<a href=\"b.jpg\">b</a>");
  Serve("/s.jpg", BigBody('s'));
  Serve("/b.jpg", BigBody('b'));
  StartSite();
  // A run that goes round and round is stopped here instead of filling the disk.
  window.onPump = [this](int) {
    if (SeenPaths().size() > 30) engine.OnStop();
  };
  StartWith(Url("/self.html"));
  EXPECT_EQ(SeenPaths(),
            (std::vector<std::string>{"/self.html", "/s.jpg", "/a.html", "/b.html", "/b.jpg"}));
  EXPECT_EQ(window.title, "HV: Done.");

  // The next run starts afresh: the same page is processed again.
  StartWith(Url("/a.html"));
  EXPECT_EQ(SeenPaths().size(), 10u);
}

TEST_F(RunDriverTest, BaseTagRedirectsLaterReferences) {
  // The page names the site's own port, known only once it listens.
  site.server().Get("/a/page.html", [this](const httplib::Request& req, httplib::Response& res) {
    Record(req);
    res.set_content("<a href=\"before.jpg\">b</a><base href=\"" + Url("/other/") +
                        "\"><a href=\"after.jpg\">a</a>",
                    "text/html");
  });
  Serve("/a/before.jpg", BigBody('b'));
  Serve("/other/after.jpg", BigBody('a'));
  StartSite();
  StartWith(Url("/a/page.html"));
  EXPECT_EQ(SeenPaths(),
            (std::vector<std::string>{"/a/page.html", "/a/before.jpg", "/other/after.jpg"}));
}

TEST_F(RunDriverTest, TitleSplitOverLinesIsJoinedBySingleBlanks) {
  Page("/t.html", "<title>My   Holiday\r\n   Pictures</title><a href=\"x.jpg\">x</a>");
  Serve("/x.jpg", BigBody());
  StartSite();
  StartWith(Url("/t.html"));
  EXPECT_EQ(window.controls[IDC_PAGE_TITLE], "My Holiday Pictures");
  EXPECT_NE(DestFile("AAA_waddr.txt").find("Page Title: \"My Holiday Pictures\".\r\n"),
            std::string::npos);
}

TEST_F(RunDriverTest, DirectResourceIsStoredWithoutAPageAndKeepsThePrefix) {
  Serve("/photos/photo.JPG", BigBody('p'));
  StartSite();
  StartWith(Url("/photos/photo.JPG"));
  EXPECT_EQ(SeenPaths(), (std::vector<std::string>{"/photos/photo.JPG"}));
  EXPECT_EQ(Seen()[0].referer, Url("/photos"));
  EXPECT_EQ(DestFile("AAA_001.JPG"), BigBody('p'));
  EXPECT_EQ(window.controls[IDC_FILE_PREFIX], "AAA_");
  EXPECT_EQ(engine.fileCounter, 2);
  EXPECT_EQ(window.title, "HV: Done.");
  EXPECT_NE(DestFile("AAA_waddr.txt").find("Hyperlink container page: \"" + Url("/photos") + "\""),
            std::string::npos);
}

TEST_F(RunDriverTest, TheSameAddressTwiceRunsTwiceAndStandsOnceOnTopOfTheList) {
  Page("/p.html", "<a href=\"x.jpg\">x</a>");
  Serve("/x.jpg", BigBody());
  StartSite();
  settings.recentAddresses = {"http://older/", Url("/P.HTML")};
  engine.URL_List.PushBack(Url("/p.html").c_str(), PageEntry);
  StartWith(Url("/p.html"));
  // The page is fetched again; its picture, stored by the run already, is not.
  EXPECT_EQ(SeenPaths(), (std::vector<std::string>{"/p.html", "/x.jpg", "/p.html"}));
  EXPECT_EQ(settings.recentAddresses, (std::vector<std::string>{Url("/p.html"), "http://older/"}));
}

TEST_F(RunDriverTest, APageWithoutResourcesEndsInError) {
  Page("/empty.html", "<html><body>Nothing here</body></html>");
  StartSite();
  StartWith(Url("/empty.html"));
  EXPECT_EQ(window.title, "HV: Error.");
  EXPECT_EQ(window.controls[IDC_STATUS_LINE], "No resources downloaded.");
  ASSERT_EQ(window.messages.size(), 1u);
  EXPECT_EQ(window.messages[0].text, "No useful resources were found in entered URL.");
  EXPECT_EQ(window.messages[0].icon, MessageIcon::kStop);
  EXPECT_EQ(window.beeps, 0);
}

TEST_F(RunDriverTest, RefusedPagesShowTheStatusAndItsReason) {
  Serve("/gone.html", "<html>gone</html>", "text/html", 404);
  Serve("/secret.html", "<html>no</html>", "text/html", 403);
  Serve("/teapot.html", "<html>no</html>", "text/html", 418);
  StartSite();
  StartWith(Url("/gone.html"));
  EXPECT_EQ(window.RowStatuses(), (std::vector<std::string>{"ERR 404"}));
  EXPECT_EQ(window.title, "HV: Error.");
  ASSERT_EQ(window.messages.size(), 1u);
  EXPECT_EQ(window.messages[0].text,
            "Server found but it refused to send URL's source text. It returned HTTP error code "
            "404 (\"Resource not found\").");

  StartWith(Url("/secret.html"));
  EXPECT_EQ(window.messages.back().text,
            "Server found but it refused to send URL's source text. It returned HTTP error code "
            "403 (\"Forbidden access\").");
  StartWith(Url("/teapot.html"));
  EXPECT_EQ(window.messages.back().text,
            "Server found but it refused to send URL's source text. It returned HTTP error code "
            "418.");
}

TEST_F(RunDriverTest, OnlyTheLastPagesErrorIsShown) {
  Serve("/gone.html", "<html>gone</html>", "text/html", 404);
  Page("/empty.html", "<html></html>");
  StartSite();
  engine.URL_List.PushBack(Url("/gone.html").c_str(), PageEntry);
  StartWith(Url("/empty.html"));
  ASSERT_EQ(window.messages.size(), 1u);
  EXPECT_EQ(window.messages[0].text, "No useful resources were found in entered URL.");
}

TEST_F(RunDriverTest, AClosedPortGivesTheFirewallAdvice) {
  int port = 0;
  {
    LoopbackServer closed;
    ASSERT_TRUE(closed.Start());
    port = closed.port();
  }
  StartWith("http://127.0.0.1:" + std::to_string(port) + "/page.html");
  EXPECT_EQ(window.RowStatuses(), (std::vector<std::string>{"ERROR"}));
  ASSERT_EQ(window.messages.size(), 1u);
  EXPECT_EQ(
      window.messages[0].text,
      "Cannot Connect to Internet (WinInet Code: 0x2EFD).\n\nImportant: Among other causes, this "
      "error may occur because a firewall program (For example Symantec's Norton Internet "
      "Security) is blocking Harvelo from accessing Internet.\n\nTo resolve the problem, add "
      "Harvelo to the firewall's list of programs with access rights to Internet. Consult your "
      "firewall's documentation.");
}

TEST_F(RunDriverTest, StatusTextsFollowThePhasesAndTheQueue) {
  settings.skipDuplicates = 0;  // the three resources have the same bytes
  Page("/three.html", "<a href=\"1.jpg\">1</a><a href=\"2.jpg\">2</a><a href=\"3.jpg\">3</a>");
  for (const char* p : {"/1.jpg", "/2.jpg", "/3.jpg"}) Serve(p, BigBody());
  Page("/q1.html", "");
  Page("/q2.html", "");
  StartSite();
  engine.URL_List.PushBack(Url("/three.html").c_str(), PageEntry);
  engine.URL_List.PushBack(Url("/q1.html").c_str(), PageEntry);
  StartWith(Url("/q2.html"));
  EXPECT_TRUE(InOrder(window.CallsStartingWith("title"),
                      {"title HV: Prep... (2 Queued)", "title HV: 0% (2 queued)",
                       "title HV: 33% (2 queued)", "title HV: 66% (2 queued)",
                       "title HV: Prep... (1 Queued)", "title HV: Prep...", "title HV: Done."}));
  EXPECT_TRUE(
      Contains(window.calls, "text 1014 Downloading resource 2 of 3 (33% done, 2 queued)."));
  EXPECT_EQ(window.controls[IDC_STATUS_LINE], "3 resources downloaded successfully.");
}

TEST_F(RunDriverTest, StartPressedDuringARunQueuesForLater) {
  Page("/first.html", "<a href=\"1.jpg\">1</a>");
  Serve("/1.jpg", BigBody('1'));
  Page("/second.html", "<a href=\"2.jpg\">2</a>");
  Serve("/2.jpg", BigBody('2'));
  StartSite();
  bool pressed = false;
  window.onPump = [&](int) {
    if (!pressed && engine.busy) {
      pressed = true;
      StartWith(Url("/second.html"));
      EXPECT_EQ(window.title, "HV: Prep... (1 Queued)");
    }
  };
  StartWith(Url("/first.html"));
  EXPECT_EQ(SeenPaths(),
            (std::vector<std::string>{"/first.html", "/1.jpg", "/second.html", "/2.jpg"}));
  EXPECT_EQ(window.CallsStartingWith("clear log").size(), 1u);  // one run only
}

TEST_F(RunDriverTest, BatchFileQueuesEveryLineAnEmptyOneFailsAtTheFetch) {
  Page("/b1.html", "<a href=\"1.jpg\">1</a>");
  Page("/b2.html", "<a href=\"2.jpg\">2</a>");
  Serve("/1.jpg", BigBody('1'));
  Serve("/2.jpg", BigBody('2'));
  StartSite();
  TempDir other;
  WriteBytes(other.file("batch.txt"), Url("/b1.html") + "\r\n\r\n" + Url("/b2.html") + "\r\n");
  window.batchFile = other.file("batch.txt");
  engine.OnBatchFile();
  EXPECT_EQ(SeenPaths(), (std::vector<std::string>{"/b1.html", "/1.jpg", "/b2.html", "/2.jpg"}));
  EXPECT_EQ(window.RowStatuses(), (std::vector<std::string>{"Ok", "Ok", "ERROR", "Ok", "Ok"}));
  EXPECT_EQ(window.rows[2].address, "");
  EXPECT_EQ(window.title, "HV: Done.");
  EXPECT_TRUE(window.messages.empty());
}

TEST_F(RunDriverTest, ALongBatchLineStaysOneAddress) {
  const std::string longPath = "/long/" + std::string(280, 'x') + ".html";
  site.server().Get("/long/.*", [this](const httplib::Request& req, httplib::Response& res) {
    Record(req);
    res.set_content("<a href=\"/x.jpg\">x</a>", "text/html");
  });
  Serve("/x.jpg", BigBody());
  StartSite();
  ASSERT_GT(Url(longPath).size(), 300u);
  TempDir other;
  WriteBytes(other.file("batch.txt"), Url(longPath) + "\r\n");
  window.batchFile = other.file("batch.txt");
  engine.OnBatchFile();
  EXPECT_EQ(SeenPaths(), (std::vector<std::string>{longPath, "/x.jpg"}));
  EXPECT_EQ(window.RowStatuses(), (std::vector<std::string>{"Ok", "Ok"}));
}

TEST_F(RunDriverTest, PageLinksWithQueriesAreStoredUnderTheirExtension) {
  Page("/q.html", "<a href=\"big.jpg?id=3\">ok</a> <a href=\"evil.jpg?x=/../../x\">bad</a>");
  Serve("/big.jpg", BigBody('q'));
  Serve("/evil.jpg", BigBody('e'));
  StartSite();
  StartWith(Url("/q.html"));
  EXPECT_EQ(DestFile("AAA_001.jpg"), BigBody('q'));
  // Whatever became of the other link, nothing else was written.
  EXPECT_EQ(DestFiles(), (std::set<std::string>{"AAA_001.jpg", "AAA_waddr.txt", "HV_pref.cfg"}));
}

TEST_F(RunDriverTest, ADirectAddressWhoseExtensionHoldsAColonFails) {
  settings.targetTypes = ",JPG,J:PG";
  Serve("/a.j:pg", BigBody());
  StartSite();
  StartWith(Url("/a.j:pg"));
  EXPECT_EQ(window.RowStatuses(), (std::vector<std::string>{"ERROR"}));
  EXPECT_TRUE(SeenPaths().empty());
  EXPECT_EQ(DestFiles(), (std::set<std::string>{"AAA_waddr.txt", "HV_pref.cfg"}));
  EXPECT_EQ(window.title, "HV: Error.");
}

TEST_F(RunDriverTest, TraceMessagesMarkTheSteps) {
  settings.debug.trace = 1;
  Page("/thumbs.html", "<a href=\"p.html\"><img src=\"t.jpg\"></a>");
  Serve("/t.jpg", SmallBody());
  Page("/p.html", "<img src=\"b.jpg\">");
  Serve("/b.jpg", BigBody());
  StartSite();
  StartWith(Url("/thumbs.html"));
  std::vector<std::string> traces;
  for (const auto& m : window.messages) {
    EXPECT_EQ(m.icon, MessageIcon::kNone);
    EXPECT_EQ(m.buttons, MessageButtons::kOk);
    traces.push_back(m.text);
  }
  const std::string t = "DEBUG->\"TRACE\":\n\n";
  EXPECT_EQ(traces,
            (std::vector<std::string>{
                t + "Entering Process_URL_List().",
                t + "Entering Download_Source().",
                t + "I didn't found any links, but I found Embedded images, so I am going to call "
                    "Download_Images() with IMG_List.",
                t + "Entering Download_Images().",
                t + "Embedded images has failed. Last chance is with linked pages.",
                t + "This is the LAST chance. I am going to try with linked pages around images.",
                t + "Entering Download_Source().",
                t + "I didn't found any links, but I found Embedded images, so I am going to call "
                    "Download_Images() with IMG_List.",
                t + "Entering Download_Images().",
            }));
}

TEST_F(RunDriverTest, PauseOptionHoldsTheRunAfterThePageIsStored) {
  settings.debug.pause = 1;
  Page("/p.html", "<a href=\"x.jpg\">x</a>");
  Serve("/x.jpg", BigBody());
  StartSite();
  window.onMessage = [this](const ShownMessage&) {
    EXPECT_TRUE(Exists(dest.file("page.html")));
    EXPECT_EQ(window.rows[0].status, "Ok");
  };
  StartWith(Url("/p.html"));
  ASSERT_EQ(window.messages.size(), 1u);
  EXPECT_EQ(window.messages[0].text,
            "DEBUG->\"PAUSE\":\n\nSource page is now in destination directory.");
  EXPECT_EQ(window.messages[0].icon, MessageIcon::kNone);
}

TEST_F(RunDriverTest, StartDuringAResourceListKeepsTheResourceNumbers) {
  Page("/three.html", "<a href=\"1.jpg\">1</a><a href=\"2.jpg\">2</a><a href=\"3.jpg\">3</a>");
  for (const char* p : {"/1.jpg", "/2.jpg", "/3.jpg"}) Serve(p, BigBody());
  Page("/later.html", "");
  StartSite();
  bool pressed = false;
  window.onPump = [&](int) {
    if (!pressed && engine.runStatus == 33) {
      pressed = true;
      StartWith(Url("/later.html"));
      EXPECT_EQ(window.title, "HV: 33% (1 queued)");
      EXPECT_EQ(window.controls[IDC_STATUS_LINE],
                "Downloading resource 2 of 3 (33% done, 1 queued).");
    }
  };
  StartWith(Url("/three.html"));
  EXPECT_TRUE(pressed);
}

TEST_F(RunDriverTest, NoPageCopyIsLeftBehindWhateverThePageGave) {
  Serve("/gone.html", "<html>gone</html>", "text/html", 404);
  Page("/empty.html", "<html><body>Nothing here</body></html>");
  StartSite();
  StartWith(Url("/gone.html"));
  EXPECT_FALSE(Exists(dest.file("page.html")));
  StartWith(Url("/empty.html"));
  EXPECT_FALSE(Exists(dest.file("page.html")));
  EXPECT_TRUE(DestFiles().empty() || DestFiles() == std::set<std::string>{"HV_pref.cfg"});
}

TEST_F(RunDriverTest, ALaterDirectResourceLeavesTheUsersOwnPageHtmlAlone) {
  Page("/empty.html", "<html><body>Nothing here</body></html>");
  Serve("/d.jpg", BigBody());
  StartSite();
  StartWith(Url("/empty.html"));
  WriteBytes(dest.file("page.html"), "the user's own page");
  StartWith(Url("/d.jpg"));
  EXPECT_EQ(DestFile("AAA_001.jpg"), BigBody());
  EXPECT_EQ(DestFile("page.html"), "the user's own page");
}

// What a killed run left in the destination (its partial files and its page copy) goes
// at the next run; another live process's partial file and a page.html the user put in
// place of the copy stay.
TEST_F(RunDriverTest, ARunRemovesWhatAKilledRunLeftBehind) {
  Serve("/d.jpg", BigBody());
  StartSite();
  const std::string live = dest.file(".harvelo." + std::to_string(::getppid()) + "-3.hvpart");
  WriteBytes(live, "another run's transfer");
  for (const bool userReplacedTheCopy : {false, true}) {
    SCOPED_TRACE(userReplacedTheCopy);
    const pid_t killed = ::fork();
    if (killed == 0) {
      // Its bodies under way, and (as earlier versions named them) beside their names.
      const std::string pid = std::to_string(::getpid());
      WriteBytes(dest.file(".harvelo." + pid + "-7.hvpart"), "half");
      WriteBytes(dest.file(".harvelo." + pid + "-12.hvpart"), "half");
      WriteBytes(dest.file("AAA_009.jpg." + pid + ".hvpart"), "half");
      WriteBytes(dest.file("page.html"), "<html>the run's copy</html>");
      PageCopy copy;
      copy.Stored(dest.file("page.html"));
      ::raise(SIGKILL);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(killed, &status, 0), killed);
    ASSERT_EQ(DestFiles().count(".harvelo-page-" + std::to_string(killed)), 1u);
    if (userReplacedTheCopy) {
      std::filesystem::remove(dest.file("page.html"));
      WriteBytes(dest.file("page.html"), "the user's own page");
    }
    StartWith(Url("/d.jpg"));
    std::set<std::string> expected{"AAA_001.jpg", "AAA_waddr.txt", "HV_pref.cfg",
                                   std::filesystem::path(live).filename().string()};
    if (userReplacedTheCopy) expected.insert({"AAA_002.jpg", "page.html"});
    EXPECT_EQ(DestFiles(), expected);
  }
}

}  // namespace
}  // namespace harvelo::testing
