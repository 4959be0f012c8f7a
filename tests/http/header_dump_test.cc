// The HEADER debug dump: its name beside the output file and its exact content.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "http/header_dump.h"
#include "http/http_fetcher.h"
#include "http/response_head.h"
#include "support/raw_http_server.h"
#include "support/temp_dir.h"

namespace harvelo {
namespace {

using testing::Exists;
using testing::RawHttpServer;
using testing::ReadBytes;
using testing::TempDir;

TEST(HeaderDumpPath, ReplacesTheExtensionOfTheFileNameOnly) {
  EXPECT_EQ(HeaderDumpPath("/dest/page.html"), "/dest/page.headers");
  EXPECT_EQ(HeaderDumpPath("/dest/AAA_001.jpg"), "/dest/AAA_001.headers");
  EXPECT_EQ(HeaderDumpPath("/my.pictures/AAA_001"), "/my.pictures/AAA_001.headers");
  EXPECT_EQ(HeaderDumpPath("/d/archive.tar.gz"), "/d/archive.tar.headers");
  EXPECT_EQ(HeaderDumpPath("page"), "page.headers");
}

TEST(HeaderDump, HoldsTheRequestAsSentAndTheResponseAsReceived) {
  const std::string responseHead =
      "HTTP/1.1 404 Not Found\r\nContent-Length: 3\r\nConnection: close\r\n\r\n";
  RawHttpServer server(responseHead + "nop");
  ASSERT_TRUE(server.Start());
  TempDir dir;
  const std::string dest = dir.file("my.pictures");
  std::filesystem::create_directory(dest);
  HTTPFetcher fetcher;
  fetcher.m_bDumpHeaders = 1;
  ASSERT_EQ(fetcher.GetResource(server.Url("/a.jpg"), dest + "/AAA_001.jpg",
                                "http://gallery.example/", "", nullptr, nullptr),
            1);
  ASSERT_EQ(server.requests().size(), 1u);
  EXPECT_EQ(ReadBytes(dest + "/AAA_001.headers"),
            "*** Request Headers ***\r\n" + server.requests()[0] + "*** Response Headers ***\r\n" +
                responseHead);
}

TEST(HeaderDump, IsWrittenInTextModeAndOnlyWhenAsked) {
  RawHttpServer server("HTTP/1.1 200 OK\nContent-Length: 2\nConnection: close\n\nok");
  ASSERT_TRUE(server.Start());
  TempDir dir;
  HTTPFetcher fetcher;
  ASSERT_EQ(fetcher.GetPage(server.Url("/"), dir.file("page.html"), "", "", nullptr, nullptr), 1);
  EXPECT_FALSE(Exists(dir.file("page.headers")));

  fetcher.m_bDumpHeaders = 1;
  ASSERT_EQ(fetcher.GetPage(server.Url("/"), dir.file("page.html"), "", "", nullptr, nullptr), 1);
  const std::string dump = ReadBytes(dir.file("page.headers"));
  EXPECT_TRUE(
      dump.ends_with("*** Response Headers ***\r\nHTTP/1.1 200 OK\r\nContent-Length: 2\r\n"
                     "Connection: close\r\n\r\n"))
      << dump;
}

TEST(HeaderDump, ReplacesAnOlderDumpOfTheSameName) {
  RawHttpServer server("HTTP/1.1 200 OK\r\nContent-Length: 2\r\nConnection: close\r\n\r\nok");
  ASSERT_TRUE(server.Start());
  TempDir dir;
  testing::WriteBytes(dir.file("page.headers"), "an older dump\r\n");
  HTTPFetcher fetcher;
  fetcher.m_bDumpHeaders = 1;
  ASSERT_EQ(fetcher.GetPage(server.Url("/"), dir.file("page.html"), "", "", nullptr, nullptr), 1);
  ASSERT_EQ(fetcher.GetPage(server.Url("/"), dir.file("page.html"), "", "", nullptr, nullptr), 1);
  const std::string dump = ReadBytes(dir.file("page.headers"));
  EXPECT_TRUE(dump.starts_with("*** Request Headers ***\r\nGET / HTTP/1.1\r\n")) << dump;
  EXPECT_EQ(dump.find("*** Request Headers ***", 1), std::string::npos) << dump;
}

TEST(HeaderDump, AMissingBlockIsWrittenAsItsFailureLine) {
  TempDir dir;
  WriteHeaderDump(dir.file("x.jpg"), std::nullopt, std::nullopt);
  EXPECT_EQ(ReadBytes(dir.file("x.headers")),
            "*** Request Headers ***\r\n"
            "QueryInfo(HTTP_QUERY_FLAG_REQUEST_HEADERS,) Failed.\r\n"
            "*** Response Headers ***\r\n"
            "QueryInfo(HTTP_QUERY_RAW_HEADERS_CRLF,) Failed.\r\n");
  WriteHeaderDump(dir.file("no/such/dir/x.jpg"), "GET / HTTP/1.1\r\n\r\n", std::nullopt);
  EXPECT_FALSE(Exists(dir.file("no/such/dir/x.headers")));
}

}  // namespace
}  // namespace harvelo
