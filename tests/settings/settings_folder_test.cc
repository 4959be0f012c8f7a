// The window's settings folder: a home folder without settings files gives the XDG
// folder (created, private); a folder with settings files keeps them.
#include "settings/settings_folder.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "settings/settings_file_names.h"
#include "support/temp_dir.h"

namespace harvelo {
namespace {

using testing::Exists;
using testing::TempDir;
using testing::WriteBytes;

int Mode(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? static_cast<int>(st.st_mode & 07777) : -1;
}

TEST(SettingsFolder, HomeWithoutSettingsFilesGivesTheConfigFolder) {
  TempDir home;
  EXPECT_EQ(SettingsFolderFor(home.dir(), home.dir(), ""), home.dir() + ".config/harvelo/");
  EXPECT_EQ(Mode(home.dir() + ".config"), 0700);
  EXPECT_EQ(Mode(home.dir() + ".config/harvelo"), 0700);
  // Nothing was put in the home folder but the configuration folder.
  EXPECT_FALSE(Exists(home.file(kConfFileName)));
}

TEST(SettingsFolder, XdgConfigHomeIsHonouredWhenAbsolute) {
  TempDir home, config;
  EXPECT_EQ(SettingsFolderFor(home.dir(), home.dir(), config.dir() + "cfg"),
            config.dir() + "cfg/harvelo/");
  EXPECT_EQ(Mode(config.dir() + "cfg/harvelo"), 0700);
  EXPECT_EQ(SettingsFolderFor(home.dir(), home.dir(), "relative"), home.dir() + ".config/harvelo/");
}

TEST(SettingsFolder, ExistingConfigFolderKeepsItsMode) {
  TempDir home;
  ASSERT_EQ(::mkdir((home.dir() + ".config").c_str(), 0755), 0);
  EXPECT_EQ(SettingsFolderFor(home.dir(), home.dir(), ""), home.dir() + ".config/harvelo/");
  EXPECT_EQ(Mode(home.dir() + ".config"), 0755);
  EXPECT_EQ(Mode(home.dir() + ".config/harvelo"), 0700);
}

TEST(SettingsFolder, HomeWithSettingsFilesKeepsUsingThem) {
  for (const char* name : {kConfFileName, kRecentFileName, kCoordFileName, kLangFileName}) {
    TempDir home;
    WriteBytes(home.file(name), "\"1\"\n");
    EXPECT_EQ(SettingsFolderFor(home.dir(), home.dir(), ""), "") << name;
    EXPECT_FALSE(Exists(home.dir() + ".config")) << name;
  }
}

TEST(SettingsFolder, OtherFolderIsTheWorkingDirectory) {
  TempDir home, work;
  EXPECT_EQ(SettingsFolderFor(work.dir(), home.dir(), ""), "");
  WriteBytes(work.file(kConfFileName), "");
  EXPECT_EQ(SettingsFolderFor(work.dir(), home.dir(), ""), "");
  EXPECT_FALSE(Exists(home.dir() + ".config"));
}

TEST(SettingsFolder, NoHomeIsTheWorkingDirectory) {
  TempDir work;
  EXPECT_EQ(SettingsFolderFor(work.dir(), "", ""), "");
}

}  // namespace
}  // namespace harvelo
