#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cctype>
#include <climits>
#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "settings/settings.h"
#include "support/file_size_limit.h"
#include "support/temp_dir.h"

namespace harvelo {
namespace {

using testing::Exists;
using testing::FileSizeLimit;
using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

int FileCount(const std::string& dir) {
  int files = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir)) ++files;
  return files;
}

TEST(Settings, FirstStartWithoutFilesGivesTheDefaults) {
  TempDir tmp;
  Settings s;
  LoadSettings(s, tmp.dir());
  EXPECT_EQ(s.destinationDir, "");
  EXPECT_EQ(s.autoIncrement, 1);
  EXPECT_EQ(s.targetTypes, ",JPG,JPEG,MPG,MPEG");
  EXPECT_EQ(s.generateWebAddressLog, 1);
  EXPECT_EQ(s.browserKind, 0);
  EXPECT_EQ(s.minimumSizeKb, 20);
  EXPECT_EQ(s.debugOptions, "");
  EXPECT_EQ(s.debug.header + s.debug.trace + s.debug.pause, 0);
  EXPECT_FALSE(s.userAgent.has_value());
  EXPECT_TRUE(s.recentAddresses.empty());
  EXPECT_EQ(LoadPrefix(tmp.dir()), "AAA_");
  WindowPosition pos{100, 200, 0};
  LoadWindowPosition(pos, tmp.dir());
  EXPECT_EQ(pos.x, -1);
  EXPECT_EQ(pos.y, -1);
  EXPECT_EQ(pos.alwaysOnTop, 0);
  EXPECT_EQ(FileCount(tmp.dir()), 0) << "loading creates nothing";
}

TEST(Settings, ConfAndRecentFilesAreWrittenByteForByte) {
  TempDir tmp;
  Settings s;
  s.destinationDir = "C:\\Pics\\";
  s.autoIncrement = 0;
  s.http2Streams = 32;
  s.targetTypes = ",GIF";
  s.generateWebAddressLog = 0;
  s.browserKind = 2;
  s.minimumSizeKb = -5;
  s.debugOptions = "TRACE";
  s.parallelTransfers = 3;
  s.renderedPages = 2;
  s.renderSeconds = 4;
  s.recentAddresses = {"http://new/", "http://old/"};
  SaveSettings(s, tmp.dir());
  EXPECT_EQ(ReadBytes(tmp.file("HV_conf.cfg")),
            "Dest. Dir:      \"C:\\Pics\\\"\r\n"
            "AutoInc:        \"0\"\r\n"
            "Target F-Types: \",GIF\"\r\n"
            "Gen webaddr:    \"0\"\r\n"
            "Browser Id:     \"2\"\r\n"
            "File Min Size:  \"-5\"\r\n"
            "Debug Ops:      \"TRACE\"\r\n"
            "Modern Pages:   \"1\"\r\n"
            "Min Pic Width:  \"0\"\r\n"
            "Min Pic Height: \"0\"\r\n"
            "Skip Dupes:     \"1\"\r\n"
            "Skip Known:     \"0\"\r\n"
            "Parallel:       \"3\"\r\n"
            "H2 Streams:     \"32\"\r\n"
            "Compress Pages: \"1\"\r\n"
            "Rendered Pages: \"2\"\r\n"
            "Render Screens: \"20\"\r\n"
            "Render Seconds: \"4\"\r\n");
  EXPECT_EQ(ReadBytes(tmp.file("HV_recent.cfg")), "\"http://old/\"\r\n\"http://new/\"\r\n");
  EXPECT_EQ(FileCount(tmp.dir()), 2) << "no temporary file is left behind";

  Settings back;
  LoadSettings(back, tmp.dir());
  EXPECT_EQ(back.destinationDir, s.destinationDir);
  EXPECT_EQ(back.autoIncrement, 0);
  EXPECT_EQ(back.targetTypes, ",GIF");
  EXPECT_EQ(back.generateWebAddressLog, 0);
  EXPECT_EQ(back.browserKind, 2);
  EXPECT_EQ(back.minimumSizeKb, -5);
  EXPECT_EQ(back.debug.trace, 1);
  EXPECT_EQ(back.parallelTransfers, 3);
  EXPECT_EQ(back.renderedPages, 2);
  EXPECT_EQ(back.renderScreens, 20);
  EXPECT_EQ(back.renderSeconds, 4);
  EXPECT_EQ(back.recentAddresses, s.recentAddresses);
}

