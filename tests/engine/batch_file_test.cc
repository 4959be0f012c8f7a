#include "engine/batch_file.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace harvelo {
namespace {

using testing::TempDir;
using testing::WriteBytes;

std::vector<std::string> Read(const std::string& bytes) {
  TempDir dir;
  WriteBytes(dir.file("batch.txt"), bytes);
  std::vector<std::string> lines;
  EXPECT_TRUE(ReadBatchFile(dir.file("batch.txt"), lines));
  return lines;
}

TEST(ReadBatchFile, GivesOneAddressPerLineWithoutItsLineEnd) {
  EXPECT_EQ(Read("http://a/1\r\nhttp://a/2\r\nhttp://a/3"),
            (std::vector<std::string>{"http://a/1", "http://a/2", "http://a/3"}));
  EXPECT_EQ(Read("http://a/1\nhttp://a/2\n"),
            (std::vector<std::string>{"http://a/1", "http://a/2"}));
}

TEST(ReadBatchFile, KeepsEmptyLinesAndBlanksAsTheyAre) {
  EXPECT_EQ(Read("a\r\n\r\n b \r\n"), (std::vector<std::string>{"a", "", " b "}));
}

TEST(ReadBatchFile, AnEmptyFileGivesNoLines) {
  EXPECT_TRUE(Read("").empty());
}

TEST(ReadBatchFile, KeepsALongLineAsOneAddress) {
  const std::string longAddress = "http://h/" + std::string(291, 'x');
  ASSERT_EQ(longAddress.size(), 300u);
  EXPECT_EQ(Read(longAddress + "\r\nhttp://h/next\r\n"),
            (std::vector<std::string>{longAddress, "http://h/next"}));
  // A line of exactly 259 characters gains no empty address after it.
  const std::string edge(259, 'y');
  EXPECT_EQ(Read(edge + "\r\n"), (std::vector<std::string>{edge}));
}

TEST(ReadBatchFile, AnEndlessLineKeepsItsFirst64KBAndTheNextLineStillCounts) {
  const std::string huge(300 * 1024, 'z');
  const auto lines = Read(huge + "\r\nhttp://h/next\r\n" + std::string(64 * 1024, 'w') + "\n");
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], std::string(64 * 1024, 'z'));
  EXPECT_EQ(lines[1], "http://h/next");
  EXPECT_EQ(lines[2], std::string(64 * 1024, 'w'));
}

TEST(ReadBatchFile, FailsForAFileThatCannotBeOpened) {
  TempDir dir;
  std::vector<std::string> lines{"old"};
  EXPECT_FALSE(ReadBatchFile(dir.file("missing.txt"), lines));
}

}  // namespace
}  // namespace harvelo
