// Fetches that fail: where the error record comes from, and what happens to outPath.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <string>

#include "fetch_recorder.h"
#include "http/http_fetcher.h"
#include "support/file_size_limit.h"
#include "support/loopback_server.h"
#include "support/raw_http_server.h"
#include "support/temp_dir.h"

namespace harvelo {
namespace {

using testing::Exists;
using testing::FetchRecorder;
using testing::FileSizeLimit;
using testing::LoopbackServer;
using testing::PartialFileBeside;
using testing::RawHttpServer;
using testing::ReadBytes;
using testing::StepGate;
using testing::TempDir;
using testing::WriteBytes;

// A port on 127.0.0.1 that nothing listens on.
int ClosedPort() {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof addr;
  ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
  ::close(fd);
  return ntohs(addr.sin_port);
}

void ExpectOpenFailure(const HTTPFetcher& fetcher, std::uint32_t code) {
  EXPECT_EQ(fetcher.m_dwErrorCode, code);
  EXPECT_STREQ(fetcher.m_szErrorContext, "CInternetSession::OpenURL()");
  EXPECT_EQ(fetcher.m_nStatusCode, 0);
}

TEST(FetchFailure, ARefusedConnectionIs12029AndLeavesAnExistingFileAlone) {
  TempDir dir;
  const std::string out = dir.file("page.html");
  WriteBytes(out, "the page of the last run");
  FetchRecorder recorder;
  HTTPFetcher fetcher;
  fetcher.m_bDumpHeaders = 1;
  const std::string url = "http://127.0.0.1:" + std::to_string(ClosedPort()) + "/";
  EXPECT_EQ(fetcher.GetPage(url, out, "", "", &FetchRecorder::Callback, &recorder), 0);
  ExpectOpenFailure(fetcher, 12029);
  EXPECT_STREQ(fetcher.m_szErrorDesc, "A connection with the server could not be established\r\n");
  EXPECT_TRUE(recorder.calls.empty());
  EXPECT_EQ(ReadBytes(out), "the page of the last run");
  EXPECT_FALSE(Exists(dir.file("page.headers")));  // no response, no dump
}

TEST(FetchFailure, OnlyHttpAndHttpsAreFetched) {
  TempDir dir;
  const std::string out = dir.file("x.jpg");
  HTTPFetcher fetcher;
  for (const char* url : {"file:///etc/hostname", "ftp://127.0.0.1/x.jpg", "gopher://127.0.0.1/x",
                          "dict://127.0.0.1/d:x", "www.example.com/x.jpg", "javascript:alert(1)"}) {
    SCOPED_TRACE(url);
    EXPECT_EQ(fetcher.GetResource(url, out, "", "", nullptr, nullptr), 0);
    ExpectOpenFailure(fetcher, 12006);
    EXPECT_FALSE(Exists(out));
  }
  EXPECT_EQ(fetcher.GetResource("http://exa mple.com/", out, "", "", nullptr, nullptr), 0);
  ExpectOpenFailure(fetcher, 12005);
}

TEST(FetchFailure, ARedirectToAnotherSchemeIsRefused) {
  RawHttpServer server(
      "HTTP/1.1 302 Found\r\nLocation: file:///etc/hostname\r\nContent-Length: 0\r\n\r\n");
  ASSERT_TRUE(server.Start());
  TempDir dir;
  const std::string out = dir.file("x.jpg");
  HTTPFetcher fetcher;
  EXPECT_EQ(fetcher.GetResource(server.Url("/x.jpg"), out, "", "", nullptr, nullptr), 0);
  ExpectOpenFailure(fetcher, 12006);
  EXPECT_FALSE(Exists(out));
}

TEST(FetchFailure, EndlessRedirectsFailWith12156) {
  RawHttpServer server(
      "HTTP/1.1 302 Found\r\nLocation: /again\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
  ASSERT_TRUE(server.Start());
  TempDir dir;
  HTTPFetcher fetcher;
  EXPECT_EQ(fetcher.GetResource(server.Url("/x"), dir.file("x"), "", "", nullptr, nullptr), 0);
  ExpectOpenFailure(fetcher, 12156);
  EXPECT_FALSE(Exists(dir.file("x")));
}

TEST(FetchFailure, AServerThatAnswersNothingIsAnInvalidResponse) {
  RawHttpServer server([](const std::string&, const RawHttpServer::Send&) {});
  ASSERT_TRUE(server.Start());
  TempDir dir;
  HTTPFetcher fetcher;
  EXPECT_EQ(fetcher.GetPage(server.Url("/"), dir.file("p.html"), "", "", nullptr, nullptr), 0);
  ExpectOpenFailure(fetcher, 12152);
}

TEST(FetchFailure, AConnectionClosedInTheMiddleOfTheHeadersIsAnInvalidResponse) {
  for (const char* cut : {"HTTP/1.1 200 OK\r\nContent-Length: 0\r\n", "HTTP/1.1 200 OK\r\n",
                          "HTTP/1.1 200 OK\r\nContent-Type: image/jpeg"}) {
    RawHttpServer server(cut);
    ASSERT_TRUE(server.Start());
    TempDir dir;
    const std::string out = dir.file("cut.jpg");
    FetchRecorder recorder;
    HTTPFetcher fetcher;
    EXPECT_EQ(
        fetcher.GetResource(server.Url("/"), out, "", "", &FetchRecorder::Callback, &recorder), 0)
        << cut;
    EXPECT_EQ(fetcher.m_dwErrorCode, 12152u) << cut;
    EXPECT_STREQ(fetcher.m_szErrorContext, "CInternetSession::OpenURL()");
    EXPECT_TRUE(recorder.calls.empty()) << cut;
    EXPECT_FALSE(Exists(out)) << cut;
  }
}

TEST(FetchFailure, ABodyCutShortIsAReadFailureAndRemovesTheFile) {
  RawHttpServer server("HTTP/1.1 200 OK\r\nContent-Length: 5000\r\n\r\nonly this much");
  ASSERT_TRUE(server.Start());
  TempDir dir;
  const std::string out = dir.file("cut.jpg");
  WriteBytes(out, "older");
  FetchRecorder recorder;
  HTTPFetcher fetcher;
  EXPECT_EQ(fetcher.GetResource(server.Url("/"), out, "", "", &FetchRecorder::Callback, &recorder),
            0);
  EXPECT_EQ(fetcher.m_dwErrorCode, 12030u);
  EXPECT_STREQ(fetcher.m_szErrorContext, "CHttpFile::Read()");
  EXPECT_EQ(fetcher.m_nStatusCode, 200);
  EXPECT_EQ(recorder.calls.back().bytesSoFar, 14);
  EXPECT_FALSE(Exists(out));
  EXPECT_FALSE(PartialFileBeside(out));
}

TEST(FetchFailure, ABodyThatStallsTimesOutAndRemovesTheFile) {
  StepGate release;
  RawHttpServer server([&](const std::string&, const RawHttpServer::Send& send) {
    send("HTTP/1.1 200 OK\r\nContent-Length: 10000\r\n\r\n" + std::string(100, 'x'));
    release.WaitFor(1);
  });
  ASSERT_TRUE(server.Start());
  TempDir dir;
  const std::string out = dir.file("slow.jpg");
  FetchRecorder recorder;
  HTTPFetcher fetcher;
  fetcher.SetTimeouts(5000, 300);
  EXPECT_EQ(fetcher.GetResource(server.Url("/"), out, "", "", &FetchRecorder::Callback, &recorder),
            0);
  release.Reach(1);
  EXPECT_EQ(fetcher.m_dwErrorCode, 12002u);
  EXPECT_STREQ(fetcher.m_szErrorDesc, "The operation timed out\r\n");
  EXPECT_STREQ(fetcher.m_szErrorContext, "CHttpFile::Read()");
  EXPECT_EQ(recorder.calls.size(), 2u);
  EXPECT_FALSE(Exists(out));
  EXPECT_FALSE(PartialFileBeside(out));
}

TEST(FetchFailure, HeadersThatNeverComeTimeOutWhileOpening) {
  StepGate release;
  RawHttpServer server([&](const std::string&, const RawHttpServer::Send&) { release.WaitFor(1); });
  ASSERT_TRUE(server.Start());
  TempDir dir;
  HTTPFetcher fetcher;
  fetcher.SetTimeouts(5000, 300);
  EXPECT_EQ(fetcher.GetPage(server.Url("/"), dir.file("p.html"), "", "", nullptr, nullptr), 0);
  release.Reach(1);
  ExpectOpenFailure(fetcher, 12002);
  EXPECT_FALSE(Exists(dir.file("p.html")));
}

TEST(FetchFailure, AnOutputFileThatCannotBeCreatedLeavesOutPathAsItWas) {
  LoopbackServer server;
  server.server().Get("/x.jpg", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("jpeg", "image/jpeg");
  });
  ASSERT_TRUE(server.Start());
  TempDir dir;
  FetchRecorder recorder;
  HTTPFetcher fetcher;
  fetcher.m_bDumpHeaders = 1;

  // A directory stands where the file should go: the dump is still written beside it.
  const std::string taken = dir.file("AAA_001.jpg");
  std::filesystem::create_directory(taken);
  EXPECT_EQ(
      fetcher.GetResource(server.Url("/x.jpg"), taken, "", "", &FetchRecorder::Callback, &recorder),
      0);
  EXPECT_EQ(fetcher.m_dwErrorCode, 0u);
  EXPECT_STREQ(fetcher.m_szErrorDesc, "Cannot create output file.");
  EXPECT_STREQ(fetcher.m_szErrorContext, "fopen(,\"wb\")");
  EXPECT_TRUE(recorder.calls.empty());
  EXPECT_TRUE(std::filesystem::is_directory(taken));
  EXPECT_TRUE(Exists(dir.file("AAA_001.headers")));

  EXPECT_EQ(fetcher.GetResource(server.Url("/x.jpg"), dir.file("no/such/dir/x.jpg"), "", "",
                                nullptr, nullptr),
            0);
  EXPECT_STREQ(fetcher.m_szErrorDesc, "Cannot create output file.");
}

TEST(FetchFailure, AFailedWriteEndsTheFetchInsteadOfStoringATruncatedFile) {
  LoopbackServer server;
  server.server().Get("/big.jpg", [](const httplib::Request&, httplib::Response& res) {
    res.set_content(std::string(300000, 'j'), "image/jpeg");
  });
  ASSERT_TRUE(server.Start());
  TempDir dir;
  const std::string out = dir.file("big.jpg");
  WriteBytes(out, "older");
  HTTPFetcher fetcher;
  int result = -1;
  {
    FileSizeLimit limit(100000);
    result = fetcher.GetResource(server.Url("/big.jpg"), out, "", "", nullptr, nullptr);
  }
  EXPECT_EQ(result, 0);
  EXPECT_EQ(fetcher.m_dwErrorCode, 0u);
  EXPECT_STREQ(fetcher.m_szErrorDesc, "Cannot write output file.");
  EXPECT_STREQ(fetcher.m_szErrorContext, "fwrite()");
  EXPECT_FALSE(Exists(out));
  EXPECT_FALSE(PartialFileBeside(out));
}

TEST(FetchFailure, ASuccessLeavesThePreviousErrorRecordAlone) {
  LoopbackServer server;
  server.server().Get("/ok", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("ok", "text/plain");
  });
  ASSERT_TRUE(server.Start());
  TempDir dir;
  HTTPFetcher fetcher;
  ASSERT_EQ(fetcher.GetPage("ftp://127.0.0.1/", dir.file("a"), "", "", nullptr, nullptr), 0);
  ASSERT_EQ(fetcher.GetPage(server.Url("/ok"), dir.file("b"), "", "", nullptr, nullptr), 1);
  EXPECT_EQ(fetcher.m_dwErrorCode, 12006u);
  EXPECT_STREQ(fetcher.m_szErrorContext, "CInternetSession::OpenURL()");
}

}  // namespace
}  // namespace harvelo
