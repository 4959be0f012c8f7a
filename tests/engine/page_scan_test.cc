#include "engine/page_scan.h"

#include <gtest/gtest.h>

#include <string>
#include <unordered_set>
#include <vector>

#include "support/temp_dir.h"

namespace harvelo {
namespace {

struct Queued {
  std::string text;
  int kind;
  std::string cookie;
  std::string referrer;
  bool operator==(const Queued&) const = default;
};

std::vector<std::string> Texts(CNameList& list) {
  std::vector<std::string> out;
  for (; list.Count() > 0; list.PopFront()) {
    EXPECT_EQ(list.FrontKind(), ResourceEntry);
    out.push_back(list.FrontText());
  }
  return out;
}

using Texts_t = std::vector<std::string>;

class PageScan : public ::testing::Test {
 protected:
  void Scan(std::string_view page) {
    HTMLFile file;
    file.OpenMemory(page);
    ScanPage(file, Target());
  }

  PageScanTarget Target() {
    PageScanTarget t{};
    t.targetTypes = &types;
    t.pageAddress = &page;
    t.pageTitle = &title;
    t.links = &links;
    t.images = &images;
    t.pages = &pages;
    t.queue = &queue;
    t.cookie = cookie;
    t.referrer = referrer;
    t.onBase = [this](const std::string& b) { baseCalls.push_back(b); };
    return t;
  }

  std::vector<Queued> Queue() {
    std::vector<Queued> out;
    for (; queue.Count() > 0; queue.PopFront()) {
      out.push_back({queue.FrontText(), queue.FrontKind(),
                     queue.FrontCookie() ? queue.FrontCookie() : "(null)",
                     queue.FrontReferrer() ? queue.FrontReferrer() : "(null)"});
    }
    return out;
  }

