// harvelo-cli end to end: the program as a child process against a loopback site.
#include <gmock/gmock.h>

#include "cli_fixture.h"
#include "platform/string_table.h"
#include "platform/thread_locale.h"
#include "settings/settings.h"

namespace harvelo::testing {
namespace {

using ::testing::ElementsAre;

class CliRunTest : public CliTest {
 protected:
  void SetUp() override {
    Page("/gallery.html", "<a href=\"1.jpg\">1</a><a href=\"2.jpg\">2</a><a href=\"3.jpg\">3</a>");
    for (char c = '1'; c <= '3'; ++c) Serve(std::string("/") + c + ".jpg", ImageBody(c));
    Page("/other.html", "<a href=\"o.jpg\">o</a>");
    Serve("/o.jpg", ImageBody('o'));
    Page("/empty.html", "<p>nothing to see</p>");
    ASSERT_TRUE(site.Start());
  }
};

TEST_F(CliRunTest, GalleryIsStoredAndEachFinalRowPrintedOnce) {
  // No scheme: "http://" is put in front.
  ASSERT_EQ(Run({"--dest", "dest", "--min-size", "1", Url("/gallery.html").substr(7)}), 0)
      << cli.Err();
  for (char c = '1'; c <= '3'; ++c) {
    EXPECT_EQ(ReadBytes(Dest(std::string("AAA_00") + c + ".jpg")), ImageBody(c));
  }
  const auto lines = cli.OutLines();
  ASSERT_EQ(lines.size(), 4u) << cli.Out();
  EXPECT_THAT(lines[0], ::testing::MatchesRegex("[0-9][0-9]:[0-9][0-9]\tOk\t" + work.dir() +
                                                "dest/page.html\t" + Url("/gallery.html")));
  EXPECT_EQ(lines[3].substr(5), "\tOk\t" + work.dir() + "dest/AAA_003.jpg\t" + Url("/3.jpg"));
  EXPECT_EQ(cli.Err(), "");  // not a terminal: no progress line
}

TEST_F(CliRunTest, NothingFoundExitsOneWithTheMessageInTheInterfaceLanguage) {
  const std::string english = FindString(IDS_NO_USEFUL_RESOURCES, kLocaleEnglish);
  const std::string spanish = FindString(IDS_NO_USEFUL_RESOURCES, kLocaleSpanish);
  EXPECT_EQ(Run({Url("/empty.html")}), 1);  // the page copy alone is not a stored resource
  EXPECT_EQ(cli.Err(), english + "\n");
  EXPECT_EQ(Run({"--lang", "es", Url("/empty.html")}), 1);
  EXPECT_EQ(cli.Err(), spanish + "\n");
  // No language chosen: the system's.
  EXPECT_EQ(Run({Url("/empty.html")}, {"LANG=es_MX.UTF-8"}), 1);
  EXPECT_EQ(cli.Err(), spanish + "\n");
}

TEST_F(CliRunTest, OverriddenSettingsAreSavedAsTheyWere) {
  Settings original;
  original.destinationDir = "elsewhere/";
  original.targetTypes = ",GIF";
  original.recentAddresses = {"http://old.example/"};
  SaveSettings(original, work.dir());
  ASSERT_TRUE(std::filesystem::create_directory(work.file("dest")));
  SavePrefix(work.file("dest/"), "ZZZ_");

  ASSERT_EQ(Run({"--dest", "dest", "--prefix", "img", "--types", "jpg", "--min-size", "1",
                 "--no-webaddr", "--no-auto-inc", "--save-settings", Url("/gallery.html")}),
            0)
      << cli.Err();
  EXPECT_TRUE(Exists(Dest("img_003.jpg")));
  EXPECT_FALSE(Exists(Dest("img_waddr.txt")));
  EXPECT_EQ(LoadPrefix(work.file("dest/")), "ZZZ_");

  Settings saved;
  LoadSettings(saved, work.dir());
  EXPECT_EQ(saved.destinationDir, "elsewhere/");
  EXPECT_EQ(saved.targetTypes, ",GIF");
  EXPECT_EQ(saved.minimumSizeKb, 20);
  EXPECT_EQ(saved.generateWebAddressLog, 1);
  EXPECT_EQ(saved.autoIncrement, 1);
  EXPECT_THAT(saved.recentAddresses, ElementsAre(Url("/gallery.html"), "http://old.example/"));
}

TEST_F(CliRunTest, WhatTheRunChangesIsSaved) {
  Settings original;
  original.destinationDir = "dest";  // the field rule adds the '/'
  original.minimumSizeKb = 1;
  SaveSettings(original, work.dir());
  ASSERT_TRUE(std::filesystem::create_directory(work.file("dest")));

  ASSERT_EQ(Run({"--save-settings", Url("/gallery.html")}), 0) << cli.Err();
  EXPECT_TRUE(Exists(Dest("AAA_001.jpg")));
  // The advanced prefix carries over to the next run, a --prefix that advanced too.
  ASSERT_EQ(Run({"--save-settings", Url("/other.html")}), 0) << cli.Err();
  EXPECT_EQ(ReadBytes(Dest("AAB_001.jpg")), ImageBody('o'));
  ASSERT_EQ(Run({"--prefix", "pic", "--save-settings", Url("/other.html")}), 0) << cli.Err();
  EXPECT_TRUE(Exists(Dest("pic_001.jpg")));
  EXPECT_EQ(LoadPrefix(work.file("dest/")), "pid_");

  Settings saved;
  LoadSettings(saved, work.dir());
  EXPECT_EQ(saved.destinationDir, "dest/");
  EXPECT_THAT(saved.recentAddresses, ElementsAre(Url("/other.html"), Url("/gallery.html")));
}

TEST_F(CliRunTest, WithoutSaveSettingsTheWorkingDirectoryGetsOnlyTheDestination) {
  Settings original;
  original.destinationDir = "dest";
  original.minimumSizeKb = 1;
  original.recentAddresses = {"http://old.example/"};
  SaveSettings(original, work.dir());
  ASSERT_TRUE(std::filesystem::create_directory(work.file("dest")));
  const std::string conf = ReadBytes(work.file("HV_conf.cfg"));
  const std::string recent = ReadBytes(work.file("HV_recent.cfg"));

  // The saved settings are read: the destination and the minimum size come from them.
  ASSERT_EQ(Run({Url("/gallery.html")}), 0) << cli.Err();
  EXPECT_TRUE(Exists(Dest("AAA_003.jpg")));
  EXPECT_EQ(ReadBytes(work.file("HV_conf.cfg")), conf);
  EXPECT_EQ(ReadBytes(work.file("HV_recent.cfg")), recent);
  // The destination keeps its prefix memory.
  EXPECT_EQ(LoadPrefix(work.file("dest/")), "AAB_");

  // A fresh folder: nothing appears but the destination.
  TempDir fresh;
  ASSERT_TRUE(cli.Start({"--dest", "out", "--min-size", "1", Url("/other.html")}, fresh.dir()));
  ASSERT_EQ(cli.Wait(), 0) << cli.Err();
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(fresh.dir())) {
    names.push_back(entry.path().filename().string());
  }
  EXPECT_THAT(names, ElementsAre("out"));
}

TEST_F(CliRunTest, VersionPrintsTheNameAndVersion) {
  EXPECT_EQ(Run({"--version"}), 0);
  EXPECT_THAT(cli.Out(), ::testing::MatchesRegex("harvelo-cli [0-9]+\\.[0-9]+\\.[0-9]+\n"));
  EXPECT_EQ(cli.Err(), "");
  EXPECT_TRUE(SeenPaths().empty());
}

TEST_F(CliRunTest, AddressesThenBatchLinesQueueIntoOneRun) {
  // CR LF line ends, as a batch file written on Windows has them.
  WriteBytes(work.file("batch.txt"), Url("/other.html") + "\r\n" + Url("/gallery.html") + "\r\n");
  // One transfer at a time: the server then sees the run's own order.
  ASSERT_EQ(Run({"--dest", "dest", "--min-size", "1", "--parallel", "1", Url("/empty.html"),
                 "--batch", "batch.txt"}),
            0)
      << cli.Err();
  EXPECT_THAT(SeenPaths(), ElementsAre("/empty.html", "/other.html", "/o.jpg", "/gallery.html",
                                       "/1.jpg", "/2.jpg", "/3.jpg"));
  EXPECT_EQ(ReadBytes(Dest("AAA_001.jpg")), ImageBody('o'));
  EXPECT_EQ(ReadBytes(Dest("AAB_001.jpg")), ImageBody('1'));
  EXPECT_EQ(cli.OutLines().size(), 7u);
  // One run: the empty page's error is not its last word.
  EXPECT_EQ(cli.Err(), "");
}

TEST_F(CliRunTest, UsageErrorsExitTwoAndTheDestinationIsTheEnginesToCheck) {
  EXPECT_EQ(Run({"--min-size", "lots", Url("/gallery.html")}), 2);
  EXPECT_THAT(cli.Err(), ::testing::HasSubstr("usage: harvelo-cli"));
  EXPECT_EQ(Run({"--help"}), 0);
  EXPECT_THAT(cli.Out(), ::testing::HasSubstr("Exit status:"));

  WriteBytes(work.file("plainfile"), "x");
  EXPECT_EQ(Run({"--dest", "plainfile", Url("/gallery.html")}), 1);
  EXPECT_EQ(cli.Err(),
            "Cannot write files to the path \"" + work.dir() + "plainfile/AAA_###.<ext>\".\n");
  EXPECT_TRUE(SeenPaths().empty());
  EXPECT_FALSE(Exists(work.file("HV_conf.cfg")));
}

}  // namespace
}  // namespace harvelo::testing
