#include "platform/directories.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/shell_open.h"
#include "platform/sleep.h"
#include "support/temp_dir.h"

namespace harvelo {
namespace {

TEST(Directories, ExecutablePathKeepsEverythingUpToTheLastSlash) {
  EXPECT_EQ(DirectoryOfPath("/opt/harvelo/bin/harvelo"), "/opt/harvelo/bin/");
  EXPECT_EQ(DirectoryOfPath("harvelo"), "harvelo");
}

TEST(Directories, TemporaryDirectoryGainsExactlyOneSlash) {
  EXPECT_EQ(WithTrailingSlash("/tmp"), "/tmp/");
  EXPECT_EQ(WithTrailingSlash("/tmp/"), "/tmp/");
  EXPECT_EQ(WithTrailingSlash(""), "");
}

TEST(Directories, ProcessWideValuesEndInSlash) {
  ASSERT_FALSE(ProgramDirectory().empty());
  EXPECT_EQ(ProgramDirectory().back(), '/');
  EXPECT_TRUE(std::filesystem::exists(ProgramDirectory() + "harvelo_platform_tests"));
  ASSERT_FALSE(TempDirectory().empty());
  EXPECT_EQ(TempDirectory().back(), '/');
}

TEST(Directories, TheTemporaryDirectoryIsAFolderOfThisProcessForTheUserAlone) {
  const std::string dir = TempDirectory();
  struct stat st {};
  ASSERT_EQ(::lstat(dir.substr(0, dir.size() - 1).c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
  EXPECT_EQ(st.st_uid, ::getuid());
  EXPECT_EQ(st.st_mode & 07777, 0700u);
  const char* shared = std::getenv("TMPDIR");
  EXPECT_NE(dir, WithTrailingSlash(shared != nullptr && *shared != '\0' ? shared : "/tmp"));
}

TEST(ShellOpen, HandsTheTargetToTheOpenerAndReturnsAtOnce) {
  testing::TempDir tmp;
  const std::string script = tmp.file("opener.sh");
  const std::string out = tmp.file("opened.txt");
  testing::WriteBytes(script, "#!/bin/sh\nsleep 0.2\nprintf '%s' \"$1\" > " + out + "\n");
  std::filesystem::permissions(script, std::filesystem::perms::owner_all);
  EXPECT_EQ(ShellOpenWith(script, "http://example.test/a b"), 1);
  for (int i = 0; i < 100 && testing::ReadBytes(out).empty(); ++i) SleepMs(20);
  EXPECT_EQ(testing::ReadBytes(out), "http://example.test/a b");
}

}  // namespace
}  // namespace harvelo
