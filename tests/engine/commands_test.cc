#include "engine_fixture.h"

namespace harvelo::testing {
namespace {

using CommandsTest = EngineTest;

TEST_F(CommandsTest, CheckDestinationWantsAPrefix) {
  window.controls[IDC_FILE_PREFIX] = "";
  EXPECT_EQ(engine.Check_Destination(), 0);
  ASSERT_EQ(window.messages.size(), 1u);
  EXPECT_EQ(window.messages[0].text, "Please enter a File Prefix.");
  EXPECT_EQ(window.messages[0].icon, MessageIcon::kStop);
  EXPECT_EQ(window.calls.back(), "focus 1002");
}

TEST_F(CommandsTest, CheckDestinationProvesTheDirectoryWritable) {
  window.controls[IDC_FILE_PREFIX] = "pic_";
  EXPECT_EQ(engine.Check_Destination(), 1);
  EXPECT_EQ(engine.filePrefix, "pic_");
  EXPECT_EQ(engine.destinationDir, dest.dir());
  EXPECT_TRUE(window.messages.empty());
  EXPECT_TRUE(DestFiles().empty());  // the test file is gone again
}

TEST_F(CommandsTest, CheckDestinationNamesAPathItCannotWriteTo) {
  window.controls[IDC_DESTINATION_DIR] = dest.dir() + "missing/";
  EXPECT_EQ(engine.Check_Destination(), 0);
  ASSERT_EQ(window.messages.size(), 1u);
  EXPECT_EQ(window.messages[0].text,
            "Cannot write files to the path \"" + dest.dir() + "missing/AAA_###.<ext>\".");
  EXPECT_EQ(window.messages[0].icon, MessageIcon::kStop);
  EXPECT_EQ(window.calls.back(), "focus 1001");
}

TEST_F(CommandsTest, StartWithoutAnAddressAsksForOne) {
  StartWith("");
  ASSERT_EQ(window.messages.size(), 1u);
  EXPECT_EQ(window.messages[0].text, "Please enter the URL to process.");
  EXPECT_EQ(window.calls.back(), "focus 1013");
  EXPECT_EQ(engine.URL_List.Count(), 0);
}

TEST_F(CommandsTest, StartTakesTheBrowsersCookieAndReferrerForTheSamePage) {
  engine.busy = 1;
  engine.lookUpPageContext = [](const std::string& address, std::string& cookie,
                                std::string& referrer) {
    if (address != "http://a/known") return false;
    cookie = "id=1";
    referrer = "http://a/from";
    return true;
  };
  StartWith("http://a/known");
  StartWith("http://a/other");
  EXPECT_STREQ(engine.URL_List.FrontCookie(), "id=1");
  EXPECT_STREQ(engine.URL_List.FrontReferrer(), "http://a/from");
  EXPECT_EQ(engine.URL_List.FrontKind(), PageEntry);
  engine.URL_List.PopFront();
  EXPECT_EQ(engine.URL_List.FrontCookie(), nullptr);
  EXPECT_EQ(engine.URL_List.FrontReferrer(), nullptr);
}

TEST_F(CommandsTest, BatchFileCancelledOrUnreadable) {
  engine.OnBatchFile();  // cancelled
  EXPECT_TRUE(window.messages.empty());
  window.batchFile = dest.file("missing.txt");
  engine.OnBatchFile();
  ASSERT_EQ(window.messages.size(), 1u);
  EXPECT_EQ(window.messages[0].text, "Cannot open selected batch file.");
  EXPECT_EQ(window.messages[0].icon, MessageIcon::kStop);
}

TEST_F(CommandsTest, EmptyBatchFileIsReported) {
  TempDir other;
  WriteBytes(other.file("batch.txt"), "");
  window.batchFile = other.file("batch.txt");
  engine.OnBatchFile();
  ASSERT_EQ(window.messages.size(), 1u);
  EXPECT_EQ(window.messages[0].text,
            "The batch file appears to be empty.\n\nRemember: Each URL has to be separated by a "
            "newline.");
  EXPECT_EQ(engine.URL_List.Count(), 0);
}

TEST_F(CommandsTest, CapturedPageDuringARunIsQueuedWithoutEmptyValues) {
  engine.busy = 1;
  window.controls[IDC_FILE_PREFIX] = "";
  engine.QueueCapturedPage("http://a/captured", "", "http://a/ref");
  EXPECT_TRUE(window.messages.empty());
  ASSERT_EQ(engine.URL_List.Count(), 1);
  EXPECT_EQ(engine.URL_List.FrontCookie(), nullptr);
  EXPECT_STREQ(engine.URL_List.FrontReferrer(), "http://a/ref");
}

}  // namespace
}  // namespace harvelo::testing
