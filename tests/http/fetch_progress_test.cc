// The callback protocol as the engine sees it: one call before the first byte, one per
// read including the read that finds the end, and what ends up in the output file.
#include <gtest/gtest.h>

#include <string>

#include "fetch_recorder.h"
#include "http/http_fetcher.h"
#include "support/loopback_server.h"
#include "support/raw_http_server.h"
#include "support/temp_dir.h"

namespace harvelo {
namespace {

using testing::Exists;
using testing::FetchRecorder;
using testing::LoopbackServer;
using testing::PartialFileBeside;
using testing::ProgressCall;
using testing::RawHttpServer;
using testing::ReadBytes;
using testing::StepGate;
using testing::TempDir;
using testing::WriteBytes;

std::string Pattern(size_t size) {
  std::string body(size, '\0');
  for (size_t i = 0; i < size; ++i) body[i] = static_cast<char>('a' + i % 26);
  return body;
}

// The server sends the body in pieces, each only after the client has reported the
// previous one, so that every piece is exactly one read.
TEST(FetchProgress, OneCallBeforeTheBodyAndOnePerReadIncludingTheLast) {
  const std::string body = Pattern(700 + 2048 + 1);
  StepGate gate;
  RawHttpServer server([&](const std::string&, const RawHttpServer::Send& send) {
    send("HTTP/1.1 200 OK\r\nContent-Length: 2749\r\n\r\n");
    size_t offset = 0;
    int step = 0;
    for (size_t piece : {700, 2048, 1}) {
      if (!gate.WaitFor(step++)) return;
      send(std::string_view(body).substr(offset, piece));
      offset += piece;
    }
  });
  ASSERT_TRUE(server.Start());
  TempDir dir;
  FetchRecorder recorder;
  recorder.onCall = [&](int index) { gate.Reach(index); };
  HTTPFetcher fetcher;
  const std::string out = dir.file("AAA_001.jpg");

  ASSERT_EQ(
      fetcher.GetResource(server.Url("/a.jpg"), out, "", "", &FetchRecorder::Callback, &recorder),
      1);
  const std::vector<ProgressCall> expected = {
      {0, 2749, 0}, {1, 2749, 700}, {2, 2749, 2748}, {3, 2749, 2749}};
  EXPECT_EQ(recorder.calls, expected);
  EXPECT_EQ(ReadBytes(out), body);
  EXPECT_EQ(fetcher.m_nStatusCode, 200);
  EXPECT_EQ(fetcher.m_nContentLength, 2749);
  EXPECT_FALSE(PartialFileBeside(out));
}

class FetchProgressHttp : public ::testing::Test {
 protected:
  void SetUp() override {
    server_.server().Get("/big", [](const httplib::Request&, httplib::Response& res) {
      res.set_content(Pattern(100000), "application/octet-stream");
    });
    server_.server().Get("/chunked", [](const httplib::Request&, httplib::Response& res) {
      res.set_chunked_content_provider("image/jpeg", [](size_t offset, httplib::DataSink& sink) {
        if (offset >= 30000) {
          sink.done();
          return true;
        }
        const std::string piece = Pattern(30000).substr(offset, 5000);
        return sink.write(piece.data(), piece.size());
      });
    });
    server_.server().Get("/empty", [](const httplib::Request&, httplib::Response& res) {
      res.set_content("", "text/html");
    });
    server_.server().Get("/missing", [](const httplib::Request&, httplib::Response& res) {
      res.status = 404;
      res.set_content("<html>Not here</html>", "text/html");
    });
    ASSERT_TRUE(server_.Start());
  }

