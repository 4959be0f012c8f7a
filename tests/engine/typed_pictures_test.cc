// Pictures whose address names no file type, as image services write them: listed with
// Modern Pages, kept under the extension of the type their response announces, refused
// before their body when that is not a picture.
#include <algorithm>
#include <atomic>
#include <utility>

#include "engine/page_scan.h"
#include "engine_fixture.h"
#include "support/raw_http_server.h"

namespace harvelo::testing {
namespace {

using Listed = std::vector<std::pair<std::string, int>>;  // address, kind

Listed ScanImages(std::string_view page, bool modern) {
  const std::string address = "http://g.example.com/album/index.html";
  const std::string types = ",JPG,JPEG,GIF";
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
  Listed out;
  for (; images.Count() > 0; images.PopFront())
    out.emplace_back(images.FrontText(), images.FrontKind());
  EXPECT_EQ(links.Count(), 0) << "a link is listed by its extension only";
  return out;
}

TEST(TypedPicturesScanTest, AddressesThatNameNoFileTypeAreListedToBeTypedByTheirResponse) {
  constexpr const char* kSite = "http://g.example.com";
  const struct {
    const char* page;
    Listed images;  // with Modern Pages on
  } cases[] = {
      {"<img src=\"/photo-1500000000?w=1600&q=80\">",
       {{std::string(kSite) + "/photo-1500000000?w=1600&q=80", TypedPictureEntry}}},
      {"<img src=\"https://picsum.example/seed/123/800/600\">",
       {{"https://picsum.example/seed/123/800/600", TypedPictureEntry}}},
      {"<img data-src=\"thumb.php?id=7\" src=\"data:image/gif;base64,R0lGOD\">",
       {{std::string(kSite) + "/album/thumb.php?id=7", TypedPictureEntry}}},
      {"<picture><source srcset=\"/r/ASPX/p.aspx?w=2 2x\"><img src=\"/r/p.jpg\"></picture>",
       {{std::string(kSite) + "/r/ASPX/p.aspx?w=2", TypedPictureEntry}}},
      // A candidate without an extension competes by its descriptor.
      {"<img srcset=\"a.jpg 800w, /img/77 1600w\">",
       {{std::string(kSite) + "/img/77", TypedPictureEntry}}},
      {"<img srcset=\"/img/77 1x, b.jpg 2x\">",
       {{std::string(kSite) + "/album/b.jpg", ResourceEntry}}},
      // Types named by the address keep the extension rule; other schemes are no pictures.
      {"<img src=\"p.png\"><img src=\"page.html\"><img src=\"data:image/png;base64,iVBO\">"
       "<img src=\"about:blank\"><img src=\"?v=2\"><a href=\"/photo-15\">x</a>",
       {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.page);
    EXPECT_EQ(ScanImages(c.page, true), c.images);
    // Off, the SRC= rule alone.
    for (const auto& [image, kind] : ScanImages(c.page, false)) EXPECT_EQ(kind, ResourceEntry);
  }
}

using TypedPicturesRunTest = EngineTest;

// A page of an image service's pictures: each answered with a type, in the order met.
const std::pair<const char*, const char*> kServed[] = {
    {"/photo-1500000000", "image/jpeg"}, {"/render.php", "text/html; charset=utf-8"},
    {"/seed/123/800/600", "image/webp"}, {"/blob/77", "application/octet-stream"},
    {"/lazy/9", "IMAGE/JPEG"},
};
constexpr const char* kServicePage =
    "<img src=\"/photo-1500000000?w=1600&q=80\"><img src=\"render.php?id=4\">"
    "<img srcset=\"/seed/123/400/300 1x, /seed/123/800/600 2x\"><img src=\"/blob/77\">"
    "<img data-src=\"/lazy/9\">";

TEST_F(TypedPicturesRunTest, PicturesAreKeptByTheirTypeAndTheRestRefused) {
  settings.targetTypes = ",JPG,JPEG,WEBP";
  Page("/cdn.html", kServicePage);
  for (const auto& [path, type] : kServed) Serve(path, BigBody(path[1]), type);
  StartSite();
  // Without Modern Pages they are not listed.
  settings.modernPages = 0;
  StartWith(Url("/cdn.html"));
  EXPECT_EQ(SeenPaths(), std::vector<std::string>{"/cdn.html"});
  EXPECT_EQ(DestFiles(), std::set<std::string>{"HV_pref.cfg"});

  settings.modernPages = 1;
  StartWith(Url("/cdn.html"));

  EXPECT_EQ(DestFiles(), (std::set<std::string>{"AAA_001.jpg", "AAA_002.webp", "AAA_003.jpg",
                                                "AAA_waddr.txt", "HV_pref.cfg"}));
  EXPECT_EQ(DestFile("AAA_002.webp"), BigBody('s'));
  // Newest on top; a refused picture gives its number to the next one.
  std::vector<std::string> rows;
  for (const LogRow& row : window.rows) {
    rows.push_back(row.status + " " + row.filePath.substr(row.filePath.rfind('/') + 1));
  }
  EXPECT_EQ(rows,
            (std::vector<std::string>{"Ok AAA_003.jpg", "Not a picture AAA_003", "Ok AAA_002.webp",
                                      "Not a picture AAA_002", "Ok AAA_001.jpg", "Ok page.html"}));
  const std::string log = DestFile("AAA_waddr.txt");
  EXPECT_NE(log.find("[NOT IMAGE]  \"" + Url("/render.php?id=4") + "\".\r\n"), std::string::npos)
      << log;
  EXPECT_NE(log.find("\"" + Url("/seed/123/800/600") + "\" -> \"file://"), std::string::npos);
}

TEST_F(TypedPicturesRunTest, ARefusedTypeIsCancelledBeforeItsBody) {
  // 64 MB announced: far beyond what the connection's buffers hold unread.
  constexpr size_t kBody = 64u << 20;
  std::atomic<size_t> sent{0};
  RawHttpServer service([&sent](const std::string&, const RawHttpServer::Send& send) {
    if (!send("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: " +
              std::to_string(kBody) + "\r\n\r\n")) {
      return;
    }
    const std::string piece(64 * 1024, 'h');
    for (size_t n = 0; n < kBody && send(piece); n += piece.size()) sent += piece.size();
  });
  ASSERT_TRUE(service.Start());
  Page("/one.html", "<img src=\"" + service.Url("/view.aspx?id=1") + "\">");
  StartSite();
  for (const int transfers : {1, 6}) {
    SCOPED_TRACE(transfers);
    sent = 0;
    settings.parallelTransfers = transfers;
    window.rows.clear();
    StartWith(Url("/one.html"));
    ASSERT_FALSE(window.rows.empty());
    EXPECT_EQ(window.rows.front().status, "Not a picture");
    for (const std::string& name : DestFiles())
      EXPECT_EQ(name.find("_001"), std::string::npos) << name;
    EXPECT_LT(sent.load(), kBody / 2);
  }
}

}  // namespace
}  // namespace harvelo::testing
