// A run over a server that compresses: pages sent gzip, brotli or zstd are scanned as
// decoded, one at a time and fetched ahead alike; a picture sent encoded is stored as sent.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "engine/control_ids.h"
#include "engine/engine.h"
#include "platform/thread_locale.h"
#include "support/compress.h"
#include "support/raw_http_server.h"
#include "support/recording_window.h"
#include "support/temp_dir.h"

namespace harvelo::testing {
namespace {

std::string Picture(char seed) {
  std::string body(3000, '\0');
  unsigned state = static_cast<unsigned char>(seed);
  for (char& c : body) c = static_cast<char>((state = state * 1103515245u + 12345u) >> 16);
  return body;
}

std::string Response(const std::string& headers, const std::string& body) {
  return "HTTP/1.1 200 OK\r\n" + headers + "Content-Length: " + std::to_string(body.size()) +
         "\r\n\r\n" + body;
}

// "/page.ENC.html" is sent encoded with ENC, "/packed.jpg" gzip-encoded, whatever the
// request asked for (the request's Accept-Encoding is the fetch tests' business).
void Answer(const std::string& head, const RawHttpServer::Send& send) {
  const std::string path = head.substr(4, head.find(' ', 4) - 4);
  if (path.starts_with("/page.")) {
    const std::string encoding = path.substr(6, path.find('.', 6) - 6);
    const std::string html =
        "<a href=\"one.jpg\">1</a><a href=\"packed.jpg\">2</a>"
        "<a href=\"two.jpg\">3</a>";
    send(Response("Content-Encoding: " + encoding + "\r\n", Compress(encoding, html)));
  } else if (path == "/packed.jpg") {
    send(Response("Content-Encoding: gzip\r\n", Gzip(Picture('p'))));
  } else {
    send(Response("", Picture(path[1])));
  }
}

std::map<std::string, std::string> Harvest(const std::string& url, int transfers) {
  TempDir dest;
  TempDir config;
  RecordingWindow window;
  Settings settings;
  settings.minimumSizeKb = 1;
  settings.parallelTransfers = transfers;
  Engine engine(window, settings);
  engine.settingsDir = config.dir();
  window.controls[IDC_DESTINATION_DIR] = dest.dir();
  window.controls[IDC_FILE_PREFIX] = "AAA_";
  window.controls[IDC_AUTO_INCREMENT] = "1";
  EXPECT_EQ(engine.Check_Destination(), 1);
  engine.URL_List.PushBack(url.c_str(), PageEntry, nullptr, nullptr);
  engine.Process_URL_List();
  std::map<std::string, std::string> files;
  for (const auto& file : std::filesystem::directory_iterator(dest.dir())) {
    const std::string name = file.path().filename().string();
    if (name.ends_with(".jpg")) files[name] = ReadBytes(file.path().string());
  }
  return files;
}

TEST(CompressedPageRun, EachEncodingIsScannedAndThePicturesKeptAsSent) {
  SetThreadLocale(kLocaleEnglish);
  RawHttpServer server(Answer);
  ASSERT_TRUE(server.Start());
  const std::map<std::string, std::string> expected = {{"AAA_001.jpg", Picture('o')},
                                                       {"AAA_002.jpg", Gzip(Picture('p'))},
                                                       {"AAA_003.jpg", Picture('t')}};
  for (const char* encoding : {"gzip", "br", "zstd"}) {
    for (const int transfers : {1, 6}) {
      SCOPED_TRACE(std::string(encoding) + ", transfers " + std::to_string(transfers));
      EXPECT_EQ(Harvest(server.Url("/page." + std::string(encoding) + ".html"), transfers),
                expected);
    }
  }
}

}  // namespace
}  // namespace harvelo::testing
