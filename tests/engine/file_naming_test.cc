#include "engine/file_naming.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace harvelo {
namespace {

using testing::TempDir;
using testing::WriteBytes;

TEST(ResourceExtension, KeepsTheTextAfterTheLastDotAsWritten) {
  EXPECT_EQ(ResourceExtension("http://h/photo.JPG"), "JPG");
  EXPECT_EQ(ResourceExtension("http://h/a.b/c.tar.gz"), "gz");
  EXPECT_EQ(ResourceExtension("http://host.com/noextension"), "com/noextension");
  EXPECT_EQ(ResourceExtension("noextension"), "");
  EXPECT_EQ(ResourceExtension("http://h/ends."), "");
}

TEST(ResourceExtension, LeavesOutQueryAndFragment) {
  EXPECT_EQ(ResourceExtension("http://h/big.jpg?id=3"), "jpg");
  EXPECT_EQ(ResourceExtension("http://h/big.jpg#top"), "jpg");
  EXPECT_EQ(ResourceExtension("http://h/big.jpg?a#b"), "jpg");
  EXPECT_EQ(ResourceExtension("http://h/big.jpg?path=/a/b"), "jpg");
  // The last '.' of the whole address counts, even inside a query.
  EXPECT_EQ(ResourceExtension("http://h/evil.jpg?x=/../../x"), "/x");
}

TEST(IsStorableExtension, AcceptsOrdinaryExtensions) {
  EXPECT_TRUE(IsStorableExtension("jpg"));
  EXPECT_TRUE(IsStorableExtension("JPEG"));
  EXPECT_TRUE(IsStorableExtension(""));
  EXPECT_TRUE(IsStorableExtension("tar-1_2 (copy)"));
}

TEST(IsStorableExtension, RefusesWhatAFileSystemWouldRefuseOrThatLeadsElsewhere) {
  for (const char* bad : {"/x", "a\\b", "c:d", "a*", "a?", "a\"", "<a", "a>", "a|b", "..//.."}) {
    EXPECT_FALSE(IsStorableExtension(bad)) << bad;
  }
  EXPECT_FALSE(IsStorableExtension(std::string("a\tb")));
  EXPECT_FALSE(IsStorableExtension(std::string("a\nb")));
  EXPECT_FALSE(IsStorableExtension(std::string("a\x7f")));
  EXPECT_FALSE(IsStorableExtension(std::string("a\x01")));
}

TEST(ResourceFileName, PrintsTheNumberWithAtLeastThreeDigits) {
  EXPECT_EQ(ResourceFileName("/d/", "pic_", 7, "jpg"), "/d/pic_007.jpg");
  EXPECT_EQ(ResourceFileName("/d/", "pic_", 123, "gif"), "/d/pic_123.gif");
  EXPECT_EQ(ResourceFileName("/d/", "pic_", 1234, "JPG"), "/d/pic_1234.JPG");
  EXPECT_EQ(ResourceFileName("/d/", "pic_", 1, ""), "/d/pic_001.");
}

TEST(ChooseResourceFileName, TriesNumberedVariantsPastFilesThatHoldData) {
  TempDir dir;
  EXPECT_EQ(ChooseResourceFileName(dir.dir(), "pic_", 1, "jpg"), dir.file("pic_001.jpg"));
  WriteBytes(dir.file("pic_001.jpg"), "x");
  EXPECT_EQ(ChooseResourceFileName(dir.dir(), "pic_", 1, "jpg"), dir.file("pic_001_02.jpg"));
  WriteBytes(dir.file("pic_001_02.jpg"), "x");
  EXPECT_EQ(ChooseResourceFileName(dir.dir(), "pic_", 1, "jpg"), dir.file("pic_001_03.jpg"));
}

TEST(ChooseResourceFileName, TakesAnEmptyFileAsFree) {
  TempDir dir;
  WriteBytes(dir.file("pic_001.jpg"), "x");
  WriteBytes(dir.file("pic_001_02.jpg"), "");
  EXPECT_EQ(ChooseResourceFileName(dir.dir(), "pic_", 1, "jpg"), dir.file("pic_001_02.jpg"));
}

}  // namespace
}  // namespace harvelo
