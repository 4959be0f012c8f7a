// What a hostile or careless folder holds: a directory, FIFO or symbolic link named like
// a settings file or a log, a prefix that names another directory. The run neither
// aborts, nor hangs, nor writes outside the destination or through a link.
#include <sys/stat.h>
#include <unistd.h>

#include <gmock/gmock.h>

#include <filesystem>

#include "cli_fixture.h"
#include "settings/settings.h"

namespace harvelo::testing {
namespace {

namespace fs = std::filesystem;

bool IsFifo(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 && S_ISFIFO(st.st_mode);
}

class CliHostileFilesTest : public CliTest {
 protected:
  void SetUp() override {
    Page("/gallery.html", "<a href=\"1.jpg\">1</a><a href=\"2.jpg\">2</a>");
    Serve("/1.jpg", ImageBody('1'));
    Serve("/2.jpg", ImageBody('2'));
    ASSERT_TRUE(site.Start());
    ASSERT_TRUE(fs::create_directory(work.file("dest")));
  }
  int Harvest(std::vector<std::string> extra = {}) {
    std::vector<std::string> args = {"--dest", "dest", "--min-size", "1"};
    args.insert(args.end(), extra.begin(), extra.end());
    args.push_back(Url("/gallery.html"));
    return Run(args);
  }
};

TEST_F(CliHostileFilesTest, ADirectoryNamedLikeThePrefixFileReadsAsAbsent) {
  ASSERT_TRUE(fs::create_directory(Dest("HV_pref.cfg")));
  EXPECT_EQ(Harvest(), 0) << cli.Err();
  EXPECT_EQ(ReadBytes(Dest("AAA_001.jpg")), ImageBody('1'));
  EXPECT_EQ(Harvest({"--prefix", "pic"}), 0) << cli.Err();
  EXPECT_TRUE(Exists(Dest("pic_001.jpg")));
  EXPECT_TRUE(fs::is_directory(Dest("HV_pref.cfg")));
}

TEST_F(CliHostileFilesTest, FifosNamedLikeSettingsFilesAndTheLogDoNotHoldTheRun) {
  for (const std::string& path :
       {work.file("HV_conf.cfg"), Dest("HV_pref.cfg"), Dest("AAA_waddr.txt")}) {
    ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0) << path;
  }
  EXPECT_EQ(Harvest({"--save-settings"}), 0) << cli.Err();
  EXPECT_EQ(ReadBytes(Dest("AAA_002.jpg")), ImageBody('2'));
  EXPECT_TRUE(IsFifo(work.file("HV_conf.cfg")));
  EXPECT_TRUE(IsFifo(Dest("HV_pref.cfg")));
  EXPECT_TRUE(IsFifo(Dest("AAA_waddr.txt")));
}

TEST_F(CliHostileFilesTest, APrefixThatNamesAnotherDirectoryIsAPathThatCantBeWritten) {
  const std::string message =
      "Cannot write files to the path \"" + work.dir() + "dest/../escaped_###.<ext>\".\n";
  EXPECT_EQ(Harvest({"--prefix", "../escaped_"}), 1);
  EXPECT_EQ(cli.Err(), message);
  // The same prefix kept in the destination's prefix file.
  SavePrefix(work.file("dest/"), "../escaped_");
  EXPECT_EQ(Harvest(), 1);
  EXPECT_EQ(cli.Err(), message);
  EXPECT_EQ(Harvest({"--prefix", std::string("a\x01_")}), 1);
  EXPECT_TRUE(SeenPaths().empty());
  for (const auto& e : fs::directory_iterator(work.dir())) {
    EXPECT_FALSE(e.path().filename().string().starts_with("escaped_")) << e.path();
  }
}

TEST_F(CliHostileFilesTest, SymbolicLinksInTheDestinationAreNeverWrittenThrough) {
  WriteBytes(work.file("victim.txt"), "precious");
  WriteBytes(work.file("victim2.txt"), "precious too");
  fs::create_symlink(work.file("victim.txt"), Dest("AAA_waddr.txt"));
  fs::create_symlink(work.file("victim2.txt"), Dest("AAA_0.$"));
  EXPECT_EQ(Harvest(), 0) << cli.Err();
  EXPECT_EQ(ReadBytes(Dest("AAA_002.jpg")), ImageBody('2'));
  EXPECT_EQ(ReadBytes(work.file("victim.txt")), "precious");
  EXPECT_EQ(ReadBytes(work.file("victim2.txt")), "precious too");
  EXPECT_TRUE(fs::is_symlink(Dest("AAA_waddr.txt")));
  EXPECT_TRUE(fs::is_symlink(Dest("AAA_0.$")));
}

}  // namespace
}  // namespace harvelo::testing
