// Get from Browser, the typed address's look-up and the Browser button over stand-in
// services: which messages, which files are read and deleted, what is captured.
#include "capture/browser_capture.h"

#include <gtest/gtest.h>

#include <functional>

#include "platform/string_table.h"
#include "platform/thread_locale.h"
#include "support/recording_window.h"
#include "support/temp_dir.h"

namespace harvelo {
namespace {

using harvelo::testing::Exists;
using harvelo::testing::TempDir;
using harvelo::testing::WriteBytes;

// A DDE peer that answers every conversation with a fixed reply, or refuses it.
class FixedReplyTransport : public DdeTransport {
 public:
  FixedReplyTransport(std::string* service, std::optional<std::string> reply)
      : service_(service), reply_(std::move(reply)) {}
  std::uint32_t Initialize(std::uint32_t& instance) override {
    instance = 1;
    return 0;
  }
  void Uninitialize(std::uint32_t) override {}
  DdeHandle CreateStringHandle(std::uint32_t, const std::string& text) override {
    strings_.push_back(text);
    return strings_.size();
  }
  void FreeStringHandle(std::uint32_t, DdeHandle) override {}
  DdeHandle Connect(std::uint32_t, DdeHandle service, DdeHandle) override {
    *service_ = strings_[service - 1];
    return reply_ ? 1 : 0;
  }
  void Disconnect(DdeHandle) override {}
  DdeHandle Request(DdeHandle, DdeHandle, unsigned, unsigned) override { return 1; }
  bool AccessData(DdeHandle, std::string& bytes) override {
    bytes = *reply_;
    return true;
  }
  void UnaccessData(DdeHandle) override {}
  void FreeDataHandle(DdeHandle) override {}
  std::uint32_t GetLastError(std::uint32_t) override { return kDmlErrNoConvEstablished; }

 private:
  std::string* service_;
  std::optional<std::string> reply_;
  std::vector<std::string> strings_;
};

class FakeServices : public CaptureServices {
 public:
  int RunInspector() override {
    ++inspector_runs;
    if (inspector_writes) inspector_writes();
    return inspector_result;
  }
  std::unique_ptr<DdeTransport> OpenDdeTransport() override {
    if (no_transport) return nullptr;
    return std::make_unique<FixedReplyTransport>(&dde_service, dde_reply);
  }
  bool ChooseWindow(const std::string& inspectorOut, CapturedPage& chosen) override {
    chooser_saw = inspectorOut;
    if (!choose) return false;
    chosen = *choose;
    return true;
  }
  void OpenAddress(const std::string& address) override { opened.push_back(address); }

  bool no_transport = false;
  int inspector_result = 1;
  int inspector_runs = 0;
  std::function<void()> inspector_writes;
  std::string dde_service;
  std::optional<std::string> dde_reply;
  std::string chooser_saw;
  std::optional<CapturedPage> choose;
  std::vector<std::string> opened;
};

class BrowserCaptureTest : public ::testing::Test {
 protected:
  BrowserCaptureTest() : capture(services, window, temp.dir()) { SetThreadLocale(kLocaleEnglish); }
  void InspectorLeaves(const std::optional<std::string>& n, const std::optional<std::string>& out) {
    services.inspector_writes = [this, n, out] {
      if (n) WriteBytes(temp.file("inspector.n"), *n);
      if (out) WriteBytes(temp.file("inspector.out"), *out);
    };
  }
  bool FilesGone() const {
    return !Exists(temp.file("inspector.n")) && !Exists(temp.file("inspector.out"));
  }

