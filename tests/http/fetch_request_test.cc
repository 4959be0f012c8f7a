// What goes out on the wire: the exact request header lines, the referrer through a
// redirect chain, and the headers of the final response.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "http/http_fetcher.h"
#include "support/loopback_server.h"
#include "support/raw_http_server.h"
#include "support/temp_dir.h"

namespace harvelo {
namespace {

using testing::LoopbackServer;
using testing::RawHttpServer;
using testing::ReadBytes;
using testing::TempDir;

constexpr const char* kAccept =
    "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, application/vnd.ms-excel, "
    "application/msword, application/vnd.ms-powerpoint, application/x-shockwave-flash, */*";

// The header lines of a request head, without the request line and the empty line.
std::vector<std::string> HeaderLines(const std::string& head) {
  std::vector<std::string> lines;
  size_t pos = head.find("\r\n") + 2;
  for (size_t end; (end = head.find("\r\n", pos)) != std::string::npos && end > pos;
       pos = end + 2) {
    lines.push_back(head.substr(pos, end - pos));
  }
  std::sort(lines.begin(), lines.end());
  return lines;
}

std::vector<std::string> Sorted(std::vector<std::string> lines) {
  std::sort(lines.begin(), lines.end());
  return lines;
}

class FetchRequest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(server_.Start()); }

  std::string Host() const { return "Host: 127.0.0.1:" + std::to_string(server_.port()); }

  RawHttpServer server_{"HTTP/1.1 200 OK\r\nContent-Length: 2\r\nConnection: close\r\n\r\nok"};
  TempDir dir_;
};

TEST_F(FetchRequest, CarriesExactlyTheFixedLinesWithoutAReferrer) {
  HTTPFetcher fetcher;
  ASSERT_EQ(
      fetcher.GetResource(server_.Url("/img/a.jpg"), dir_.file("a.jpg"), "", "", nullptr, nullptr),
      1);
  ASSERT_EQ(server_.requests().size(), 1u);
  const std::string head = server_.requests()[0];
  EXPECT_TRUE(head.starts_with("GET /img/a.jpg HTTP/1.1\r\n")) << head;
  EXPECT_TRUE(head.ends_with("\r\n\r\n"));
  EXPECT_EQ(HeaderLines(head),
            Sorted({Host(), "User-Agent: Mozilla/4.0 (compatible; MSIE 5.01; Windows 98)", kAccept,
                    "Accept-Language: es-mx", "Accept-Encoding: identity"}));
}

TEST_F(FetchRequest, AddsTheReferrerAndTheGivenAgent) {
  HTTPFetcher fetcher(std::string("Mozilla/5.0 (X11; Linux x86_64) Gecko/20100101"));
  ASSERT_EQ(fetcher.GetPage(server_.Url("/"), dir_.file("page.html"),
                            "http://gallery.example/index.html", "", nullptr, nullptr),
            1);
  EXPECT_EQ(HeaderLines(server_.requests()[0]),
            Sorted({Host(), "User-Agent: Mozilla/5.0 (X11; Linux x86_64) Gecko/20100101", kAccept,
                    "Accept-Language: es-mx", "Accept-Encoding: identity",
                    "Referer: http://gallery.example/index.html"}));
}

TEST_F(FetchRequest, AnEmptyAgentIsSentEmpty) {
  HTTPFetcher fetcher(std::string(""));
  ASSERT_EQ(fetcher.GetPage(server_.Url("/"), dir_.file("page.html"), "", "", nullptr, nullptr), 1);
  EXPECT_EQ(HeaderLines(server_.requests()[0]),
            Sorted({Host(), "User-Agent:", kAccept, "Accept-Language: es-mx",
                    "Accept-Encoding: identity"}));
}

TEST_F(FetchRequest, ALineBreakInTheReferrerCannotAddAHeader) {
  HTTPFetcher fetcher;
  ASSERT_EQ(fetcher.GetPage(server_.Url("/"), dir_.file("page.html"),
                            "http://a.example/\r\nX-Injected: 1", "", nullptr, nullptr),
            1);
  const auto lines = HeaderLines(server_.requests()[0]);
  EXPECT_NE(std::find(lines.begin(), lines.end(), "Referer: http://a.example/"), lines.end());
  for (const std::string& line : lines) EXPECT_FALSE(line.starts_with("X-Injected"));
}

