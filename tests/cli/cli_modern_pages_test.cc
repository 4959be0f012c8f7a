// harvelo-cli end to end on pages written the way sites write them today: a lazy-loading
// gallery, a responsive page with srcset and PICTURE, a CDN page with queries, a page
// that links the same picture twice, and a page of tracking pixels and icons. Each is
// also run with the new settings off, which must give what the scanner always gave.
#include <gmock/gmock.h>

#include <atomic>

#include "cli_fixture.h"
#include "settings/settings.h"

namespace harvelo::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::string Be16(unsigned v) {
  return {static_cast<char>(v >> 8), static_cast<char>(v & 0xFF)};
}
std::string Be32(unsigned v) {
  return Be16(v >> 16) + Be16(v & 0xFFFF);
}

// A baseline JPEG header of the given size, its scan data `bytes` long made of `fill`.
std::string Jpeg(unsigned width, unsigned height, char fill, size_t bytes = 3000) {
  std::string s("\xFF\xD8\xFF\xE0", 4);
  s += Be16(16) + std::string("JFIF\0\x01\x01\x00\x00\x01\x00\x01\x00\x00", 14);
  s += std::string("\xFF\xC0", 2) + Be16(17) + "\x08" + Be16(height) + Be16(width) +
       std::string(12, '\x01');
  s += std::string("\xFF\xDA", 2) + Be16(8) + std::string(6, '\x02');
  return s + std::string(bytes, fill) + "\xFF\xD9";
}

// A PNG icon padded with a text chunk, as icons exported with their metadata are.
std::string Png(unsigned width, unsigned height, size_t metadataBytes) {
  return std::string("\x89PNG\r\n\x1A\n", 8) + Be32(13) + "IHDR" + Be32(width) + Be32(height) +
         std::string("\x08\x06\x00\x00\x00", 5) + "crc0" +
         Be32(static_cast<unsigned>(metadataBytes)) + "tEXt" + std::string(metadataBytes, 'm') +
         "crc1" + Be32(0) + "IEND" + "crc2";
}

const std::string kPixelGif(
    "GIF89a\x01\x00\x01\x00\x80\x00\x00\xFF\xFF\xFF\x00\x00\x00!\xF9\x04"
    "\x01\x00\x00\x00\x00,\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02"
    "D\x01\x00;",
    43);

