// The settings for pages as they are written today: lines after the older ones in
// HV_conf.cfg, read back as written, and their defaults when a file lacks them.
#include <gtest/gtest.h>

#include "settings/settings.h"
#include "support/temp_dir.h"

namespace harvelo {
namespace {

using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

TEST(ModernSettings, ReadBackAsWrittenAndDefaultsWhenAnOlderFileLacksThem) {
  TempDir tmp;
  Settings s;
  s.modernPages = 0;
  s.minimumPictureWidth = 200;
  s.minimumPictureHeight = 150;
  s.skipDuplicates = 0;
  s.skipKnownFiles = 1;
  SaveSettings(s, tmp.dir());
  const std::string written = ReadBytes(tmp.file("HV_conf.cfg"));
  EXPECT_NE(written.find("Debug Ops:      \"\"\r\nModern Pages:   \"0\"\r\n"
                         "Min Pic Width:  \"200\"\r\nMin Pic Height: \"150\"\r\n"
                         "Skip Dupes:     \"0\"\r\nSkip Known:     \"1\"\r\n"),
            std::string::npos)
      << written;
  Settings back;
  LoadSettings(back, tmp.dir());
  EXPECT_EQ(back.modernPages, 0);
  EXPECT_EQ(back.minimumPictureWidth, 200);
  EXPECT_EQ(back.minimumPictureHeight, 150);
  EXPECT_EQ(back.skipDuplicates, 0);
  EXPECT_EQ(back.skipKnownFiles, 1);

  // A file written before these lines existed (LF line ends, as some editors leave it).
  WriteBytes(tmp.file("HV_conf.cfg"),
             "Dest. Dir:      \"x/\"\nAutoInc:        \"0\"\nTarget F-Types: \",GIF\"\n"
             "Gen webaddr:    \"1\"\nBrowser Id:     \"0\"\nFile Min Size:  \"5\"\n"
             "Debug Ops:      \"\"\n");
  Settings defaults;
  LoadSettings(defaults, tmp.dir());
  EXPECT_EQ(defaults.minimumSizeKb, 5);
  EXPECT_EQ(defaults.modernPages, 1);
  EXPECT_EQ(defaults.minimumPictureWidth, 0);
  EXPECT_EQ(defaults.minimumPictureHeight, 0);
  EXPECT_EQ(defaults.skipDuplicates, 1);
  EXPECT_EQ(defaults.skipKnownFiles, 0);
}

}  // namespace
}  // namespace harvelo
