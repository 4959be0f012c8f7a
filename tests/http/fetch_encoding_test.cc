// Compressed pages: a page fetch asks for gzip, brotli and zstd and keeps the page
// decoded, reporting no length (the announced one counts compressed bytes); a resource
// asks for its bytes as they are and keeps whatever was sent, encoded or not.
#include <gtest/gtest.h>

#include <string>

#include "http/http_fetcher.h"
#include "support/compress.h"
#include "support/raw_http_server.h"
#include "support/temp_dir.h"

namespace harvelo {
namespace {

using testing::Compress;
using testing::RawHttpServer;
using testing::ReadBytes;
using testing::TempDir;

std::string Html() {
  std::string html = "<html><title>Packed</title><body>\n";
  for (int i = 0; i < 400; ++i) html += "<a href=\"p" + std::to_string(i) + ".jpg\">x</a>\n";
  return html + "</body></html>\n";
}

// Sends `body` encoded with `encoding` to every request, as a server that compresses
// whatever it is asked for.
std::string EncodedResponse(const std::string& encoding, const std::string& body) {
  const std::string sent = Compress(encoding, body);
  return "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Encoding: " + encoding +
         "\r\nContent-Length: " + std::to_string(sent.size()) + "\r\n\r\n" + sent;
}

int g_lastLength = -1;
int RecordLength(void*, int, int contentLength, int) {
  g_lastLength = contentLength;
  return 1;
}

struct EncodingCase {
  const char* encoding;
};

class FetchEncoding : public ::testing::TestWithParam<EncodingCase> {};

TEST_P(FetchEncoding, APageIsAskedForCompressedAndKeptDecoded) {
  const std::string encoding = GetParam().encoding;
  RawHttpServer server(EncodedResponse(encoding, Html()));
  ASSERT_TRUE(server.Start());
  TempDir dir;
  HTTPFetcher fetcher;
  fetcher.m_bDecodePages = 1;
  g_lastLength = -1;
  ASSERT_EQ(fetcher.GetPage(server.Url("/"), dir.file("page.html"), "", "", RecordLength, nullptr),
            1)
      << fetcher.m_szErrorDesc;
  EXPECT_EQ(ReadBytes(dir.file("page.html")), Html());
  EXPECT_EQ(g_lastLength, 0) << "the compressed length is not the decoded page's";
  const std::string head = server.requests().at(0);
  EXPECT_NE(head.find("Accept-Encoding: gzip, br, zstd\r\n"), std::string::npos) << head;
}

TEST_P(FetchEncoding, AResourceIsKeptAsSent) {
  const std::string encoding = GetParam().encoding;
  RawHttpServer server(EncodedResponse(encoding, Html()));
  ASSERT_TRUE(server.Start());
  TempDir dir;
  HTTPFetcher fetcher;
  fetcher.m_bDecodePages = 1;
  g_lastLength = -1;
  ASSERT_EQ(
      fetcher.GetResource(server.Url("/a.jpg"), dir.file("a.jpg"), "", "", RecordLength, nullptr),
      1);
  const std::string sent = Compress(encoding, Html());
  EXPECT_EQ(ReadBytes(dir.file("a.jpg")), sent);
  EXPECT_EQ(g_lastLength, static_cast<int>(sent.size())) << "the announced length is read";
  EXPECT_NE(server.requests().at(0).find("Accept-Encoding: identity\r\n"), std::string::npos);
}

TEST_P(FetchEncoding, WithoutDecodingAPageIsKeptAsSent) {
  const std::string encoding = GetParam().encoding;
  RawHttpServer server(EncodedResponse(encoding, Html()));
  ASSERT_TRUE(server.Start());
  TempDir dir;
  HTTPFetcher fetcher;
  ASSERT_EQ(fetcher.GetPage(server.Url("/"), dir.file("page.html"), "", "", nullptr, nullptr), 1);
  EXPECT_EQ(ReadBytes(dir.file("page.html")), Compress(encoding, Html()));
  EXPECT_NE(server.requests().at(0).find("Accept-Encoding: identity\r\n"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Encodings, FetchEncoding,
                         ::testing::Values(EncodingCase{"gzip"}, EncodingCase{"br"},
                                           EncodingCase{"zstd"}),
                         [](const auto& info) { return std::string(info.param.encoding); });

}  // namespace
}  // namespace harvelo