  LoopbackServer server_;
  TempDir dir_;
  FetchRecorder recorder_;
  HTTPFetcher fetcher_;
};

TEST_F(FetchProgressHttp, ReadsAreAtMost2048BytesAndTheLastCallReportsTheWholeBody) {
  const std::string out = dir_.file("big.bin");
  ASSERT_EQ(
      fetcher_.GetResource(server_.Url("/big"), out, "", "", &FetchRecorder::Callback, &recorder_),
      1);
  ASSERT_GE(recorder_.calls.size(), 100000u / 2048 + 1);
  EXPECT_EQ(recorder_.calls.front(), (ProgressCall{0, 100000, 0}));
  EXPECT_EQ(recorder_.calls.back().bytesSoFar, 100000);
  for (size_t i = 1; i < recorder_.calls.size(); ++i) {
    EXPECT_EQ(recorder_.calls[i].index, static_cast<int>(i));
    const int read = recorder_.calls[i].bytesSoFar - recorder_.calls[i - 1].bytesSoFar;
    EXPECT_GT(read, 0) << "call " << i;  // no call for the read that finds the end
    EXPECT_LE(read, 2048) << "call " << i;
  }
  EXPECT_EQ(ReadBytes(out), Pattern(100000));
}

TEST_F(FetchProgressHttp, WithoutContentLengthEveryCallAnnouncesZero) {
  const std::string out = dir_.file("chunked.jpg");
  ASSERT_EQ(fetcher_.GetResource(server_.Url("/chunked"), out, "", "", &FetchRecorder::Callback,
                                 &recorder_),
            1);
  EXPECT_EQ(fetcher_.m_nContentLength, 0);
  for (const ProgressCall& call : recorder_.calls) EXPECT_EQ(call.contentLength, 0);
  EXPECT_EQ(recorder_.calls.back().bytesSoFar, 30000);
  EXPECT_EQ(ReadBytes(out), Pattern(30000));
}

TEST_F(FetchProgressHttp, AnEmptyBodyGivesExactlyOneCallAndAnEmptyFile) {
  const std::string out = dir_.file("empty.html");
  ASSERT_EQ(
      fetcher_.GetPage(server_.Url("/empty"), out, "", "", &FetchRecorder::Callback, &recorder_),
      1);
  EXPECT_EQ(recorder_.calls, (std::vector<ProgressCall>{{0, 0, 0}}));
  ASSERT_TRUE(Exists(out));
  EXPECT_EQ(ReadBytes(out), "");
  EXPECT_EQ(FileHasData(out), 0);
}

TEST_F(FetchProgressHttp, A404BodyIsStoredAndTheStatusLeftToTheCaller) {
  const std::string out = dir_.file("page.html");
  ASSERT_EQ(fetcher_.GetPage(server_.Url("/missing"), out, "", "", nullptr, nullptr), 1);
  EXPECT_EQ(fetcher_.m_nStatusCode, 404);
  EXPECT_EQ(ReadBytes(out), "<html>Not here</html>");
}

TEST_F(FetchProgressHttp, CancelOnTheFirstCallRemovesEvenAFileThatWasThereBefore) {
  const std::string out = dir_.file("AAA_001.jpg");
  WriteBytes(out, "older download");
  recorder_.cancelAt = 0;
  fetcher_.m_dwErrorCode = 777;
  EXPECT_EQ(
      fetcher_.GetResource(server_.Url("/big"), out, "", "", &FetchRecorder::Callback, &recorder_),
      0);
  EXPECT_EQ(recorder_.calls.size(), 1u);
  EXPECT_FALSE(Exists(out));
  EXPECT_FALSE(PartialFileBeside(out));
  EXPECT_EQ(fetcher_.m_dwErrorCode, 0u);
  EXPECT_STREQ(fetcher_.m_szErrorDesc, "Action cancelled by caller.");
  EXPECT_STREQ(fetcher_.m_szErrorContext, "callback function.");
  EXPECT_EQ(fetcher_.m_nStatusCode, 200);  // the headers were read before the cancel
}

TEST_F(FetchProgressHttp, CancelInTheMiddleRemovesTheFileAndTheNextFetchStillWorks) {
  const std::string out = dir_.file("big.bin");
  recorder_.cancelAt = 5;
  EXPECT_EQ(
      fetcher_.GetResource(server_.Url("/big"), out, "", "", &FetchRecorder::Callback, &recorder_),
      0);
  EXPECT_EQ(recorder_.calls.size(), 6u);
  EXPECT_FALSE(Exists(out));
  // The session survives a cancelled transfer.
  EXPECT_EQ(
      fetcher_.GetPage(server_.Url("/missing"), dir_.file("p.html"), "", "", nullptr, nullptr), 1);
  EXPECT_EQ(fetcher_.m_nStatusCode, 404);
}

// Under way the body is in a file without a name (or, where the file system has none, a
// partial file), never under its final name.
TEST_F(FetchProgressHttp, TheBodyTakesItsNameOnlyWhenComplete) {
  const std::string out = dir_.file("big.bin");
  bool notYet = false;
  recorder_.onCall = [&](int index) {
    if (index == 3) notYet = !Exists(out);
  };
  ASSERT_EQ(
      fetcher_.GetResource(server_.Url("/big"), out, "", "", &FetchRecorder::Callback, &recorder_),
      1);
  EXPECT_TRUE(notYet);
  EXPECT_TRUE(Exists(out));
  EXPECT_FALSE(PartialFileBeside(out));
}

TEST_F(FetchProgressHttp, RemovePartialDownloadNowDeletesTheFileUnderWay) {
  const std::string out = dir_.file("big.bin");
  bool removed = false;
  recorder_.onCall = [&](int index) {
    if (index == 1) {
      // A fetch run to its end from inside this one's callback (a pumped handler).
      HTTPFetcher inner;
      inner.GetPage(server_.Url("/missing"), dir_.file("inner.html"), "", "", nullptr, nullptr);
    } else if (index == 2) {
      RemovePartialDownloadNow();
      removed = !PartialFileBeside(out);
    }
  };
  recorder_.cancelAt = 3;
  fetcher_.GetResource(server_.Url("/big"), out, "", "", &FetchRecorder::Callback, &recorder_);
  EXPECT_TRUE(removed);
  EXPECT_FALSE(Exists(out));
  EXPECT_TRUE(Exists(dir_.file("inner.html")));
}

// A folder shared with another run: the name is taken while the body arrives.
TEST_F(FetchProgressHttp, WithANextNameTheBodyNeverReplacesNorRemovesAFileAtItsName) {
  const std::string out = dir_.file("AAA_001.jpg");
  std::vector<std::string> asked;
  fetcher_.m_nextFreeName = [&](const std::string& taken) {
    asked.push_back(taken);
    return taken == out ? dir_.file("AAA_001_02.jpg") : std::string();
  };
  recorder_.onCall = [&](int index) {
    if (index == 1) WriteBytes(out, "the other run's");
  };
  ASSERT_EQ(
      fetcher_.GetResource(server_.Url("/big"), out, "", "", &FetchRecorder::Callback, &recorder_),
      1);
  EXPECT_EQ(asked, std::vector<std::string>{out});
  EXPECT_EQ(fetcher_.m_storedPath, dir_.file("AAA_001_02.jpg"));
  EXPECT_EQ(ReadBytes(out), "the other run's");
  EXPECT_TRUE(Exists(fetcher_.m_storedPath));

  // A cancelled transfer leaves the file of that name alone too; no name left: a failure
  // that leaves nothing behind.
  recorder_.onCall = nullptr;
  recorder_.cancelAt = 2;
  EXPECT_EQ(
      fetcher_.GetResource(server_.Url("/big"), out, "", "", &FetchRecorder::Callback, &recorder_),
      0);
  EXPECT_EQ(ReadBytes(out), "the other run's");
  recorder_.cancelAt = -1;
  EXPECT_EQ(fetcher_.GetResource(server_.Url("/big"), out, "", "", nullptr, nullptr), 0);
  EXPECT_STREQ(fetcher_.m_szErrorDesc, "Cannot write output file.");
  EXPECT_EQ(ReadBytes(out), "the other run's");
  EXPECT_FALSE(PartialFileBeside(out));
}

TEST(FileHasData, TellsEmptyAndMissingFilesFromFilesWithData) {
  TempDir dir;
  WriteBytes(dir.file("empty"), "");
  WriteBytes(dir.file("one"), "x");
  EXPECT_EQ(FileHasData(dir.file("missing")), 0);
  EXPECT_EQ(FileHasData(dir.file("empty")), 0);
  EXPECT_EQ(FileHasData(dir.file("one")), 1);
}

}  // namespace
}  // namespace harvelo
