// harvelo-cli end to end: a child process against a loopback site.
#include <gmock/gmock.h>

#include "cli_fixture.h"
#include "platform/string_ids.h"
#include "platform/string_table.h"
#include "platform/thread_locale.h"
#include "settings/settings.h"

namespace harvelo::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

class CliRunTest : public CliTest {
 protected:
  void SetUp() override {
    Page("/gallery.html",
         "<title>G</title><a href=\"1.jpg\">1</a><a href=\"2.jpg\">2</a><a href=\"3.jpg\">3</a>");
    for (char c = '1'; c <= '3'; ++c) Serve(std::string("/") + c + ".jpg", ImageBody(c));
    Page("/other.html", "<a href=\"o.jpg\">o</a>");
    Serve("/o.jpg", ImageBody('o'));
    Page("/empty.html", "<p>nothing to see</p>");
    StartSite();
  }
};

TEST_F(CliRunTest, GalleryIsStoredAndEachFinalRowPrintedOnce) {
  // No scheme: "http://" is put in front.
  const std::string address = Url("/gallery.html").substr(7);
  ASSERT_EQ(Run({"--dest", "dest", "--min-size", "1", address}), 0) << cli.Err();

  for (char c = '1'; c <= '3'; ++c) {
    EXPECT_EQ(ReadBytes(Dest(std::string("AAA_00") + c + ".jpg")), ImageBody(c));
  }
  const auto lines = cli.OutLines();
  ASSERT_EQ(lines.size(), 4u) << cli.Out();
  EXPECT_THAT(lines[0],
              ::testing::MatchesRegex(
                  "[0-9][0-9]:[0-9][0-9]\tOk\tdest/page.html\thttp://127.*/gallery.html"));
  EXPECT_THAT(lines[3], ::testing::EndsWith("\tOk\tdest/AAA_003.jpg\t" + Url("/3.jpg")));
  EXPECT_EQ(cli.Err(), "");  // not a terminal: no progress line
}

TEST_F(CliRunTest, NothingFoundExitsOneWithTheMessage) {
  EXPECT_EQ(Run({"--dest", "dest", Url("/empty.html")}), 1);
  EXPECT_EQ(cli.Err(), "No useful resources were found in entered URL.\n");
}

TEST_F(CliRunTest, SpanishTextsFromOptionFileOrSystem) {
  const std::string spanish =
      std::string(FindString(IDS_NO_USEFUL_RESOURCES, kLocaleSpanish)) + "\n";
  const std::string english =
      std::string(FindString(IDS_NO_USEFUL_RESOURCES, kLocaleEnglish)) + "\n";
  EXPECT_EQ(Run({"--lang", "es", Url("/empty.html")}), 1);
  EXPECT_EQ(cli.Err(), spanish);
  // No HV_lang.cfg: the system's language.
  EXPECT_EQ(Run({Url("/empty.html")}, {"LANG=es_MX.UTF-8"}), 1);
  EXPECT_EQ(cli.Err(), spanish);
  WriteBytes(work.file("HV_lang.cfg"), "\"1\"\n");
  EXPECT_EQ(Run({Url("/empty.html")}, {"LANG=es_MX.UTF-8"}), 1);
  EXPECT_EQ(cli.Err(), english);
  WriteBytes(work.file("HV_lang.cfg"), "\"0\"\n");
  EXPECT_EQ(Run({Url("/empty.html")}, {"LC_ALL=es_ES.UTF-8", "LANG=en_US.UTF-8"}), 1);
  EXPECT_EQ(cli.Err(), spanish);
}

TEST_F(CliRunTest, OverriddenSettingsAreSavedAsTheyWere) {
  Settings original;
  original.destinationDir = "elsewhere/";
  original.targetTypes = ",GIF";
  original.minimumSizeKb = 50;
  original.recentAddresses = {"http://old.example/"};
  SaveSettings(original, work.dir());

  ASSERT_EQ(Run({"--dest", "dest", "--prefix", "img", "--types", "jpg", "--min-size", "1",
                 "--no-webaddr", "--no-auto-inc", Url("/gallery.html")}),
            0)
      << cli.Err();
  EXPECT_TRUE(Exists(Dest("img_003.jpg")));
  EXPECT_FALSE(Exists(Dest("img_waddr.txt")));
  // The prefix was not advanced: no HV_pref.cfg where there was none.
  EXPECT_FALSE(Exists(Dest("HV_pref.cfg")));

  Settings saved;
  LoadSettings(saved, work.dir());
  EXPECT_EQ(saved.destinationDir, "elsewhere/");
  EXPECT_EQ(saved.targetTypes, ",GIF");
  EXPECT_EQ(saved.minimumSizeKb, 50);
  EXPECT_EQ(saved.generateWebAddressLog, 1);
  EXPECT_EQ(saved.autoIncrement, 1);
  EXPECT_THAT(saved.recentAddresses, ElementsAre(Url("/gallery.html"), "http://old.example/"));
}