// Texts that the format's own characters must not break: a quote, line ends, and the
// plain values every earlier version wrote (which must read back as they always did).
TEST(Settings, EveryTextComesBackExactlyAfterASaveAndALoad) {
  const std::vector<std::string> texts = {"/home/u/my \"best\" pics/",
                                          "\"",
                                          "\"\"",
                                          "a\" \"b",
                                          "x\r\ny\nz\rw\r",
                                          "C:\\Pics\\",
                                          "http://h/a%20b.html",
                                          "",
                                          " lead and trail "};
  for (const auto& text : texts) {
    TempDir tmp;
    Settings s;
    s.destinationDir = text;
    s.targetTypes = ",GIF";
    s.debugOptions = text;
    s.browserKind = 2;
    s.minimumSizeKb = 7;
    s.parallelTransfers = 3;
    s.recentAddresses = {text, "http://after/"};
    SaveSettings(s, tmp.dir());
    SavePrefix(tmp.dir(), text);
    Settings back;
    LoadSettings(back, tmp.dir());
    EXPECT_EQ(back.destinationDir, text);
    EXPECT_EQ(back.targetTypes, ",GIF") << text;
    std::string upper = text;  // the load upper-cases the debug options
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(back.debugOptions, upper);
    EXPECT_EQ(back.browserKind, 2) << text;
    EXPECT_EQ(back.minimumSizeKb, 7) << text;
    EXPECT_EQ(back.parallelTransfers, 3) << text;
    EXPECT_EQ(back.recentAddresses, s.recentAddresses);
    EXPECT_EQ(LoadPrefix(tmp.dir()), text);
  }
}

TEST(Settings, TransfersAtOnceDefaultWithoutTheirLineAndStayWithinOneToSixteen) {
  TempDir tmp;
  // A file written before the line existed: every line up to it.
  Settings written;
  written.parallelTransfers = 3;
  SaveSettings(written, tmp.dir());
  std::string older = ReadBytes(tmp.file("HV_conf.cfg"));
  older.resize(older.find("Parallel:"));
  WriteBytes(tmp.file("HV_conf.cfg"), older);
  Settings s;
  LoadSettings(s, tmp.dir());
  EXPECT_EQ(s.parallelTransfers, 6);
  for (const auto& [text, value] :
       std::vector<std::pair<std::string, int>>{{"0", 1}, {"-3", 1}, {"17", 16}, {"2", 2}}) {
    WriteBytes(tmp.file("HV_conf.cfg"), older + "Parallel:       \"" + text + "\"\r\n");
    Settings read;
    LoadSettings(read, tmp.dir());
    EXPECT_EQ(read.parallelTransfers, value) << text;
  }
}