  TempDir temp;
  FakeServices services;
  harvelo::testing::RecordingWindow window;
  BrowserCapture capture;
};

TEST_F(BrowserCaptureTest, OneWindowIsTakenWithItsCookieAndReferrerAndTheFilesGo) {
  InspectorLeaves("1\r\n", "\"T\" \"http://a/\" \"c=1\" \"http://r/\"\r\n");
  const auto page = capture.Capture(0);
  EXPECT_EQ(page.address, "http://a/");
  EXPECT_EQ(page.cookie, "c=1");
  EXPECT_EQ(page.referrer, "http://r/");
  EXPECT_TRUE(window.messages.empty());
  EXPECT_TRUE(FilesGone());
}

TEST_F(BrowserCaptureTest, NoWindowsOrNoCountShowsMessage83) {
  for (const auto& n : {std::optional<std::string>("0\r\n"), std::optional<std::string>()}) {
    window.messages.clear();
    InspectorLeaves(n, "");
    EXPECT_EQ(capture.Capture(0).address, "");
    ASSERT_EQ(window.messages.size(), 1u);
    EXPECT_EQ(window.messages[0].text,
              "Cannot found any Microsoft Internet Explorer's windows with on-line content.");
    EXPECT_EQ(window.messages[0].icon, MessageIcon::kError);
    EXPECT_TRUE(FilesGone());
  }
}

TEST_F(BrowserCaptureTest, InspectorFailingShowsMessage82AndTouchesNoFile) {
  services.inspector_result = 0;
  WriteBytes(temp.file("inspector.n"), "1\r\n");  // left from elsewhere: not ours to delete
  EXPECT_EQ(capture.Capture(0).address, "");
  ASSERT_EQ(window.messages.size(), 1u);
  EXPECT_EQ(window.messages[0].text,
            "Cannot found \"Inspector.exe\" module. Please re-install Harvelo to recover lost "
            "modules.");
  EXPECT_TRUE(Exists(temp.file("inspector.n")));
}

TEST_F(BrowserCaptureTest, ACountOfOneWithoutTheListCapturesNothingSilently) {
  InspectorLeaves("1\r\n", std::nullopt);
  EXPECT_EQ(capture.Capture(0).address, "");
  EXPECT_TRUE(window.messages.empty());
  EXPECT_TRUE(FilesGone());
}

TEST_F(BrowserCaptureTest, SeveralWindowsAskTheChoiceAndCancelDeletesTheFilesAllTheSame) {
  InspectorLeaves("2\r\n", "\"A\" \"http://a/\" \"\" \"\" \"B\" \"http://b/\" \"\" \"\"");
  EXPECT_EQ(capture.Capture(0).address, "");
  EXPECT_EQ(services.chooser_saw, temp.file("inspector.out"));
  EXPECT_TRUE(FilesGone());
  services.choose = CapturedPage{"http://b/", "k=v", ""};
  EXPECT_EQ(capture.Capture(0).cookie, "k=v");
  EXPECT_TRUE(window.messages.empty());
}

TEST_F(BrowserCaptureTest, NavigatorKindsPickTheirServiceAndFailuresShowMessage81) {
  services.dde_reply = "\"http://n/\",\"N\"";
  EXPECT_EQ(capture.Capture(1).address, "http://n/");
  EXPECT_EQ(services.dde_service, "NETSCAPE");
  EXPECT_EQ(capture.Capture(2).address, "http://n/");
  EXPECT_EQ(services.dde_service, "NETSCAPE6");
  EXPECT_EQ(capture.Capture(7).address, "http://n/");
  EXPECT_EQ(services.dde_service, "NETSCAPE6");
  EXPECT_EQ(services.inspector_runs, 0);
  services.dde_reply = "no comma";  // success with an empty address: no message
  EXPECT_EQ(capture.Capture(1).address, "");
  EXPECT_TRUE(window.messages.empty());
  services.dde_reply.reset();
  EXPECT_EQ(capture.Capture(2).address, "");
  ASSERT_EQ(window.messages.size(), 1u);
  EXPECT_EQ(window.messages[0].text, "Cannot found any Netscape Navigator's windows open.");
  services.no_transport = true;  // no way to reach the browser at all
  EXPECT_EQ(capture.Capture(1).address, "");
  EXPECT_EQ(window.messages.size(), 2u);
}

TEST_F(BrowserCaptureTest, LookUpMatchesTheExactAddressOnlyAndShowsNothing) {
  const std::string out =
      "\"A\" \"http://a/X\" \"k=1\" \"http://r/\"\r\n\"E\" \"http://e/\" \"\" \"\"\r\n";
  InspectorLeaves("2\r\n", out);
  std::string cookie = "before", referrer = "before";
  EXPECT_FALSE(capture.LookUpPageContext("http://a/x", cookie, referrer));
  EXPECT_EQ(cookie, "before");
  EXPECT_TRUE(FilesGone());
  EXPECT_TRUE(capture.LookUpPageContext("http://a/X", cookie, referrer));
  EXPECT_EQ(cookie, "k=1");
  EXPECT_EQ(referrer, "http://r/");
  EXPECT_TRUE(capture.LookUpPageContext("http://e/", cookie, referrer));
  EXPECT_EQ(cookie, "");  // found with empty values: passed as they are
  services.inspector_result = 0;
  EXPECT_FALSE(capture.LookUpPageContext("http://e/", cookie, referrer));
  EXPECT_TRUE(window.messages.empty());
}

TEST_F(BrowserCaptureTest, TheBrowserButtonOpensTheCurrentPageOrSaysThereIsNone) {
  capture.OpenCurrentPage("");
  ASSERT_EQ(window.messages.size(), 1u);
  EXPECT_EQ(window.messages[0].text, "There isn't Current Page.");
  EXPECT_EQ(window.messages[0].icon, MessageIcon::kInformation);
  capture.OpenCurrentPage("http://a/page.html");
  EXPECT_EQ(services.opened, std::vector<std::string>{"http://a/page.html"});
}

}  // namespace
}  // namespace harvelo