// An agent file whose closing quote is missing reads with the line break that ended it.
TEST_F(FetchRequest, ALineBreakInTheAgentCannotEndTheHeadersEarly) {
  HTTPFetcher fetcher(std::string("Mozilla/5.0 (X11)\r\nX-Injected: 1\n"));
  ASSERT_EQ(fetcher.GetPage(server_.Url("/"), dir_.file("page.html"), "http://a.example/", "",
                            nullptr, nullptr),
            1);
  const std::string head = server_.requests()[0];
  for (size_t lf = head.find('\n'); lf != std::string::npos; lf = head.find('\n', lf + 1)) {
    EXPECT_EQ(head[lf - 1], '\r') << head;
  }
  EXPECT_EQ(HeaderLines(head),
            Sorted({Host(), "User-Agent: Mozilla/5.0 (X11)", kAccept, "Accept-Language: es-mx",
                    "Accept-Encoding: identity", "Referer: http://a.example/"}));
}

TEST(FetchRedirect, FollowsTheChainKeepingTheReferrerAndReadsTheFinalResponse) {
  LoopbackServer server;
  std::vector<std::string> referers;
  auto& http = server.server();
  http.Get("/r1", [&](const httplib::Request& req, httplib::Response& res) {
    referers.push_back(req.get_header_value("Referer"));
    res.set_redirect("/r2", 302);
  });
  http.Get("/r2", [&](const httplib::Request& req, httplib::Response& res) {
    referers.push_back(req.get_header_value("Referer"));
    res.set_redirect("/final.jpg", 301);
  });
  http.Get("/final.jpg", [&](const httplib::Request& req, httplib::Response& res) {
    referers.push_back(req.get_header_value("Referer"));
    res.set_header("X-Final", "yes");
    res.set_content("final body", "image/jpeg");
  });
  ASSERT_TRUE(server.Start());
  TempDir dir;
  HTTPFetcher fetcher;
  fetcher.m_bDumpHeaders = 1;
  ASSERT_EQ(fetcher.GetResource(server.Url("/r1"), dir.file("AAA_001.jpg"),
                                "http://gallery.example/", "", nullptr, nullptr),
            1);
  EXPECT_EQ(fetcher.m_nStatusCode, 200);
  EXPECT_EQ(fetcher.m_nContentLength, 10);
  EXPECT_EQ(ReadBytes(dir.file("AAA_001.jpg")), "final body");
  EXPECT_EQ(referers, std::vector<std::string>(3, "http://gallery.example/"));

  const std::string dump = ReadBytes(dir.file("AAA_001.headers"));
  EXPECT_NE(dump.find("GET /final.jpg HTTP/1.1\r\n"), std::string::npos);
  EXPECT_EQ(dump.find("GET /r1"), std::string::npos);
  EXPECT_NE(dump.find("X-Final: yes\r\n"), std::string::npos);
  EXPECT_EQ(dump.find(" 302 "), std::string::npos);
  EXPECT_EQ(dump.find(" 301 "), std::string::npos);
}

TEST(FetchResponseHead, FindsALowerCaseContentLength) {
  RawHttpServer server("HTTP/1.1 200 OK\r\ncontent-length: 5\r\nconnection: close\r\n\r\nhello");
  ASSERT_TRUE(server.Start());
  TempDir dir;
  HTTPFetcher fetcher;
  ASSERT_EQ(fetcher.GetResource(server.Url("/"), dir.file("x"), "", "", nullptr, nullptr), 1);
  EXPECT_EQ(fetcher.m_nContentLength, 5);
  EXPECT_EQ(fetcher.m_nStatusCode, 200);
}

TEST(FetchSession, ReusesItsConnectionAcrossFetches) {
  LoopbackServer server;
  std::vector<int> ports;
  server.server().Get("/f", [&](const httplib::Request& req, httplib::Response& res) {
    ports.push_back(req.remote_port);
    res.set_content(std::string(5000, 'f'), "image/jpeg");
  });
  ASSERT_TRUE(server.Start());
  TempDir dir;
  HTTPFetcher fetcher;
  for (int i = 0; i < 3; ++i) {
    ASSERT_EQ(fetcher.GetResource(server.Url("/f"), dir.file("f" + std::to_string(i)), "", "",
                                  nullptr, nullptr),
              1);
  }
  ASSERT_EQ(ports.size(), 3u);
  EXPECT_EQ(ports[1], ports[0]);
  EXPECT_EQ(ports[2], ports[0]);
}

}  // namespace
}  // namespace harvelo