TEST_F(CliRunTest, WhatTheRunChangesIsSaved) {
  Settings original;
  original.destinationDir = "dest";  // the field rule adds the '/'
  original.targetTypes = ",JPG";
  original.minimumSizeKb = 1;
  SaveSettings(original, work.dir());
  ASSERT_TRUE(std::filesystem::create_directory(work.file("dest")));

  ASSERT_EQ(Run({Url("/gallery.html")}), 0) << cli.Err();
  EXPECT_TRUE(Exists(Dest("AAA_001.jpg")));
  EXPECT_EQ(LoadPrefix(work.file("dest/")), "AAB_");
  // The next run goes on with the advanced prefix.
  ASSERT_EQ(Run({Url("/other.html")}), 0) << cli.Err();
  EXPECT_EQ(ReadBytes(Dest("AAB_001.jpg")), ImageBody('o'));

  Settings saved;
  LoadSettings(saved, work.dir());
  EXPECT_EQ(saved.destinationDir, "dest/");
  EXPECT_THAT(saved.recentAddresses, ElementsAre(Url("/other.html"), Url("/gallery.html")));

  // A --prefix that the run advanced is kept too.
  ASSERT_EQ(Run({"--prefix", "pic", Url("/other.html")}), 0) << cli.Err();
  EXPECT_TRUE(Exists(Dest("pic_001.jpg")));
  EXPECT_EQ(LoadPrefix(work.file("dest/")), "pid_");
}

TEST_F(CliRunTest, AddressesThenBatchLinesAreProcessedInOrder) {
  // CR LF line ends, as a batch file written on Windows has them.
  WriteBytes(work.file("batch.txt"), Url("/other.html") + "\r\n" + Url("/gallery.html") + "\r\n");
  ASSERT_EQ(Run({"--dest", "dest", "--min-size", "1", Url("/empty.html"), "--batch", "batch.txt"}),
            0)
      << cli.Err();
  EXPECT_THAT(SeenPaths(), ElementsAre("/empty.html", "/other.html", "/o.jpg", "/gallery.html",
                                       "/1.jpg", "/2.jpg", "/3.jpg"));
  EXPECT_EQ(ReadBytes(Dest("AAA_001.jpg")), ImageBody('o'));
  EXPECT_EQ(ReadBytes(Dest("AAB_001.jpg")), ImageBody('1'));
  EXPECT_EQ(cli.OutLines().size(), 7u);
  // One run for all: the empty page's error is not the run's last word.
  EXPECT_EQ(cli.Err(), "");
  Settings saved;
  LoadSettings(saved, work.dir());
  EXPECT_THAT(saved.recentAddresses,
              ElementsAre(Url("/gallery.html"), Url("/other.html"), Url("/empty.html")));
}

TEST_F(CliRunTest, UsageErrorsExitTwoAndHelpDocumentsTheExitStatus) {
  const std::vector<std::vector<std::string>> bad = {{},
                                                     {"--dest"},
                                                     {"--frobnicate", Url("/gallery.html")},
                                                     {"ftp://example.com/x.jpg"},
                                                     {"--min-size", "lots", Url("/gallery.html")},
                                                     {"--lang", "fr", Url("/gallery.html")}};
  for (const auto& args : bad) {
    EXPECT_EQ(Run(args), 2) << ::testing::PrintToString(args);
    EXPECT_THAT(cli.Err(), HasSubstr("usage: harvelo-cli"));
    EXPECT_EQ(cli.Out(), "");
  }
  EXPECT_TRUE(SeenPaths().empty());
  EXPECT_EQ(Run({"--help"}), 0);
  EXPECT_THAT(cli.Out(), HasSubstr("Exit status:"));
}

TEST_F(CliRunTest, UnwritableDestinationIsReportedByTheEngine) {
  WriteBytes(work.file("plainfile"), "x");
  EXPECT_EQ(Run({"--dest", "plainfile", Url("/gallery.html")}), 1);
  EXPECT_EQ(cli.Err(), "Cannot write files to the path \"plainfile/AAA_###.<ext>\".\n");
  EXPECT_TRUE(SeenPaths().empty());
  EXPECT_FALSE(Exists(work.file("HV_conf.cfg")));
}

}  // namespace
}  // namespace harvelo::testing
