// The words of a failed fetch: WinInet codes and descriptions for libcurl's failures,
// the error report, and the page-failure texts of the interface.
#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "fetch_recorder.h"
#include "http/error_texts.h"
#include "http/http_fetcher.h"
#include "http/wininet_errors.h"
#include "platform/thread_locale.h"
#include "support/raw_http_server.h"
#include "support/temp_dir.h"

namespace harvelo {
namespace {

TEST(WinInetErrors, EveryDescriptionFitsTheRecordAndEndsLikeThePlatformsTexts) {
  for (int rc = 0; rc <= CURL_LAST; ++rc) {
    for (long osErrno : {0, ECONNRESET}) {
      for (long verify : {0L, 10L, 18L}) {
        const WinInetError error = WinInetErrorFor(static_cast<CURLcode>(rc), osErrno, verify);
        SCOPED_TRACE("curl code " + std::to_string(rc));
        EXPECT_LE(error.description.size() + 1, 80u) << error.description;
        EXPECT_TRUE(error.description.ends_with("\r\n"));
        EXPECT_GE(error.code, 12000u);
      }
    }
  }
}

// The codes the loopback tests can't provoke: the ones that need the failure's detail.
TEST(WinInetErrors, TheFailuresDetailPicksTheCode) {
  EXPECT_EQ(WinInetErrorFor(CURLE_RECV_ERROR, ECONNRESET).code, 12031u);
  EXPECT_EQ(WinInetErrorFor(CURLE_RECV_ERROR, EPIPE).code, 12030u);
  EXPECT_EQ(WinInetErrorFor(CURLE_PEER_FAILED_VERIFICATION, 0, 10).code, 12037u);
  EXPECT_EQ(WinInetErrorFor(CURLE_PEER_FAILED_VERIFICATION, 0, 0).code, 12038u);
}

class RecordingBoxes : public MessageBoxes {
 public:
  MessageAnswer ShowMessage(const std::string& text, MessageIcon icon,
                            MessageButtons buttons) override {
    texts.push_back(text);
    icons.push_back(icon);
    this->buttons.push_back(buttons);
    return MessageAnswer::kOk;
  }
  std::vector<std::string> texts;
  std::vector<MessageIcon> icons;
  std::vector<MessageButtons> buttons;
};

TEST(WinInetErrorReport, KeepsTheCarriageReturnOfThePlatformsText) {
  HTTPFetcher fetcher;
  fetcher.m_dwErrorCode = 12002;
  std::snprintf(fetcher.m_szErrorDesc, sizeof fetcher.m_szErrorDesc, "%s",
                "The operation timed out\r\n");
  std::snprintf(fetcher.m_szErrorContext, sizeof fetcher.m_szErrorContext, "%s",
                "CHttpFile::Read()");
  RecordingBoxes boxes;
  fetcher.ShowWinInetError("Error downloading http://h/a.jpg:", boxes);
  ASSERT_EQ(boxes.texts.size(), 1u);
  EXPECT_EQ(boxes.texts[0],
            "Error downloading http://h/a.jpg:\n\nWinInet Code: 12002 (0x2EE2)\n"
            "Descrip: The operation timed out\r\nContext: CHttpFile::Read()");
  EXPECT_EQ(boxes.icons[0], MessageIcon::kError);
  EXPECT_EQ(boxes.buttons[0], MessageButtons::kOk);
}

TEST(WinInetErrorReport, ShowsTheFetchersOwnFailuresWithCodeZero) {
  testing::RawHttpServer server("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok");
  ASSERT_TRUE(server.Start());
  testing::TempDir dir;
  testing::FetchRecorder cancel;
  cancel.cancelAt = 0;
  HTTPFetcher fetcher;
  ASSERT_EQ(fetcher.GetResource(server.Url("/"), dir.file("x"), "", "",
                                &testing::FetchRecorder::Callback, &cancel),
            0);
  EXPECT_EQ(fetcher.WinInetErrorText("P"),
            "P\n\nWinInet Code: 0 (0x0)\nDescrip: Action cancelled by caller.\n"
            "Context: callback function.");
}

class PageErrorTexts : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = GetThreadLocale();
    SetThreadLocale(kLocaleEnglish);
  }
  void TearDown() override { SetThreadLocale(saved_); }
  int saved_ = 0;
};

TEST_F(PageErrorTexts, CannotConnectGetsTheFirewallHint) {
  HTTPFetcher fetcher;
  fetcher.m_dwErrorCode = 12029;
  EXPECT_TRUE(PageFetchErrorText(fetcher).starts_with(
      "Cannot Connect to Internet (WinInet Code: 0x2EFD).\n\nImportant:"));
}

TEST_F(PageErrorTexts, OtherFailuresShowCodeDescriptionAndContext) {
  HTTPFetcher fetcher;
  fetcher.m_dwErrorCode = 12007;
  std::snprintf(fetcher.m_szErrorDesc, sizeof fetcher.m_szErrorDesc, "%s",
                WinInetDescription(12007).c_str());
  std::snprintf(fetcher.m_szErrorContext, sizeof fetcher.m_szErrorContext, "%s",
                "CInternetSession::OpenURL()");
  EXPECT_EQ(PageFetchErrorText(fetcher),
            "Cannot download URL's source text.\nWinInet Code: 12007 (0x2EE7)\n"
            "Err Desc.: The server name or address could not be resolved\r\n\n"
            "Err Context: CInternetSession::OpenURL()");
}

TEST_F(PageErrorTexts, ARefusalNamesTheStatus) {
  EXPECT_STREQ(Status_Suffix(401), " (\"Unauthorized access\").");
  EXPECT_STREQ(Status_Suffix(403), " (\"Forbidden access\").");
  EXPECT_STREQ(Status_Suffix(404), " (\"Resource not found\").");
  EXPECT_STREQ(Status_Suffix(500), " (\"Internal server error\").");
  EXPECT_STREQ(Status_Suffix(503), ".");
  EXPECT_EQ(ServerRefusedText(404),
            "Server found but it refused to send URL's source text. It returned HTTP error code "
            "404 (\"Resource not found\").");
  EXPECT_EQ(ServerRefusedText(0),
            "Server found but it refused to send URL's source text. It returned HTTP error code "
            "0.");
}

}  // namespace
}  // namespace harvelo
