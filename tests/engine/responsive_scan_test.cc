// The page scan with pages as they are written today: srcset, lazy-loading attributes,
// PICTURE, image addresses with a query; and exactly the old rules with the setting off.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/page_scan.h"
#include "engine/responsive_images.h"
#include "engine/tag_attributes.h"

namespace harvelo {
namespace {

using Strings = std::vector<std::string>;

Strings Drain(CNameList& list) {
  Strings out;
  for (; list.Count() > 0; list.PopFront()) out.push_back(list.FrontText());
  return out;
}

struct Lists {
  Strings links, images, pages;
};

Lists Scan(std::string_view page, bool modern, const std::string& types = ",JPG,JPEG,PNG") {
  const std::string address = "http://g.example.com/album/index.html";
  std::string title;
  CNameList links, images, pages, queue;
  PageScanTarget target{};
  target.targetTypes = &types;
  target.pageAddress = &address;
  target.pageTitle = &title;
  target.links = &links;
  target.images = &images;
  target.pages = &pages;
  target.queue = &queue;
  target.modernPages = modern;
  HTMLFile file(modern ? kModernTagBufferSize : 512);
  file.OpenMemory(page);
  ScanPage(file, target);
  return {Drain(links), Drain(images), Drain(pages)};
}

constexpr const char* kSite = "http://g.example.com/album/";

TEST(ResponsiveScanTest, LargestSrcsetVariantTakesThePlaceOfSrc) {
  const Lists l = Scan(
      "<img src=\"p-480.jpg\" srcset=\"p-480.jpg 480w, p-1600.jpg 1600w, p-800.jpg 800w\" "
      "sizes=\"100vw\">\n<IMG SRC='q.jpg' SRCSET='q.jpg 1x, q@2x.jpg 2x'>",
      true);
  EXPECT_EQ(l.images,
            (Strings{kSite + std::string("p-1600.jpg"), kSite + std::string("q@2x.jpg")}));
  // Off: the SRC= rule, one entry per IMG with its src.
  EXPECT_EQ(
      Scan("<img src=\"p-480.jpg\" srcset=\"p-480.jpg 480w, p-1600.jpg 1600w\">", false).images,
      (Strings{kSite + std::string("p-480.jpg")}));
}

TEST(ResponsiveScanTest, LazyAttributesStandForSrcAndSrcset) {
  const Lists l = Scan(
      "<img src=\"data:image/gif;base64,R0lGODlhAQABAAAAACw=\" data-src=\"a.jpg\" "
      "class=\"lazyload\">"
      "<img src=\"placeholder.png\" data-original=\"b.jpg\">"
      "<img src=\"spacer.png\" data-lazy-src=\"c.jpg\">"
      "<img src=\"tiny.jpg\" srcset=\"tiny.jpg 20w\" data-srcset=\"d-400.jpg 400w, d-1200.jpg "
      "1200w\">"
      "<noscript><img src=\"a.jpg\"></noscript>",
      true);
  EXPECT_EQ(l.images, (Strings{kSite + std::string("a.jpg"), kSite + std::string("b.jpg"),
                               kSite + std::string("c.jpg"), kSite + std::string("d-1200.jpg")}));
}

TEST(ResponsiveScanTest, APictureIsOneEntryWithItsLargestTargetVariant) {
  const Lists l = Scan(
      "<a href=\"view1.html\"><picture>\n"
      "  <source type=\"image/avif\" srcset=\"h.avif 2400w\">\n"
      "  <source media=\"(min-width: 800px)\" srcset=\"h-1600.jpg 1600w, h-2000.jpg 2000w\">\n"
      "  <source srcset=\"h-800.jpg 800w\">\n"
      "  <img src=\"h-400.jpg\" alt=\"Harbour\">\n"
      "</picture></a>\n"
      "<picture><source data-srcset=\"n-1x.jpg 1x, n-3x.jpg 3x\"></picture>\n"
      "<source srcset=\"video-poster.jpg\">",
      true);
  EXPECT_EQ(l.images,
            (Strings{kSite + std::string("h-2000.jpg"), kSite + std::string("n-3x.jpg")}));
  // The link around the picture is the thumbnail's page, as around a plain IMG.
  EXPECT_EQ(l.pages, (Strings{kSite + std::string("view1.html")}));
}

TEST(ResponsiveScanTest, ImageAddressesWithQueriesAndReferencesCount) {
  const Lists l = Scan(
      "<img src=\"https://cdn.example.net/photo.jpg?w=1200&amp;q=80\">"
      "<img src=\"//cdn.example.net/img/p.png#frag\">"
      "<img src=\"/img/spacer.gif?v=2\">"
      "<img src=thumb.jpg width=100 height=75 alt=x>",
      true);
  EXPECT_EQ(l.images,
            (Strings{"https://cdn.example.net/photo.jpg?w=1200&q=80",
                     "http://cdn.example.net/img/p.png", kSite + std::string("thumb.jpg")}));
  // Off: a query fails the IMG test, and an unquoted SRC runs on to '>'.
  EXPECT_EQ(Scan("<img src=\"https://cdn.example.net/photo.jpg?w=1200\"><img src=thumb.jpg "
                 "width=100>",
                 false)
                .images,
            Strings{});
}

TEST(ResponsiveScanTest, TagsLongerThanTheOldBufferAreReadWhole) {
  std::string srcset;
  for (int w = 100; w <= 3000; w += 100) {
    srcset += "https://cdn.example.net/c_fill,w_" + std::to_string(w) + "/gallery/photo-" +
              std::to_string(w) + ".jpg " + std::to_string(w) + "w, ";
  }
  const Lists l = Scan("<img srcset=\"" + srcset + "\" src=\"small.jpg\">", true);
  EXPECT_EQ(l.images, (Strings{"https://cdn.example.net/c_fill,w_3000/gallery/photo-3000.jpg"}));
}

TEST(ResponsiveScanTest, AttributesAreReadAsABrowserReadsThem) {
  const TagAttributes a(
      "<img alt='a > b' DATA-SRC = \"x.jpg\" src=y.jpg data-src=z.jpg title=\"&quot;T&#65;&#x42;"
      "&#300;&bogus;\" hidden>");
  EXPECT_EQ(a.Get("data-src"), "x.jpg");  // the first of two
  EXPECT_EQ(a.Get("src"), "y.jpg");
  EXPECT_EQ(a.Get("title"), "\"TAB&#300;&bogus;");
  EXPECT_EQ(a.Get("hidden"), "");
  EXPECT_EQ(a.Get("srcset"), std::nullopt);
  EXPECT_EQ(TagName("</Picture >"), "Picture");
  EXPECT_EQ(TagName("<source/>"), "source");
  EXPECT_TRUE(NameIs(TagName("</Picture >"), "PICTURE"));
  EXPECT_FALSE(NameIs(TagName("<sources>"), "SOURCE"));
}

TEST(ResponsiveScanTest, TheImageTypeTestCutsQueriesAndRefusesDataAddresses) {
  EXPECT_TRUE(IsImageTarget("p.JPG?x=1.png", ",JPG"));
  EXPECT_TRUE(IsImageTarget("a.b/p.jpeg#top", ",JPEG"));
  EXPECT_FALSE(IsImageTarget("p?name=x.jpg", ",JPG"));
  EXPECT_FALSE(IsImageTarget("DATA:image/jpeg;x.jpg", ",JPG"));
  EXPECT_FALSE(IsImageTarget("noextension", ",JPG"));
}

}  // namespace
}  // namespace harvelo
