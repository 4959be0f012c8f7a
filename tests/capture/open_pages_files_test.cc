// Reading Inspector's files as Get from Browser and the window choice do: counts above
// the records present, missing files, the record at an index, the exact-address match.
#include "capture/open_pages_files.h"

#include <gtest/gtest.h>

#include "capture/window_choice.h"
#include "support/temp_dir.h"

namespace harvelo {
namespace {

using harvelo::testing::TempDir;
using harvelo::testing::WriteBytes;

const char kTwoRecords[] =
    "\"First\" \"http://a/1\" \"k=1\" \"http://r/\"\r\n"
    "\"Second\" \"http://b/2\" \"\" \"\"\r\n";

TEST(InspectorFiles, TheCountIsOneDecimalNumberOrZero) {
  TempDir t;
  EXPECT_EQ(ReadInspectorCount(t.file("missing")), 0);
  WriteBytes(t.file("n"), "3\r\n");
  EXPECT_EQ(ReadInspectorCount(t.file("n")), 3);
  WriteBytes(t.file("n"), "x");
  EXPECT_EQ(ReadInspectorCount(t.file("n")), 0);
  WriteBytes(t.file("n"), "-2\n");
  EXPECT_EQ(ReadInspectorCount(t.file("n")), -2);
  WriteBytes(t.file("n"), "");
  EXPECT_EQ(ReadInspectorCount(t.file("n")), 0);
}

TEST(InspectorFiles, ACountAboveTheRecordsListsOnlyTheRecordsThatAreThere) {
  TempDir t;
  WriteBytes(t.file("inspector.n"), "5\r\n");
  WriteBytes(t.file("inspector.out"), kTwoRecords);
  WindowChoice choice(t.file("inspector.out"));
  EXPECT_EQ(choice.titles(), (std::vector<std::string>{"First", "Second"}));
  EXPECT_EQ(choice.initialSelection(), 1);  // the last entry
  CapturedPage page;
  EXPECT_FALSE(WindowChoice::Choose(t.file("inspector.out"), -1,
                                    page));  // OK without a selection keeps the dialog open
  ASSERT_TRUE(WindowChoice::Choose(t.file("inspector.out"), 0, page));
  EXPECT_EQ(page.address, "http://a/1");
  EXPECT_EQ(page.cookie, "k=1");
  EXPECT_EQ(page.referrer, "http://r/");
  ASSERT_TRUE(WindowChoice::Choose(t.file("inspector.out"), 1, page));
  EXPECT_EQ(page.address, "http://b/2");
  EXPECT_EQ(page.cookie, "");
  // An index past the records (a count that lied) reads empty values.
  ASSERT_TRUE(ReadRecordAt(t.file("inspector.out"), 4, page));
  EXPECT_EQ(page.address, "");
  EXPECT_FALSE(ReadRecordAt(t.file("missing"), 0, page));
  EXPECT_TRUE(WindowChoice(t.file("missing")).titles().empty());
  EXPECT_EQ(WindowChoice(t.file("missing")).initialSelection(), -1);
}

TEST(InspectorFiles, TheAddressMustMatchByteForByte) {
  TempDir t;
  WriteBytes(t.file("out"), kTwoRecords);
  CapturedPage page;
  ASSERT_TRUE(FindRecordByAddress(t.file("out"), "http://b/2", page));
  EXPECT_EQ(page.cookie, "");
  ASSERT_TRUE(FindRecordByAddress(t.file("out"), "http://a/1", page));
  EXPECT_EQ(page.cookie, "k=1");
  EXPECT_FALSE(FindRecordByAddress(t.file("out"), "HTTP://a/1", page));
  EXPECT_FALSE(FindRecordByAddress(t.file("out"), "http://a/", page));
  EXPECT_FALSE(FindRecordByAddress(t.file("missing"), "http://a/1", page));
}

TEST(WindowChoicePlacement, StaysFivePixelsInsideTheRightScreenEdge) {
  EXPECT_EQ(WindowChoiceX(100, 300, 1280), 100);
  EXPECT_EQ(WindowChoiceX(974, 300, 1280), 974);  // 1274 < 1275
  EXPECT_EQ(WindowChoiceX(975, 300, 1280), 975);  // at the limit: moved to where it is
  EXPECT_EQ(WindowChoiceX(1200, 300, 1280), 975);
  EXPECT_EQ(WindowChoiceX(2000, 300, 1280), 975);
}

}  // namespace
}  // namespace harvelo
