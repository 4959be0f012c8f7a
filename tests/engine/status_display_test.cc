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

}  // namespace
}  // namespace harvelo::testing
