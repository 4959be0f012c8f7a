// Runs on pages as others write them: what the server is asked for is the address a
// browser would ask for.
#include <algorithm>

#include "engine_fixture.h"

namespace harvelo::testing {
namespace {

using PageAddressesRunTest = EngineTest;

TEST_F(PageAddressesRunTest, ReferencesAreRequestedAtTheAddressABrowserRequests) {
  settings.modernPages = 0;
  settings.skipDuplicates = 0;
  Page("/dir/two.html",
       "<A HREF=\"photo.large.jpg\"> <a href=\"./b.jpg\"> <a href=\"sub/../c.min.jpg?v=2#x\">"
       "<a href=\" /root/d.jpg \"> <a href=\"a.jpg,b.jpg\">"
       "<base href=\"sub/\"><base href=\"/other/\"><a href=\"e.jpg\"><a href=\"../f.jpg\">");
  for (const char* path : {"/dir/photo.large.jpg", "/dir/b.jpg", "/dir/c.min.jpg", "/root/d.jpg",
                           "/dir/a.jpg,b.jpg", "/dir/sub/e.jpg", "/dir/f.jpg"}) {
    Serve(path, BigBody());
  }
  StartSite();
  StartWith(Url("/dir/two.html"));
  EXPECT_EQ(SeenPaths(),
            (std::vector<std::string>{"/dir/two.html", "/dir/photo.large.jpg", "/dir/b.jpg",
                                      "/dir/c.min.jpg", "/root/d.jpg", "/dir/a.jpg,b.jpg",
                                      "/dir/sub/e.jpg", "/dir/f.jpg"}));
  EXPECT_TRUE(DestFiles().contains("AAA_007.jpg"));
}

// A picture a page shows three times, and its frame once more.
struct RepeatCase {
  int skipDuplicates;
  int requestsOfThePicture;
  std::vector<std::string> rows;  // of the picture's mentions, in the order met
};

TEST_F(PageAddressesRunTest, AnAddressStoredInTheRunIsNotAskedForAgain) {
  Page("/one.html",
       "<img src=\"p.jpg\"><img src=\"q.jpg\"><img src=\"./p.jpg\"><img src=\"p.jpg\">"
       "<frame src=\"two.html\">");
  Page("/two.html", "<a href=\"/p.jpg\"><a href=\"r.jpg\">");
  Serve("/p.jpg", BigBody('p'));
  Serve("/q.jpg", BigBody('q'));
  Serve("/r.jpg", BigBody('r'));
  StartSite();
  window.controls[IDC_AUTO_INCREMENT] = "0";  // one prefix for both pages
  const RepeatCase cases[] = {
      {1, 1, {"Ok", "Duplicate", "Duplicate", "Duplicate"}},
      {0, 4, {"Ok", "Ok", "Ok", "Ok"}},  // as it always was
  };
  for (const RepeatCase& c : cases) {
    SCOPED_TRACE("Skip Dupes " + std::to_string(c.skipDuplicates));
    settings.skipDuplicates = c.skipDuplicates;
    window.rows.clear();
    window.controls[IDC_FILE_PREFIX] = c.skipDuplicates ? "S_" : "K_";
    const size_t before = SeenPaths().size();
    StartWith(Url("/one.html"));  // and its frame, in the same run
    const std::vector<std::string> all = SeenPaths();
    const std::vector<std::string> seen(all.begin() + static_cast<long>(before), all.end());
    EXPECT_EQ(std::count(seen.begin(), seen.end(), "/p.jpg"), c.requestsOfThePicture);
    std::vector<std::string> rows;
    std::string firstFile;
    for (auto r = window.rows.rbegin(); r != window.rows.rend(); ++r) {
      if (!r->address.ends_with("/p.jpg")) continue;
      rows.push_back(r->status);
      if (firstFile.empty()) firstFile = r->filePath;
      // A duplicate names the file that holds its bytes.
      if (r->status == "Duplicate") {
        EXPECT_EQ(r->filePath, firstFile);
      }
    }
    EXPECT_EQ(rows, c.rows);
    // The numbers of the duplicates went to the next pictures: the second page's r.jpg.
    if (c.skipDuplicates) {
      EXPECT_TRUE(DestFiles().contains("S_003.jpg"));
      EXPECT_FALSE(DestFiles().contains("S_004.jpg"));
      const std::string log = DestFile("S_waddr.txt");
      size_t duplicates = 0;
      for (size_t at = log.find("[DUPLICATE]"); at != std::string::npos;
           at = log.find("[DUPLICATE]", at + 1)) {
        ++duplicates;
      }
      EXPECT_EQ(duplicates, 3u);
    }
  }
}

TEST_F(PageAddressesRunTest, ALazyPictureAndItsNoscriptCopyAreOneFile) {
  settings.modernPages = 1;
  Page("/lazy.html",
       "<picture><source data-srcset=\"h-800.jpg 800w, h-1600.jpg 1600w\">"
       "<img class=\"lazyload\" data-src=\"h-400.jpg\"></picture>"
       "<noscript><picture><source srcset=\"h-800.jpg 800w\"><img src=\"h-400.jpg\"></picture>"
       "</noscript>");
  for (const char* path : {"/h-400.jpg", "/h-800.jpg", "/h-1600.jpg"})
    Serve(path, BigBody(path[3]));
  StartSite();
  StartWith(Url("/lazy.html"));
  EXPECT_EQ(SeenPaths(), (std::vector<std::string>{"/lazy.html", "/h-1600.jpg"}));
}

}  // namespace
}  // namespace harvelo::testing
