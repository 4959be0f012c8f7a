#include "engine_fixture.h"

namespace harvelo::testing {
namespace {

class ResourceDownloadTest : public EngineTest {
 protected:
  void SetUp() override {
    Serve("/img/a.jpg", BigBody('a'));
    Serve("/img/b.jpg", BigBody('b'));
    Serve("/img/c.gif", BigBody('c'), "image/gif");
    Serve("/img/small1.jpg", SmallBody());
    Serve("/img/small2.jpg", SmallBody());
    Serve("/img/missing.jpg", BigBody('m'), "text/html", 404);
    Serve("/img/q.jpg", BigBody('q'));
    Page("/gallery/page.html", "<a href=\"../img/a.jpg\">a</a>");
    StartSite();
    engine.destinationDir = dest.dir();
    engine.filePrefix = "AAA_";
  }

  int Download(const std::vector<std::string>& paths, int mode = 2) {
    for (const auto& p : paths) engine.IMG_List.PushBack(Url(p).c_str(), ResourceEntry);
    return engine.Download_Images(Url("/gallery/index.html"), engine.IMG_List, mode, "");
  }
};

TEST_F(ResourceDownloadTest, NamesFilesFromPrefixAndRunningNumber) {
  engine.filePrefix = "pic_";
  EXPECT_EQ(Download({"/img/a.jpg", "/img/c.gif"}), 2);
  EXPECT_EQ(DestFile("pic_001.jpg"), BigBody('a'));
  EXPECT_EQ(DestFile("pic_002.gif"), BigBody('c'));
  EXPECT_EQ(engine.fileCounter, 3);
  EXPECT_EQ(window.RowStatuses(), (std::vector<std::string>{"Ok", "Ok"}));
  EXPECT_EQ(window.rows[0].filePath, dest.file("pic_002.gif"));
  EXPECT_EQ(window.rows[0].address, Url("/img/c.gif"));
  for (const auto& r : Seen()) EXPECT_EQ(r.referer, Url("/gallery/index.html")) << r.path;
}

TEST_F(ResourceDownloadTest, EachRowStartsInProgressAndIsReplacedByItsOutcome) {
  Download({"/img/a.jpg", "/img/missing.jpg"});
  EXPECT_EQ(window.CallsStartingWith("row"),
            (std::vector<std::string>{
                "row In Progress | " + dest.file("AAA_001.jpg") + " | " + Url("/img/a.jpg"),
                "row Ok | " + dest.file("AAA_001.jpg") + " | " + Url("/img/a.jpg"),
                "row In Progress | " + dest.file("AAA_002.jpg") + " | " + Url("/img/missing.jpg"),
                "row ERR 404 | " + dest.file("AAA_002.jpg") + " | " + Url("/img/missing.jpg"),
            }));
  EXPECT_EQ(window.CallsStartingWith("delete"), (std::vector<std::string>{"delete 0", "delete 0"}));
  // A refused resource leaves no file behind.
  EXPECT_EQ(DestFiles(), (std::set<std::string>{"AAA_001.jpg", "AAA_waddr.txt"}));
}

TEST_F(ResourceDownloadTest, ProgressBarsFollowTheList) {
  Download({"/img/a.jpg", "/img/b.jpg", "/img/c.gif"});
  const auto ranges = window.CallsStartingWith("range");
  EXPECT_EQ(ranges, (std::vector<std::string>{"range 1005 0 3", "range 1021 0 99"}));
  const auto total = window.CallsStartingWith("pos 1005");
  EXPECT_EQ(total,
            (std::vector<std::string>{"pos 1005 0", "pos 1005 1", "pos 1005 2", "pos 1005 3"}));
  EXPECT_EQ(window.CallsStartingWith("pos 1021").back(), "pos 1021 100");
}

TEST_F(ResourceDownloadTest, SmallResourcesAreDiscardedAndGiveTheirNumberBack) {
  EXPECT_EQ(Download({"/img/small1.jpg", "/img/a.jpg", "/img/small2.jpg", "/img/b.jpg"}), 2);
  EXPECT_EQ(window.RowStatuses(), (std::vector<std::string>{"Ok", "Too Small", "Ok", "Too Small"}));
  EXPECT_EQ(DestFiles(), (std::set<std::string>{"AAA_001.jpg", "AAA_002.jpg", "AAA_waddr.txt"}));
  EXPECT_EQ(DestFile("AAA_001.jpg"), BigBody('a'));
  EXPECT_EQ(DestFile("AAA_002.jpg"), BigBody('b'));
  EXPECT_EQ(engine.fileCounter, 3);
}

TEST_F(ResourceDownloadTest, ANameInUseGetsANumberedVariant) {
  WriteBytes(dest.file("AAA_001.jpg"), "older picture");
  EXPECT_EQ(Download({"/img/a.jpg", "/img/b.jpg"}), 2);
  EXPECT_EQ(DestFile("AAA_001.jpg"), "older picture");
  EXPECT_EQ(DestFile("AAA_001_02.jpg"), BigBody('a'));
  EXPECT_EQ(DestFile("AAA_002.jpg"), BigBody('b'));
}

TEST_F(ResourceDownloadTest, WebAddressLogHeaderOnceThenOneLinePerResource) {
  engine.pageTitle = "My Holiday";
  EXPECT_EQ(Download({"/img/a.jpg", "/img/small1.jpg", "/img/missing.jpg"}), 1);
  const std::string page = Url("/gallery/index.html");
  const std::string header =
      "*** WEB ADDRESS ORIGINAL RESOURCE LOCATION ***\r\n\r\n"
      "Created with Harvelo version 1.0.\r\n"
      "Hyperlink container page: \"" +
      page +
      "\".\r\n"
      "Page Title: \"My Holiday\".\r\n"
      "File Index:\r\n\r\n";
  const std::string first =
      "[   OK    ]  \"" + Url("/img/a.jpg") + "\" -> \"file://" + dest.file("AAA_001.jpg") +
      "\".\r\n" + "[TOO SMALL]  \"" + Url("/img/small1.jpg") + "\".\r\n" + "[ ERR=404 ]  \"" +
      Url("/img/missing.jpg") + "\" -> \"file://" + dest.file("AAA_002.jpg") + "\".\r\n";
  EXPECT_EQ(DestFile("AAA_waddr.txt"), header + first);

  // A second list with the same prefix appends without a second header.
  engine.pageTitle = "Another";
  EXPECT_EQ(Download({"/img/b.jpg"}), 1);
  EXPECT_EQ(DestFile("AAA_waddr.txt"), header + first + "[   OK    ]  \"" + Url("/img/b.jpg") +
                                           "\" -> \"file://" + dest.file("AAA_003.jpg") +
                                           "\".\r\n");
}

TEST_F(ResourceDownloadTest, WebAddressLogCanBeSwitchedOff) {
  settings.generateWebAddressLog = 0;
  Download({"/img/a.jpg"});
  EXPECT_EQ(DestFiles(), (std::set<std::string>{"AAA_001.jpg"}));
}

TEST_F(ResourceDownloadTest, ThePageCopyIsRemovedAfterTheList) {
  std::string error;
  ASSERT_EQ(engine.Download_Source(Url("/gallery/page.html"), "", "", error), 1) << error;
  ASSERT_EQ(engine.pagePath, dest.file("page.html"));
  Download({"/img/a.jpg"});
  EXPECT_FALSE(Exists(engine.pagePath));
}

TEST_F(ResourceDownloadTest, AFileTheRunDidNotStoreIsNeverRemovedAsThePageCopy) {
  engine.pagePath = dest.file("page.html");
  WriteBytes(engine.pagePath, "<html>the user's</html>");
  Download({"/img/a.jpg"});
  EXPECT_EQ(DestFile("page.html"), "<html>the user's</html>");
}

TEST_F(ResourceDownloadTest, PrefixAdvancesOnlyInPageModeWithTheBoxTicked) {
  Download({"/img/a.jpg"}, 2);
  EXPECT_EQ(engine.filePrefix, "AAA_");
  EXPECT_EQ(engine.fileCounter, 2);
  Download({"/img/b.jpg"}, 1);
  EXPECT_EQ(engine.filePrefix, "AAB_");
  EXPECT_EQ(engine.fileCounter, 1);
  window.controls[IDC_AUTO_INCREMENT] = "0";
  Download({"/img/c.gif"}, 1);
  EXPECT_EQ(engine.filePrefix, "AAB_");
  EXPECT_EQ(engine.fileCounter, 2);
  // Even a list that stored nothing advances it.
  window.controls[IDC_AUTO_INCREMENT] = "1";
  engine.filePrefix = "pic9_";
  Download({"/img/small1.jpg"}, 1);
  EXPECT_EQ(engine.filePrefix, "pid0_");
  EXPECT_EQ(engine.fileCounter, 1);
}

TEST_F(ResourceDownloadTest, QueryAndFragmentStayOutOfTheFileName) {
  EXPECT_EQ(Download({"/img/q.jpg?id=3", "/img/a.jpg#part"}), 2);
  EXPECT_EQ(DestFiles(), (std::set<std::string>{"AAA_001.jpg", "AAA_002.jpg", "AAA_waddr.txt"}));
  EXPECT_EQ(DestFile("AAA_001.jpg"), BigBody('q'));
}

TEST_F(ResourceDownloadTest, AnExtensionThatNamesAnotherPlaceFailsWithoutWritingAnything) {
  settings.debug.trace = 1;
  EXPECT_EQ(Download({"/img/evil.jpg?x=/../../x", "/img/a.j:pg", "/img/b.jpg"}), 1);
  EXPECT_EQ(window.RowStatuses(), (std::vector<std::string>{"Ok", "ERROR", "ERROR"}));
  EXPECT_EQ(window.rows[2].filePath, dest.file("AAA_001./x"));
  EXPECT_EQ(window.rows[1].filePath, dest.file("AAA_002.j:pg"));
  // Nothing was asked of the site for them, and nothing but the good file was written.
  EXPECT_EQ(SeenPaths(), (std::vector<std::string>{"/img/b.jpg"}));
  EXPECT_EQ(DestFiles(), (std::set<std::string>{"AAA_003.jpg", "AAA_waddr.txt"}));
  EXPECT_NE(DestFile("AAA_waddr.txt")
                .find("[  ERROR  ]  \"" + Url("/img/a.j:pg") + "\" -> \"file://" +
                      dest.file("AAA_002.j:pg") + "\".\r\n"),
            std::string::npos);
  // The trace explains it as a file that can't be created.
  std::vector<std::string> errors;
  for (const auto& m : window.messages) {
    if (m.icon == MessageIcon::kError) errors.push_back(m.text);
  }
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_EQ(errors[1], "DEBUG->\"TRACE\":\n\nError downloading " + Url("/img/a.j:pg") +
                           ":\n\nWinInet Code: 0 (0x0)\nDescrip: Cannot create output "
                           "file.\nContext: fopen(,\"wb\")");
}

}  // namespace
}  // namespace harvelo::testing
