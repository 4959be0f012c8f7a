#include <regex>

#include "engine_fixture.h"

namespace harvelo::testing {
namespace {

using StatusDisplayTest = EngineTest;

TEST_F(StatusDisplayTest, PercentageRowsCountTheQueue) {
  engine.runStatus = 33;
  engine.Show_Status(2, 3);
  EXPECT_EQ(window.title, "HV: 33%");
  EXPECT_EQ(window.controls[IDC_STATUS_LINE], "Downloading resource 2 of 3 (33% done).");

  engine.URL_List.PushBack("http://a/1", PageEntry);
  engine.URL_List.PushBack("http://a/2", PageEntry);
  engine.Show_Status(2, 3);
  EXPECT_EQ(window.title, "HV: 33% (2 queued)");
  EXPECT_EQ(window.controls[IDC_STATUS_LINE], "Downloading resource 2 of 3 (33% done, 2 queued).");
}

TEST_F(StatusDisplayTest, PauseMarkKeepsTheRememberedIndexAndTotal) {
  engine.runStatus = 66;
  engine.Show_Status(3, 4);
  engine.paused = 1;
  engine.Show_Status(-1, -1);
  EXPECT_EQ(window.title, "HV: [PAUSED] 66%");
  EXPECT_EQ(window.controls[IDC_STATUS_LINE], "[PAUSED] Downloading resource 3 of 4 (66% done).");
  engine.paused = 0;
  engine.Show_Status(-1, -1);
  EXPECT_EQ(window.controls[IDC_STATUS_LINE], "Downloading resource 3 of 4 (66% done).");
}

TEST_F(StatusDisplayTest, PreparingRows) {
  engine.runStatus = -2;
  engine.Show_Status(0, 0);
  EXPECT_EQ(window.title, "HV: Prep...");
  EXPECT_EQ(window.controls[IDC_STATUS_LINE], "Preparing to download...");
  engine.URL_List.PushBack("http://a/1", PageEntry);
  engine.URL_List.PushBack("http://a/2", PageEntry);
  engine.Show_Status(0, 0);
  EXPECT_EQ(window.title, "HV: Prep... (2 Queued)");
  EXPECT_EQ(window.controls[IDC_STATUS_LINE], "Preparing to download (2 queued)...");
}

TEST_F(StatusDisplayTest, SummaryRowsTakeTheCountAndTheStopFlag) {
  engine.runStatus = -5;
  engine.Show_Status(4, 1);
  EXPECT_EQ(window.title, "HV: Stopped.");
  EXPECT_EQ(window.controls[IDC_STATUS_LINE], "4 resources downloaded successfully [STOPPED].");
  engine.runStatus = -3;
  engine.Show_Status(3, 0);
  EXPECT_EQ(window.title, "HV: Done.");
  EXPECT_EQ(window.controls[IDC_STATUS_LINE], "3 resources downloaded successfully.");
  engine.runStatus = -4;
  engine.Show_Status(0, 0);
  EXPECT_EQ(window.title, "HV: Error.");
  EXPECT_EQ(window.controls[IDC_STATUS_LINE], "No resources downloaded.");
  engine.Show_Status(0, 1);
  EXPECT_EQ(window.controls[IDC_STATUS_LINE], "No resources downloaded [STOPPED].");
  engine.runStatus = -1;
  engine.Show_Status(0, 0);
  EXPECT_EQ(window.title, "");
  EXPECT_EQ(window.controls[IDC_STATUS_LINE], "");
}

TEST_F(StatusDisplayTest, LogRowsGoOnTopAndAReplaceTakesTheTopRowsPlace) {
  engine.Add_Log_Row("In Progress", "http://a/1.jpg", "/d/AAA_001.jpg", false);
  engine.Add_Log_Row("Ok", "http://a/1.jpg", "/d/AAA_001.jpg", true);
  engine.Add_Log_Row("In Progress", "http://a/2.jpg", "/d/AAA_002.jpg", false);
  ASSERT_EQ(window.rows.size(), 2u);
  EXPECT_EQ(window.RowStatuses(), (std::vector<std::string>{"In Progress", "Ok"}));
  EXPECT_EQ(window.rows[0].address, "http://a/2.jpg");
  EXPECT_EQ(window.rows[1].filePath, "/d/AAA_001.jpg");
  EXPECT_TRUE(std::regex_match(window.rows[0].time, std::regex("([01][0-9]|2[0-3]):[0-5][0-9]")))
      << window.rows[0].time;
  engine.Clear_Log();
  EXPECT_TRUE(window.rows.empty());
}

}  // namespace
}  // namespace harvelo::testing