TEST(Settings, LowerCaseDebugOptionsAreSavedUpperCaseAndSwitchFlagsOn) {
  TempDir tmp;
  Settings s;
  s.debugOptions = "trace header";
  ParseDebugOptions(s);
  EXPECT_EQ(s.debugOptions, "TRACE HEADER");
  EXPECT_EQ(s.debug.trace, 1);
  EXPECT_EQ(s.debug.header, 1);
  EXPECT_EQ(s.debug.pause, 0);
  SaveSettings(s, tmp.dir());
  EXPECT_NE(ReadBytes(tmp.file("HV_conf.cfg")).find("Debug Ops:      \"TRACE HEADER\"\r\n"),
            std::string::npos);

  // Keywords match anywhere, and a new text switches off what it no longer names.
  s.debugOptions = "xxpausexx";
  ParseDebugOptions(s);
  EXPECT_EQ(s.debug.pause, 1);
  EXPECT_EQ(s.debug.trace, 0);
  EXPECT_EQ(s.debug.header, 0);

  // Loading parses the stored text too.
  WriteBytes(tmp.file("HV_conf.cfg"), "\"\" \"1\" \"\" \"1\" \"0\" \"20\" \"Header\"");
  Settings loaded;
  LoadSettings(loaded, tmp.dir());
  EXPECT_EQ(loaded.debugOptions, "HEADER");
  EXPECT_EQ(loaded.debug.header, 1);
}

TEST(Settings, RecentListKeepsTheThirtyNewestOldestFirst) {
  TempDir tmp;
  Settings s;
  s.recentAddresses = {"http://only/"};
  SaveSettings(s, tmp.dir());
  EXPECT_EQ(ReadBytes(tmp.file("HV_recent.cfg")), "\"http://only/\"\r\n");

  s.recentAddresses.clear();
  SaveSettings(s, tmp.dir());
  EXPECT_EQ(ReadBytes(tmp.file("HV_recent.cfg")), "");

  for (int i = 35; i >= 1; --i) s.recentAddresses.push_back("http://x/" + std::to_string(i));
  SaveSettings(s, tmp.dir());  // newest first: 35 ... 1
  std::string expected;
  for (int i = 6; i <= 35; ++i) expected += "\"http://x/" + std::to_string(i) + "\"\r\n";
  EXPECT_EQ(ReadBytes(tmp.file("HV_recent.cfg")), expected);

  Settings back;
  LoadSettings(back, tmp.dir());
  const std::vector<std::string> newest30(s.recentAddresses.begin(),
                                          s.recentAddresses.begin() + 30);
  EXPECT_EQ(back.recentAddresses, newest30);
}

TEST(Settings, ARecentFileOfAHundredThousandLinesGivesItsThirtyNewest) {
  TempDir tmp;
  std::string file;
  for (int i = 1; i <= 100000; ++i) file += "\"http://x/" + std::to_string(i) + "\"\r\n";
  WriteBytes(tmp.file("HV_recent.cfg"), file);
  Settings back;
  LoadSettings(back, tmp.dir());
  std::vector<std::string> newest;
  for (int i = 100000; i > 99970; --i) newest.push_back("http://x/" + std::to_string(i));
  EXPECT_EQ(back.recentAddresses, newest);
}

TEST(Settings, TruncatedConfFileAppliesWhatIsThere) {
  TempDir tmp;
  // Cut inside the third field: it reads to the end of the file.
  WriteBytes(tmp.file("HV_conf.cfg"),
             "Dest. Dir:      \"D:\\x\\\"\r\nAutoInc:        \"0\"\r\nTarget F-Types: \",PN");
  Settings s;
  s.debugOptions = "left over";
  LoadSettings(s, tmp.dir());
  EXPECT_EQ(s.destinationDir, "D:\\x\\");
  EXPECT_EQ(s.autoIncrement, 0);
  EXPECT_EQ(s.targetTypes, ",PN");
  EXPECT_EQ(s.generateWebAddressLog, 1);
  EXPECT_EQ(s.browserKind, 0);
  EXPECT_EQ(s.minimumSizeKb, 20);
  EXPECT_EQ(s.debugOptions, "") << "a missing text field empties its setting";

  // Only two fields: the target types become empty rather than keep their default.
  WriteBytes(tmp.file("HV_conf.cfg"), "Dest. Dir:      \"\"\r\nAutoInc:        \"5\"\r\n");
  Settings t;
  LoadSettings(t, tmp.dir());
  EXPECT_EQ(t.targetTypes, "");
  EXPECT_EQ(t.autoIncrement, 5) << "values are not validated";
  EXPECT_EQ(t.minimumSizeKb, 20);

  // Labels only: no field at all.
  WriteBytes(tmp.file("HV_conf.cfg"), "Dest. Dir:\r\nAutoInc:\r\n");
  Settings u;
  LoadSettings(u, tmp.dir());
  EXPECT_EQ(u.targetTypes, "");
  EXPECT_EQ(u.autoIncrement, 1);

  // Empty file.
  WriteBytes(tmp.file("HV_conf.cfg"), "");
  Settings v;
  LoadSettings(v, tmp.dir());
  EXPECT_EQ(v.targetTypes, "");
  EXPECT_EQ(v.minimumSizeKb, 20);
}