class CliModernPagesTest : public CliTest {
 protected:
  // One transfer at a time: these cases read the order in which the server saw the
  // requests, which is the run's own only then.
  int Run(std::vector<std::string> args) {
    args.insert(args.begin(), {"--parallel", "1"});
    return CliTest::Run(args);
  }
  // Serves `body`, recording each request's path and query as the server saw it.
  void Resource(const std::string& path, const std::string& body, const char* type = "image/jpeg") {
    site.server().Get(path, [=, this](const httplib::Request& req, httplib::Response& res) {
      std::lock_guard<std::mutex> lock(mutex_);
      requests_.push_back(req.target);
      res.set_content(body, type);
    });
  }
  std::vector<std::string> Requests() {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<std::string> out;
    out.swap(requests_);
    return out;
  }
  // The output rows without their time, the working directory left out of file names.
  std::vector<std::string> Rows() {
    std::vector<std::string> rows;
    for (std::string line : cli.OutLines()) {
      line = line.substr(6);
      for (size_t at; (at = line.find(work.dir())) != std::string::npos;) {
        line.erase(at, work.dir().size());
      }
      const std::string origin = Url("");
      for (size_t at; (at = line.find(origin)) != std::string::npos;) line.erase(at, origin.size());
      rows.push_back(line);
    }
    return rows;
  }
  std::vector<std::string> DestFiles() {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(work.file("dest"))) {
      names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  void Clean() {
    std::filesystem::remove_all(work.file("dest"));
    Requests();
  }

 private:
  std::mutex mutex_;
  std::vector<std::string> requests_;
};

TEST_F(CliModernPagesTest, LazyLoadingGalleryStoresThePicturesNotThePlaceholders) {
  Resource("/lazy/index.html",
           "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">\n"
           "<title>Autumn in the Dolomites</title>\n"
           "<script src=\"/js/lazysizes.min.js\" async></script></head>\n<body>\n"
           "<div class=\"grid\">\n"
           "  <figure><img data-src=\"/photos/lago-di-braies.jpg\" src=\"/img/blank.gif\"\n"
           "       class=\"lazyload\" alt=\"Lago di Braies\" width=\"1200\" height=\"800\">\n"
           "    <noscript><img src=\"/photos/lago-di-braies.jpg\" alt=\"\"></noscript></figure>\n"
           "  <figure><img src=\"data:image/gif;base64,R0lGODlhAQABAIAAAAAAAP///yH5BAEAAAAALAAAAAA"
           "BAAEAAAIBRAA7\"\n       data-sizes=\"auto\" class=\"lazyload\"\n"
           "       data-srcset=\"/photos/seceda-640.jpg 640w, /photos/seceda-1920.jpg 1920w,\n"
           "                    /photos/seceda-1280.jpg 1280w\" alt=\"Seceda\">\n"
           "    <noscript><img src=\"/photos/seceda-1280.jpg\" alt=\"\"></noscript></figure>\n"
           "  <figure><img class=\"lazy\" data-original=\"/photos/tre-cime.jpg\" "
           "src=\"/img/blank.gif\"></figure>\n"
           "</div>\n</body></html>\n",
           "text/html");
  Resource("/img/blank.gif", kPixelGif, "image/gif");
  Resource("/photos/lago-di-braies.jpg", Jpeg(1200, 800, 'a'));
  for (const char* w : {"640", "1280", "1920"}) {
    Resource(std::string("/photos/seceda-") + w + ".jpg", Jpeg(1920, 1280, w[0]));
  }
  Resource("/photos/tre-cime.jpg", Jpeg(1200, 800, 't'));
  ASSERT_TRUE(site.Start());

  ASSERT_EQ(
      Run({"--dest", "dest", "--types", "jpg,gif", "--min-size", "0", Url("/lazy/index.html")}), 0)
      << cli.Err();
  EXPECT_THAT(Requests(), ElementsAre("/lazy/index.html", "/photos/lago-di-braies.jpg",
                                      "/photos/seceda-1920.jpg", "/photos/tre-cime.jpg"));
  EXPECT_THAT(DestFiles(), ElementsAre("AAA_001.jpg", "AAA_002.jpg", "AAA_003.jpg", "AAA_waddr.txt",
                                       "HV_pref.cfg"));
  EXPECT_EQ(ReadBytes(Dest("AAA_002.jpg")), Jpeg(1920, 1280, '1'));
  EXPECT_THAT(Rows(), ElementsAre("Ok\tdest/page.html\t/lazy/index.html",
                                  "Ok\tdest/AAA_001.jpg\t/photos/lago-di-braies.jpg",
                                  "Ok\tdest/AAA_002.jpg\t/photos/seceda-1920.jpg",
                                  "Ok\tdest/AAA_003.jpg\t/photos/tre-cime.jpg"));

  // Off: the SRC= rule finds the placeholders, the NOSCRIPT copies, and "SRC=" inside
  // data-src when it comes first, as it always did.
  Clean();
  ASSERT_EQ(Run({"--dest", "dest", "--types", "jpg,gif", "--min-size", "0", "--no-modern",
                 "--keep-duplicates", Url("/lazy/index.html")}),
            0)
      << cli.Err();
  EXPECT_THAT(Requests(), ElementsAre("/lazy/index.html", "/photos/lago-di-braies.jpg",
                                      "/photos/lago-di-braies.jpg", "/photos/seceda-1280.jpg",
                                      "/img/blank.gif"));
  EXPECT_THAT(DestFiles(), ElementsAre("AAA_001.jpg", "AAA_002.jpg", "AAA_003.jpg", "AAA_004.gif",
                                       "AAA_waddr.txt", "HV_pref.cfg"));
}

TEST_F(CliModernPagesTest, ResponsivePageStoresTheLargestVariantOfEachPictureOnce) {
  Resource("/travel/lisbon.html",
           "<html><head><title>Three days in Lisbon</title></head><body>\n"
           "<article>\n<h1>Three days in Lisbon</h1>\n"
           "<img src=\"img/tram-800.jpg\"\n"
           "     srcset=\"img/tram-400.jpg 400w, img/tram-800.jpg 800w, img/tram-1600.jpg 1600w\"\n"
           "     sizes=\"(max-width: 600px) 100vw, 800px\" alt=\"Tram 28\">\n"
           "<p>The viewpoint at dusk:</p>\n"
           "<picture>\n"
           "  <source type=\"image/webp\" srcset=\"img/miradouro-1x.webp 1x, "
           "img/miradouro-2x.webp 2x\">\n"
           "  <source srcset=\"img/miradouro-1x.jpg 1x, img/miradouro-2x.jpg 2x\">\n"
           "  <img src=\"img/miradouro-1x.jpg\" alt=\"Miradouro\" loading=\"lazy\">\n"
           "</picture>\n"
           "<img src=\"img/logo.png\" alt=\"\">\n"
           "</article></body></html>\n",
           "text/html");
  const std::pair<const char*, char> variants[] = {{"tram-400", '4'},
                                                   {"tram-800", '8'},
                                                   {"tram-1600", '6'},
                                                   {"miradouro-1x", '1'},
                                                   {"miradouro-2x", '2'}};
  for (const auto& [name, fill] : variants) {
    Resource(std::string("/travel/img/") + name + ".jpg", Jpeg(1600, 1067, fill));
  }
  ASSERT_TRUE(site.Start());

  ASSERT_EQ(Run({"--dest", "dest", "--min-size", "0", Url("/travel/lisbon.html")}), 0) << cli.Err();
  EXPECT_THAT(Requests(), ElementsAre("/travel/lisbon.html", "/travel/img/tram-1600.jpg",
                                      "/travel/img/miradouro-2x.jpg"));
  EXPECT_EQ(ReadBytes(Dest("AAA_001.jpg")), Jpeg(1600, 1067, '6'));
  EXPECT_EQ(ReadBytes(Dest("AAA_002.jpg")), Jpeg(1600, 1067, '2'));

  Clean();
  ASSERT_EQ(Run({"--dest", "dest", "--min-size", "0", "--no-modern", "--keep-duplicates",
                 Url("/travel/lisbon.html")}),
            0)
      << cli.Err();
  EXPECT_THAT(Requests(), ElementsAre("/travel/lisbon.html", "/travel/img/tram-800.jpg",
                                      "/travel/img/miradouro-1x.jpg"));
}

TEST_F(CliModernPagesTest, CdnAddressesWithQueriesAreFetchedWithTheirQueryAndNamedByType) {
  Resource("/shop/boots.html",
           "<html><body><div class=\"product-gallery\">\n"
           "<img src=\"/cdn/products/boot-front.jpg?w=1200&amp;q=80&amp;fm=jpg\" alt=\"Front\">\n"
           "<img src=\"/cdn/products/boot-side.JPG?v=1699999999#zoom\" alt=\"Side\">\n"
           "<img src=\"/cdn/products/boot-sole.jpg?w=1200&q=80\" alt=\"Sole\">\n"
           "</div></body></html>\n",
           "text/html");
  Resource("/cdn/products/boot-front.jpg", Jpeg(1200, 1200, 'f'));
  Resource("/cdn/products/boot-side.JPG", Jpeg(1200, 1200, 's'));
  Resource("/cdn/products/boot-sole.jpg", Jpeg(1200, 1200, 'o'));
  ASSERT_TRUE(site.Start());

  ASSERT_EQ(Run({"--dest", "dest", "--min-size", "0", Url("/shop/boots.html")}), 0) << cli.Err();
  EXPECT_THAT(Requests(),
              ElementsAre("/shop/boots.html", "/cdn/products/boot-front.jpg?w=1200&q=80&fm=jpg",
                          "/cdn/products/boot-side.JPG?v=1699999999",
                          "/cdn/products/boot-sole.jpg?w=1200&q=80"));
  EXPECT_THAT(DestFiles(), ElementsAre("AAA_001.jpg", "AAA_002.JPG", "AAA_003.jpg", "AAA_waddr.txt",
                                       "HV_pref.cfg"));
  EXPECT_EQ(ReadBytes(Dest("AAA_002.JPG")), Jpeg(1200, 1200, 's'));

  Clean();
  EXPECT_EQ(Run({"--dest", "dest", "--min-size", "0", "--no-modern", Url("/shop/boots.html")}), 1);
  EXPECT_THAT(Requests(), ElementsAre("/shop/boots.html"));
}

TEST_F(CliModernPagesTest, TheSamePictureTwiceIsStoredOnceAndLoggedAsADuplicate) {
  Resource("/blog/post.html",
           "<html><head><title>Sunset</title></head><body>\n"
           "<p><a href=\"/uploads/sunset.jpg\"><img src=\"/uploads/sunset-300x200.jpg\"></a></p>\n"
           "<p>Full resolution: <a href=\"/uploads/sunset.jpg\" download>download</a>, or the\n"
           "<a href=\"/mirror/sunset-copy.jpg\">mirror</a>; also <a href=\"/uploads/beach.jpg\">"
           "the beach</a>.</p>\n</body></html>\n",
           "text/html");
  Resource("/uploads/sunset.jpg", Jpeg(3000, 2000, 's'));
  Resource("/mirror/sunset-copy.jpg", Jpeg(3000, 2000, 's'));
  Resource("/uploads/beach.jpg", Jpeg(3000, 2000, 'b'));
  ASSERT_TRUE(site.Start());

  ASSERT_EQ(Run({"--dest", "dest", "--min-size", "0", Url("/blog/post.html")}), 0) << cli.Err();
  EXPECT_THAT(Rows(), ElementsAre("Ok\tdest/page.html\t/blog/post.html",
                                  "Ok\tdest/AAA_001.jpg\t/uploads/sunset.jpg",
                                  "Duplicate\tdest/AAA_001.jpg\t/uploads/sunset.jpg",
                                  "Duplicate\tdest/AAA_001.jpg\t/mirror/sunset-copy.jpg",
                                  "Ok\tdest/AAA_002.jpg\t/uploads/beach.jpg"));
  EXPECT_THAT(DestFiles(),
              ElementsAre("AAA_001.jpg", "AAA_002.jpg", "AAA_waddr.txt", "HV_pref.cfg"));
  EXPECT_EQ(ReadBytes(Dest("AAA_002.jpg")), Jpeg(3000, 2000, 'b'));
  const std::string log = ReadBytes(Dest("AAA_waddr.txt"));
  const std::string stored = work.dir() + "dest/AAA_001.jpg";
  EXPECT_THAT(log, ::testing::HasSubstr("[DUPLICATE]  \"" + Url("/mirror/sunset-copy.jpg") +
                                        "\" -> \"file://" + stored + "\".\r\n[   OK    ]  \"" +
                                        Url("/uploads/beach.jpg") + "\""));

  // Known files: a second harvest into the same folder stores nothing new (in Spanish).
  ASSERT_EQ(Run({"--dest", "dest", "--min-size", "0", "--skip-known", "--lang", "es",
                 "--no-auto-inc", Url("/blog/post.html")}),
            1)
      << cli.Err();
  EXPECT_THAT(Rows(), ElementsAre("Ok\tdest/page.html\t/blog/post.html",
                                  "Duplicado\tdest/AAA_001.jpg\t/uploads/sunset.jpg",
                                  "Duplicado\tdest/AAA_001.jpg\t/uploads/sunset.jpg",
                                  "Duplicado\tdest/AAA_001.jpg\t/mirror/sunset-copy.jpg",
                                  "Duplicado\tdest/AAA_002.jpg\t/uploads/beach.jpg"));
  EXPECT_THAT(ReadBytes(Dest("AAB_waddr.txt")),
              ::testing::HasSubstr("[ DUPLICADO  ]  \"" + Url("/uploads/beach.jpg") +
                                   "\" -> \"Arch.://" + work.dir() + "dest/AAA_002.jpg\".\r\n"));

  // Off: every link stored, as always.
  Clean();
  ASSERT_EQ(Run({"--dest", "dest", "--min-size", "0", "--keep-duplicates", "--no-modern",
                 Url("/blog/post.html")}),
            0);
  EXPECT_THAT(DestFiles(), ElementsAre("AAA_001.jpg", "AAA_002.jpg", "AAA_003.jpg", "AAA_004.jpg",
                                       "AAA_waddr.txt", "HV_pref.cfg"));
}

TEST_F(CliModernPagesTest, PictureSizeFilterDropsPixelsAndIconsThatPassTheByteMinimum) {
  Resource("/news/article.html",
           "<html><body>\n"
           "<img src=\"/t/pixel.gif?cb=81723\" width=\"1\" height=\"1\" alt=\"\">\n"
           "<a href=\"/share\"><img src=\"/icons/share-16.png\"></a>\n"
           "<img src=\"/media/harbour.jpg\">\n"
           "<img src=\"/icons/print-16.png\">\n"
           "<img src=\"/t/pixel.gif?cb=99120\" width=\"1\" height=\"1\" alt=\"\">\n"
           "<img src=\"/media/market.jpg\">\n"
           "</body></html>\n",
           "text/html");
  Resource("/t/pixel.gif", kPixelGif, "image/gif");
  Resource("/icons/share-16.png", Png(16, 16, 22000), "image/png");
  Resource("/icons/print-16.png", Png(16, 16, 23000), "image/png");
  Resource("/media/harbour.jpg", Jpeg(1024, 683, 'h', 25000));
  Resource("/media/market.jpg", Jpeg(683, 1024, 'm', 25000));
  ASSERT_TRUE(site.Start());

  // The byte minimum alone keeps the icons.
  ASSERT_EQ(Run({"--dest", "dest", "--types", "jpg,gif,png", "--min-size", "20",
                 "--keep-duplicates", Url("/news/article.html")}),
            0);
  EXPECT_THAT(DestFiles(), ElementsAre("AAA_001.png", "AAA_002.jpg", "AAA_003.png", "AAA_004.jpg",
                                       "AAA_waddr.txt", "HV_pref.cfg"));

  Clean();
  ASSERT_EQ(Run({"--dest", "dest", "--types", "jpg,gif,png", "--min-size", "0", "--min-picture",
                 "100x100", Url("/news/article.html")}),
            0)
      << cli.Err();
  EXPECT_THAT(Rows(), ElementsAre("Ok\tdest/page.html\t/news/article.html",
                                  "Too Small\tdest/AAA_001.gif\t/t/pixel.gif?cb=81723",
                                  "Too Small\tdest/AAA_001.png\t/icons/share-16.png",
                                  "Ok\tdest/AAA_001.jpg\t/media/harbour.jpg",
                                  "Too Small\tdest/AAA_002.png\t/icons/print-16.png",
                                  "Too Small\tdest/AAA_002.gif\t/t/pixel.gif?cb=99120",
                                  "Ok\tdest/AAA_002.jpg\t/media/market.jpg"));
  EXPECT_THAT(DestFiles(),
              ElementsAre("AAA_001.jpg", "AAA_002.jpg", "AAA_waddr.txt", "HV_pref.cfg"));
  EXPECT_THAT(ReadBytes(Dest("AAA_waddr.txt")),
              ::testing::HasSubstr("[TOO SMALL]  \"" + Url("/icons/share-16.png") + "\".\r\n"));
  // Either dimension: a wide banner lower than the minimum is too small too.
  EXPECT_EQ(Run({"--dest", "dest", "--min-size", "0", "--min-picture", "100x700",
                 Url("/news/article.html")}),
            0);
  EXPECT_THAT(Rows(), ElementsAre("Ok\tdest/page.html\t/news/article.html",
                                  "Too Small\tdest/AAB_001.jpg\t/media/harbour.jpg",
                                  "Ok\tdest/AAB_001.jpg\t/media/market.jpg"));
}

TEST_F(CliModernPagesTest, ALargeFileOfASmallPictureIsCutShortAlsoWhenFetchedAhead) {
  // 20 MB whose header says 16 x 16, among pictures fetched ahead of the run.
  constexpr size_t kSize = 20u * 1024 * 1024;
  const std::string head = Jpeg(16, 16, 'x', 0);
  const std::string filler(64 * 1024, '\x55');
  std::atomic<size_t> served{0};
  Resource("/big.html",
           "<img src=\"/a.jpg\"><img src=\"/big.jpg\"><img src=\"/b.jpg\"><img src=\"/c.jpg\">",
           "text/html");
  // The first picture keeps the run waiting while the big one is fetched ahead.
  site.server().Get("/a.jpg", [](const httplib::Request&, httplib::Response& res) {
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    res.set_content(Jpeg(800, 600, 'a'), "image/jpeg");
  });
  Resource("/b.jpg", Jpeg(800, 600, 'b'));
  Resource("/c.jpg", Jpeg(800, 600, 'c'));
  site.server().Get("/big.jpg", [&](const httplib::Request&, httplib::Response& res) {
    res.set_content_provider(
        kSize, "image/jpeg", [&](size_t offset, size_t length, httplib::DataSink& sink) {
          const std::string& from = offset < head.size() ? head : filler;
          const size_t at = offset < head.size() ? offset : 0;
          const size_t n = std::min({length, from.size() - at, kSize - offset});
          served = offset + n;
          return sink.write(from.data() + at, n);
        });
  });
  ASSERT_TRUE(site.Start());
  for (const char* parallel : {"1", "6"}) {
    served = 0;
    ASSERT_EQ(CliTest::Run({"--dest", "dest", "--min-size", "0", "--min-picture", "100x100",
                            "--no-auto-inc", "--parallel", parallel, Url("/big.html")}),
              0);
    EXPECT_THAT(Rows(), ElementsAre("Ok\tdest/page.html\t/big.html", "Ok\tdest/AAA_001.jpg\t/a.jpg",
                                    "Too Small\tdest/AAA_002.jpg\t/big.jpg",
                                    "Ok\tdest/AAA_002.jpg\t/b.jpg", "Ok\tdest/AAA_003.jpg\t/c.jpg"))
        << parallel;
    // What the server could write at most is what the connection's buffers hold.
    EXPECT_LT(served.load(), kSize / 2) << parallel;
    Clean();
  }
}

TEST_F(CliModernPagesTest, ARefusedRequestKeepsItsErrorRowWhateverItsBodyIs) {
  Resource("/p.html", "<img src=\"/gone.gif\"><img src=\"/photo.jpg\">", "text/html");
  site.server().Get("/gone.gif", [](const httplib::Request&, httplib::Response& res) {
    res.status = 404;
    res.set_content(kPixelGif, "image/gif");
  });
  Resource("/photo.jpg", Jpeg(800, 600, 'p'));
  ASSERT_TRUE(site.Start());
  ASSERT_EQ(Run({"--dest", "dest", "--types", "jpg,gif", "--min-size", "0", "--min-picture",
                 "100x100", Url("/p.html")}),
            0);
  EXPECT_THAT(Rows(),
              ElementsAre("Ok\tdest/page.html\t/p.html", "ERR 404\tdest/AAA_001.gif\t/gone.gif",
                          "Ok\tdest/AAA_002.jpg\t/photo.jpg"));
}

TEST_F(CliModernPagesTest, TheNewOptionsAreCheckedAndNotSaved) {
  Resource("/x.html", "<img src=\"a.jpg\">", "text/html");
  ASSERT_TRUE(site.Start());
  EXPECT_EQ(Run({"--min-picture", "100", Url("/x.html")}), 2);
  EXPECT_THAT(cli.Err(), ::testing::HasSubstr("--min-picture needs a size in pixels"));
  EXPECT_EQ(Run({"--min-picture", "-1x5", Url("/x.html")}), 2);
  EXPECT_EQ(Run({"--modern=1", Url("/x.html")}), 2);
  EXPECT_THAT(Requests(), IsEmpty());

  EXPECT_EQ(Run({"--dest", "dest", "--no-modern", "--min-picture", "10x10", "--keep-duplicates",
                 "--save-settings", Url("/x.html")}),
            1);
  Settings saved;
  LoadSettings(saved, work.dir());
  EXPECT_EQ(saved.modernPages, 1);
  EXPECT_EQ(saved.minimumPictureWidth, 0);
  EXPECT_EQ(saved.skipDuplicates, 1);
  EXPECT_EQ(saved.skipKnownFiles, 0);
}

}  // namespace
}  // namespace harvelo::testing