  std::string types = ",JPG,JPEG,MPG,MPEG";
  std::string page = "http://example.com/gallery/index.html";
  std::string title;
  const char* cookie = nullptr;
  const char* referrer = nullptr;
  CNameList links, images, pages, queue;
  std::vector<std::string> baseCalls;
};

// --- Hyperlinked resources ---

TEST_F(PageScan, LinkToATargetTypeIsResolvedIntoTheLinkList) {
  Scan("<a href=\"photos/big.jpg\">x</a> <A HREF=\"/top.JPEG\"> <a href=\"www.other.com/o.jpg\">");
  EXPECT_EQ(Texts(links),
            Texts_t({"http://example.com/gallery/photos/big.jpg", "http://example.com/top.JPEG",
                     "http://example.com/gallery/www.other.com/o.jpg"}));
  EXPECT_EQ(images.Count() + pages.Count() + queue.Count(), 0);
}

TEST_F(PageScan, QueryIsCutForTheLinkTestButKeptInTheAddress) {
  Scan("<a href=\"big.JPG?id=3\"><img src=\"big.jpg?id=3\">");
  EXPECT_EQ(Texts(links), Texts_t({"http://example.com/gallery/big.JPG?id=3"}));
  EXPECT_EQ(images.Count(), 0);
}

TEST_F(PageScan, TheTypeTestIsASubstringSearchAnchoredByTheComma) {
  Scan("<a href=a.jp><a href=b.mpe><a href=c.pg><a href=d.><a href=noext><a href=e.gif>");
  EXPECT_EQ(Texts(links),
            Texts_t({"http://example.com/gallery/a.jp", "http://example.com/gallery/b.mpe",
                     "http://example.com/gallery/d."}));
}

TEST_F(PageScan, ClosingATagsAndUnquotedTrailingAttributesAreNotLinks) {
  Scan("</a href=x.jpg><a HREF=x.jpg TARGET=_blank><area href=\"map.jpg\">");
  EXPECT_EQ(Texts(links), Texts_t({"http://example.com/gallery/map.jpg"}));
}

TEST_F(PageScan, CompleteAddressesOnHttpsAndSingleDotHosts) {
  Scan(
      "<a href=\"http://localhost/a.jpg\"><img src=\"//cdn.example.net/b.jpg\">"
      "<img src='https://intranet/c.jpg'>");
  EXPECT_EQ(Texts(links), Texts_t({"http://localhost/a.jpg"}));
  EXPECT_EQ(Texts(images), Texts_t({"http://cdn.example.net/b.jpg", "https://intranet/c.jpg"}));
}

// --- Embedded images and the pages around them ---

TEST_F(PageScan, ImageDirectlyInsideAPageLinkListsBoth) {
  Scan(
      "<a href=\"page2.html\">\n  <img src=\"t2.jpg\"></a>"
      "<a href=page3.php><img src=t3.jpg>");
  EXPECT_EQ(Texts(images),
            Texts_t({"http://example.com/gallery/t2.jpg", "http://example.com/gallery/t3.jpg"}));
  EXPECT_EQ(Texts(pages), Texts_t({"http://example.com/gallery/page2.html",
                                   "http://example.com/gallery/page3.php"}));
  EXPECT_EQ(links.Count(), 0);
}

TEST_F(PageScan, AnythingButBlanksTitleOrBaseBetweenBreaksThePageLink) {
  Scan(
      "<a href=p1.html>word<img src=t1.jpg>"
      "<a href=p2.html><br><img src=t2.jpg>"
      "<a href=p3.html></a><img src=t3.jpg>"
      "<a href=p4.html><img src=t4.gif><img src=t4.jpg>"
      "<a href=p5.html><frame src=f.html><img src=t5.jpg>"
      "<a href=p6.html><title></title><base href=\"http://b.com/d/\"><img src=t6.jpg>");
  EXPECT_EQ(images.Count(), 6);
  EXPECT_EQ(Texts(pages), Texts_t({"http://b.com/d/p6.html"}));
}

TEST_F(PageScan, OnlyPageTypesMakeAPendingLink) {
  Scan(
      "<a href=a.aspx><img src=1.jpg><a href=b.shtml><img src=2.jpg>"
      "<a href=c.htm?x=1><img src=3.jpg><a href=d.cgi><img src=4.jpg><a href=e><img src=5.jpg>");
  EXPECT_EQ(Texts(pages),
            Texts_t({"http://example.com/gallery/c.htm?x=1", "http://example.com/gallery/d.cgi"}));
}

TEST_F(PageScan, ClosingImgTagsCountAndLowsrcIsTakenFirst) {
  Scan("</img src=c.jpg><img lowsrc=\"low.jpg\" src=\"high.gif\"><img lowsrc=l.gif src=h.jpg>");
  // The unquoted LOWSRC runs on to the '>'.
  EXPECT_EQ(Texts(images),
            Texts_t({"http://example.com/gallery/c.jpg", "http://example.com/gallery/low.jpg",
                     "http://example.com/gallery/l.gif%20src=h.jpg"}));
}

// --- Frames ---

TEST_F(PageScan, FramesAreQueuedAsPagesWhateverTheirExtension) {
  cookie = "sid=9";
  referrer = "http://ref.com/";
  Scan("<frameset rows=2><frame src=\"menu.jpg\"><FRAME SRC=/main.asp></frameset></frame src=z>");
  const std::vector<Queued> expected = {
      {"http://example.com/gallery/menu.jpg", PageEntry, "sid=9", "http://ref.com/"},
      {"http://example.com/main.asp", PageEntry, "sid=9", "http://ref.com/"},
      {"http://example.com/gallery/z", PageEntry, "sid=9", "http://ref.com/"}};
  EXPECT_EQ(Queue(), expected);
  EXPECT_EQ(links.Count() + images.Count(), 0);
}

TEST_F(PageScan, FramesOfAnEntryWithoutCookieOrReferrerCarryNull) {
  cookie = "";
  Scan("<frame src=f.html>");
  const std::vector<Queued> expected = {
      {"http://example.com/gallery/f.html", PageEntry, "(null)", "(null)"}};
  EXPECT_EQ(Queue(), expected);
}

TEST_F(PageScan, FramesGoAfterWhatIsAlreadyQueued) {
  queue.PushBack("http://earlier/", PageEntry);
  Scan("<frame src=f.html>");
  ASSERT_EQ(queue.Count(), 2);
  EXPECT_STREQ(queue.FrontText(), "http://earlier/");
}

// --- BASE ---

TEST_F(PageScan, BaseRedirectsTheReferencesThatFollowIt) {
  Scan(
      "<img src=before.jpg><base href=\"http://other.org/pics/\"><img src=after.jpg>"
      "<img src=/root.jpg>");
  EXPECT_EQ(Texts(images),
            Texts_t({"http://example.com/gallery/before.jpg", "http://other.org/pics/after.jpg",
                     "http://other.org/root.jpg"}));
  EXPECT_EQ(baseCalls, Texts_t({"http://other.org/pics/"}));
}

TEST_F(PageScan, BasefontCountsAsBaseButWithoutHrefChangesNothing) {
  Scan("<basefont size=3><base target=_top><img src=a.jpg>");
  EXPECT_TRUE(baseCalls.empty());
  EXPECT_EQ(Texts(images), Texts_t({"http://example.com/gallery/a.jpg"}));
}

TEST_F(PageScan, OnlyTheFirstBaseCountsResolvedAgainstThePage) {
  Scan(
      "<base href=\" sub/page.html \"><img src=a.jpg><base href=\"http://o.org/\"><img src=b.jpg>");
  EXPECT_EQ(baseCalls, Texts_t({"http://example.com/gallery/sub/page.html"}));
  EXPECT_EQ(Texts(images), Texts_t({"http://example.com/gallery/sub/a.jpg",
                                    "http://example.com/gallery/sub/b.jpg"}));
}

TEST_F(PageScan, EveryKindOfReferenceIsResolvedTheSameWay) {
  // The dot names the old rule took for complete addresses, in each place a reference
  // stands, with and without the modern reading.
  const char* markup =
      "<a href=\"photo.large.jpg\"><a href=\"./p.html\"><img src=\"IMG_1.min.jpg\">"
      "<frame src=\"f.v2.html\"><img srcset=\"s.small.jpg 1x, s.big.jpg 2x\">";
  for (const bool modern : {false, true}) {
    HTMLFile file(modern ? kModernTagBufferSize : 512);
    file.OpenMemory(markup);
    PageScanTarget t = Target();
    t.modernPages = modern;
    ScanPage(file, t);
    EXPECT_EQ(Texts(links), Texts_t({"http://example.com/gallery/photo.large.jpg"}));
    EXPECT_EQ(Texts(pages), Texts_t({"http://example.com/gallery/p.html"}));
    EXPECT_EQ(Texts(images), modern ? Texts_t({"http://example.com/gallery/IMG_1.min.jpg",
                                               "http://example.com/gallery/s.big.jpg"})
                                    : Texts_t({"http://example.com/gallery/IMG_1.min.jpg"}));
    EXPECT_EQ(Queue().at(0).text, "http://example.com/gallery/f.v2.html");
  }
}

TEST_F(PageScan, WithoutCallbackABaseTagStillApplies) {
  HTMLFile file;
  file.OpenMemory("<base href=\"https://s.net/x/y\"><img src=/a.jpg>");
  PageScanTarget t = Target();
  t.onBase = nullptr;
  ScanPage(file, t);
  EXPECT_EQ(Texts(images), Texts_t({"https://s.net/a.jpg"}));
}

// --- Title ---

TEST_F(PageScan, TitleWordsAreJoinedBySingleBlanks) {
  Scan("<head><title>\n  Summer   Holiday\r\n\t2003 </title></head><body>Not title</body>");
  EXPECT_EQ(title, "Summer Holiday 2003");
}

TEST_F(PageScan, TitleTagsInsideTheTitleAndSecondTitlesAppend) {
  Scan("<title>One <b>Two</b></title> x <TITLE>Three</TITLE>");
  EXPECT_EQ(title, "One Two Three");
}

TEST_F(PageScan, UnclosedTitleTakesTheRestOfThePageAndTitleTagsKeepTheLink) {
  Scan("<a href=p.html><title>Gallery<img src=t.jpg>");
  EXPECT_EQ(title, "Gallery");
  EXPECT_EQ(pages.Count(), 0);  // the title word between broke the link
  Scan("<a href=q.html><title><img src=u.jpg>");
  EXPECT_EQ(Texts(pages), Texts_t({"http://example.com/gallery/q.html"}));
}

TEST_F(PageScan, AnEndlessTitleKeepsItsFirst64KBAndTheRestOfThePageIsStillRead) {
  std::string page = "<title>";
  for (int i = 0; i < 40000; ++i) page += "word ";
  page += "</title><a href=after.jpg>";
  Scan(page);
  EXPECT_EQ(title.size(), 64u * 1024);
  EXPECT_TRUE(title.starts_with("word word "));
  EXPECT_EQ(Texts(links), Texts_t({"http://example.com/gallery/after.jpg"}));
}

TEST_F(PageScan, AFramePageAlreadyReachedIsNotQueuedAgain) {
  std::unordered_set<std::string> reached = {"http://example.com/gallery/self.html"};
  HTMLFile file;
  file.OpenMemory("<frame src=self.html><frame src=a.html><frame src=A.html><frame src=a.html>");
  PageScanTarget target = Target();
  target.reachedPages = &reached;
  ScanPage(file, target);
  const auto queued = Queue();
  ASSERT_EQ(queued.size(), 2u);
  EXPECT_EQ(queued[0].text, "http://example.com/gallery/a.html");
  EXPECT_EQ(queued[1].text, "http://example.com/gallery/A.html");
  EXPECT_EQ(reached.size(), 3u);
}

// --- Whole pages ---

TEST_F(PageScan, EmptyPageFillsNothing) {
  Scan("");
  EXPECT_EQ(links.Count() + images.Count() + pages.Count() + queue.Count(), 0);
  EXPECT_EQ(title, "");
}

TEST_F(PageScan, AReferenceBeyondTheFirst511CharactersOfATagIsLost) {
  Scan("<img alt=\"" + std::string(600, 'a') + "\" src=\"lost.jpg\"><img src=kept.jpg>");
  EXPECT_EQ(Texts(images), Texts_t({"http://example.com/gallery/kept.jpg"}));
}

TEST_F(PageScan, StoredPageWithCrLfLineBreaks) {
  testing::TempDir tmp;
  testing::WriteBytes(tmp.file("page.html"),
                      "<html>\r\n<title>A\r\nB</title>\r\n<a\r\nhref=\"x/1.jpg\"\r\n>\r\n"
                      "<a href=\"2.html\">\r\n<img\r\nsrc='t.jpg'>\r\n</html>\r\n");
  HTMLFile file;
  ASSERT_TRUE(file.Open(tmp.file("page.html")));
  ScanPage(file, Target());
  EXPECT_EQ(title, "A B");
  EXPECT_EQ(Texts(links), Texts_t({"http://example.com/gallery/x/1.jpg"}));
  EXPECT_EQ(Texts(images), Texts_t({"http://example.com/gallery/t.jpg"}));
  EXPECT_EQ(Texts(pages), Texts_t({"http://example.com/gallery/2.html"}));
}

}  // namespace
}  // namespace harvelo