TEST(Settings, NumbersThatAreNotNumbersReadAsZeroAndHugeOnesAreClamped) {
  TempDir tmp;
  WriteBytes(tmp.file("HV_conf.cfg"),
             "\"\" \"yes\" \",JPG\" \"  -3x\" \"99999999999999999999\" \"-99999999999\" \"\"");
  Settings s;
  LoadSettings(s, tmp.dir());
  EXPECT_EQ(s.autoIncrement, 0);
  EXPECT_EQ(s.generateWebAddressLog, -3);
  EXPECT_EQ(s.browserKind, INT_MAX);
  EXPECT_EQ(s.minimumSizeKb, INT_MIN);
}

TEST(Settings, UserAgentIsTheFirstFieldOfTheAgentFile) {
  TempDir tmp;
  Settings s;
  WriteBytes(tmp.file("HV_agentscout.cfg"), "\"Mozilla/5.0 (X11)\"\r\n\"ignored\"\r\n");
  LoadSettings(s, tmp.dir());
  EXPECT_EQ(s.userAgent, "Mozilla/5.0 (X11)");

  WriteBytes(tmp.file("HV_agentscout.cfg"), "\"\"\r\n");
  LoadSettings(s, tmp.dir());
  EXPECT_EQ(s.userAgent, "") << "an empty field is an empty user agent, not none";

  WriteBytes(tmp.file("HV_agentscout.cfg"), "no field here\r\n");
  LoadSettings(s, tmp.dir());
  EXPECT_FALSE(s.userAgent.has_value());
}

TEST(Prefix, IsKeptInTheDestinationDirectory) {
  TempDir tmp;
  EXPECT_EQ(LoadPrefix(tmp.dir()), "AAA_");
  SavePrefix(tmp.dir(), "BBB_");
  EXPECT_EQ(ReadBytes(tmp.file("HV_pref.cfg")), "\"BBB_\"\r\n");
  EXPECT_EQ(LoadPrefix(tmp.dir()), "BBB_");

  WriteBytes(tmp.file("HV_pref.cfg"), "\"\"");
  EXPECT_EQ(LoadPrefix(tmp.dir()), "") << "a stored empty prefix is a prefix";
  WriteBytes(tmp.file("HV_pref.cfg"), "garbage without quotes");
  EXPECT_EQ(LoadPrefix(tmp.dir()), "AAA_");
}

TEST(Prefix, ADirectoryWithoutTrailingSeparatorRunsIntoTheFileName) {
  TempDir tmp;
  const std::string dest = tmp.dir() + "pics";  // no trailing '/'
  std::filesystem::create_directory(dest);
  SavePrefix(dest, "CCC_");
  EXPECT_TRUE(Exists(tmp.file("picsHV_pref.cfg")));
  EXPECT_FALSE(Exists(dest + "/HV_pref.cfg"));
  EXPECT_EQ(LoadPrefix(dest), "CCC_");
  EXPECT_EQ(LoadPrefix(dest + "/"), "AAA_");
}

