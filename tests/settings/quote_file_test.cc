#include "settings/quote_file.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "settings/decimal_value.h"
#include "support/temp_dir.h"

namespace harvelo {
namespace {

using testing::TempDir;
using testing::WriteBytes;

// Every field of `data`, read with the growable form until a read fails.
std::vector<std::string> AllFields(const std::string& data) {
  QuoteFile file;
  file.OpenMemory(data);
  std::vector<std::string> fields;
  for (std::string field; file.ReadField(field);) fields.push_back(field);
  return fields;
}

using Fields = std::vector<std::string>;

TEST(QuoteFile, FieldsAreFoundByQuotesAloneWhateverSurroundsThem) {
  EXPECT_EQ(AllFields("\"\""), Fields{""}) << "an empty field is a value";
  EXPECT_EQ(AllFields("Label: value\r\nno quotes here\r\n"), Fields{}) << "labels only";
  EXPECT_EQ(AllFields(""), Fields{});
  EXPECT_EQ(AllFields("\"a\" \"b\"\n"), AllFields("\"a\"\r\n\"b\"\r\n"));
  EXPECT_EQ(AllFields("X: \"1\" junk \"two words\"tail"), (Fields{"1", "two words"}));
  EXPECT_EQ(AllFields("\"first\r\nsecond\"\r\n"), Fields{"first\nsecond"})
      << "a field spanning two lines keeps one line break";
  EXPECT_EQ(AllFields("\"a\" \"unclosed\r\nrest"), (Fields{"a", "unclosed\nrest"}))
      << "a missing closing quote reads to the end of the file";
  EXPECT_EQ(AllFields("\"lone\rcr\""), Fields{"lone\rcr"});
}

TEST(QuoteFile, BufferFormStopsAtTheLimitAndLeavesTheRestOfTheFieldUnread) {
  QuoteFile file;
  file.OpenMemory("\"abcdef\" \"next\"");
  char buffer[4];
  ASSERT_TRUE(file.ReadField(buffer, 3));
  EXPECT_STREQ(buffer, "abc");
  // The next read starts inside the cut field: "def" is passed over and its closing
  // quote opens a field that runs to the opening quote of "next".
  ASSERT_TRUE(file.ReadField(buffer, 3));
  EXPECT_STREQ(buffer, " ");
  // What was "next" is now text between fields; its closing quote opens an empty field
  // cut short by the end of the file.
  ASSERT_TRUE(file.ReadField(buffer, 3));
  EXPECT_STREQ(buffer, "");
  EXPECT_FALSE(file.ReadField(buffer, 3));
}

TEST(QuoteFile, BufferFormAtTheBoundaries) {
  char buffer[8];
  QuoteFile exact;
  exact.OpenMemory("\"abc\"-\"x\"");
  ASSERT_TRUE(exact.ReadField(buffer, 3));
  EXPECT_STREQ(buffer, "abc");
  // A field exactly maxLen long also leaves its closing quote unread.
  ASSERT_TRUE(exact.ReadField(buffer, 3));
  EXPECT_STREQ(buffer, "-");

  QuoteFile shorter;
  shorter.OpenMemory("\"ab\" \"cd\"");
  ASSERT_TRUE(shorter.ReadField(buffer, 7));
  EXPECT_STREQ(buffer, "ab");
  ASSERT_TRUE(shorter.ReadField(buffer, 7));
  EXPECT_STREQ(buffer, "cd");

  QuoteFile zero;
  zero.OpenMemory("\"ab\"");
  std::memset(buffer, 'z', sizeof buffer);
  ASSERT_TRUE(zero.ReadField(buffer, 0));
  EXPECT_STREQ(buffer, "");
  EXPECT_EQ(buffer[1], 'z') << "nothing beyond maxLen + 1 characters is touched";

  QuoteFile unclosed;
  unclosed.OpenMemory("\"abcdefghij");
  ASSERT_TRUE(unclosed.ReadField(buffer, 7));
  EXPECT_STREQ(buffer, "abcdefg");
}

TEST(QuoteFile, TextFormEmptiesItsTargetEvenWhenTheReadFails) {
  QuoteFile file;
  file.OpenMemory("\"only\" trailing label");
  std::string text = "old";
  ASSERT_TRUE(file.ReadField(text));
  EXPECT_EQ(text, "only");
  EXPECT_FALSE(file.ReadField(text));
  EXPECT_EQ(text, "");

  QuoteFile closed;
  text = "old";
  EXPECT_FALSE(closed.ReadField(text));
  EXPECT_EQ(text, "");
}

TEST(QuoteFile, SkipFieldReportsTheLastCharacterRead) {
  QuoteFile file;
  file.OpenMemory("a \"one\" b \"two\" c \"unclosed");
  EXPECT_EQ(file.SkipField(), '"');
  std::string text;
  ASSERT_TRUE(file.ReadField(text));
  EXPECT_EQ(text, "two");
  EXPECT_EQ(file.SkipField(), EOF) << "end of file inside the field";
  EXPECT_EQ(file.SkipField(), EOF) << "end of file before a field";

  QuoteFile closed;
  EXPECT_EQ(closed.SkipField(), 0);
}

TEST(QuoteFile, OpeningAndClosingFiles) {
  TempDir tmp;
  WriteBytes(tmp.file("a.cfg"), "\"a1\"\r\n\"a2\"\r\n");
  WriteBytes(tmp.file("b.cfg"), "\"b1\"\r\n");

  QuoteFile missing(tmp.file("none.cfg"));
  EXPECT_FALSE(missing.IsOpen());
  char buffer[8] = "x";
  EXPECT_FALSE(missing.ReadField(buffer, 7));

  QuoteFile file(tmp.file("a.cfg"));
  ASSERT_TRUE(file.IsOpen());
  std::string text;
  ASSERT_TRUE(file.ReadField(text));
  EXPECT_EQ(text, "a1");
  // Opening another file starts that file from its beginning.
  ASSERT_TRUE(file.Open(tmp.file("b.cfg")));
  ASSERT_TRUE(file.ReadField(text));
  EXPECT_EQ(text, "b1");
  // A failed open leaves the reader closed, not on the earlier file.
  ASSERT_TRUE(file.Open(tmp.file("a.cfg")));
  EXPECT_FALSE(file.Open(tmp.file("none.cfg")));
  EXPECT_FALSE(file.IsOpen());
  EXPECT_FALSE(file.ReadField(text));

  ASSERT_TRUE(file.Open(tmp.file("a.cfg")));
  file.Close();
  EXPECT_FALSE(file.IsOpen());
  file.Close();
  EXPECT_EQ(file.SkipField(), 0);
}

TEST(DecimalValue, ConvertsLikeAtoiWithoutOverflowing) {
  EXPECT_EQ(DecimalValue("42"), 42);
  EXPECT_EQ(DecimalValue(" \t\r\n-17xyz"), -17);
  EXPECT_EQ(DecimalValue("+8"), 8);
  EXPECT_EQ(DecimalValue("007"), 7);
  EXPECT_EQ(DecimalValue(""), 0);
  EXPECT_EQ(DecimalValue("abc"), 0);
  EXPECT_EQ(DecimalValue("- 5"), 0);
  EXPECT_EQ(DecimalValue("+-5"), 0);
  EXPECT_EQ(DecimalValue("12 34"), 12);
  EXPECT_EQ(DecimalValue("2147483647"), INT_MAX);
  EXPECT_EQ(DecimalValue("-2147483648"), INT_MIN);
  EXPECT_EQ(DecimalValue("2147483648"), INT_MAX);
  EXPECT_EQ(DecimalValue("-2147483649"), INT_MIN);
  EXPECT_EQ(DecimalValue("99999999999999999999999999"), INT_MAX);
  EXPECT_EQ(DecimalValue("-99999999999999999999999999"), INT_MIN);
}

}  // namespace
}  // namespace harvelo