TEST(WindowPositionFile, IsWrittenByteForByteAndReadBack) {
  TempDir tmp;
  SaveWindowPosition({12, -40, 1}, tmp.dir());
  EXPECT_EQ(ReadBytes(tmp.file("HV_coord.cfg")),
            "X-Pos: \"12\"\r\nY-Pos: \"-40\"\r\nAlways on Top: \"1\"\r\n");
  WindowPosition pos;
  LoadWindowPosition(pos, tmp.dir());
  EXPECT_EQ(pos.x, 12);
  EXPECT_EQ(pos.y, -40);
  EXPECT_EQ(pos.alwaysOnTop, 1);
}

TEST(WindowPositionFile, MissingFieldsKeepTheirStartValues) {
  TempDir tmp;
  WriteBytes(tmp.file("HV_coord.cfg"), "X-Pos: \"-1\"\r\nY-Pos: \"300\"\r\nAlways on Top: \"1\"");
  WindowPosition pos;
  LoadWindowPosition(pos, tmp.dir());
  EXPECT_EQ(pos.x, -1);
  EXPECT_EQ(pos.y, 300);
  EXPECT_EQ(pos.alwaysOnTop, 1) << "taken from the file although x is -1";

  WriteBytes(tmp.file("HV_coord.cfg"), "X-Pos: \"50\"\r\n");
  WindowPosition partial{7, 8, 1};
  LoadWindowPosition(partial, tmp.dir());
  EXPECT_EQ(partial.x, 50);
  EXPECT_EQ(partial.y, -1);
  EXPECT_EQ(partial.alwaysOnTop, 1);
}

TEST(Settings, ASaveThatFailsHalfwayKeepsTheOldFiles) {
  TempDir tmp;
  Settings old;
  old.destinationDir = "/old/";
  old.recentAddresses = {"http://old/"};
  SaveSettings(old, tmp.dir());
  const std::string oldConf = ReadBytes(tmp.file("HV_conf.cfg"));
  const std::string oldRecent = ReadBytes(tmp.file("HV_recent.cfg"));

  Settings big = old;
  big.destinationDir = std::string(5000, 'd');
  big.recentAddresses.assign(40, std::string(500, 'u'));
  {
    FileSizeLimit limit(1000);
    ASSERT_TRUE(limit.ok());
    SaveSettings(big, tmp.dir());
  }
  EXPECT_EQ(ReadBytes(tmp.file("HV_conf.cfg")), oldConf);
  EXPECT_EQ(ReadBytes(tmp.file("HV_recent.cfg")), oldRecent);
  EXPECT_EQ(FileCount(tmp.dir()), 2) << "the half-written temporary files are removed";

  Settings back;
  LoadSettings(back, tmp.dir());
  EXPECT_EQ(back.destinationDir, "/old/");
}

TEST(Settings, AFileThatCannotBeWrittenDoesNotStopTheOthers) {
  TempDir tmp;
  Settings old;
  old.destinationDir = "/old/";
  SaveSettings(old, tmp.dir());
  const std::string oldConf = ReadBytes(tmp.file("HV_conf.cfg"));

  Settings s;
  s.destinationDir = std::string(5000, 'd');  // too big for the limit
  s.recentAddresses = {"http://new/"};        // small enough
  {
    FileSizeLimit limit(1000);
    ASSERT_TRUE(limit.ok());
    SaveSettings(s, tmp.dir());
  }
  EXPECT_EQ(ReadBytes(tmp.file("HV_conf.cfg")), oldConf);
  EXPECT_EQ(ReadBytes(tmp.file("HV_recent.cfg")), "\"http://new/\"\r\n");

  // A directory that does not exist: nothing is written, nothing fails loudly.
  SaveSettings(s, tmp.dir() + "missing/");
  SaveWindowPosition({1, 2, 0}, tmp.dir() + "missing/");
  SavePrefix(tmp.dir() + "missing/", "X_");
  EXPECT_FALSE(Exists(tmp.dir() + "missing"));
}

}  // namespace
}  // namespace harvelo
