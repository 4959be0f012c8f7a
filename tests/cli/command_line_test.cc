#include "cli/command_line.h"

#include <gtest/gtest.h>

#include "settings/interface_language.h"

namespace harvelo::cli {
namespace {

TEST(CommandLineTest, EveryOptionInBothSpellings) {
  const ParseResult r =
      ParseCommandLine({"--dest", "out", "--prefix=img", "--types", "jpg,gif", "--min-size=0",
                        "--no-auto-inc", "--no-webaddr", "--lang", "es", "--yes", "-q", "--batch",
                        "list.txt", "a.example/x", "--", "--odd-host"});
  ASSERT_EQ(r.error, "");
  const CommandLine& c = r.line;
  EXPECT_EQ(c.destinationDir, "out");
  EXPECT_EQ(c.prefix, "img");
  EXPECT_EQ(c.targetTypes, ",JPG,GIF");
  EXPECT_EQ(c.minimumSizeKb, 0);
  EXPECT_EQ(c.autoIncrement, 0);
  EXPECT_TRUE(c.noWebAddressLog);
  EXPECT_EQ(c.language, kLanguageSpanish);
  EXPECT_EQ(c.continueAnswer, ContinueAnswer::kYes);
  EXPECT_TRUE(c.quiet);
  EXPECT_EQ(c.batchFile, "list.txt");
  EXPECT_EQ(c.addresses, (std::vector<std::string>{"http://a.example/x", "http://--odd-host"}));
}

TEST(CommandLineTest, DefaultsLeaveTheSavedSettingsAlone) {
  const ParseResult r = ParseCommandLine({"--auto-inc", "--no", "http://a/"});
  ASSERT_EQ(r.error, "");
  EXPECT_EQ(r.line.autoIncrement, 1);
  EXPECT_EQ(r.line.continueAnswer, ContinueAnswer::kNo);
  EXPECT_FALSE(r.line.destinationDir || r.line.prefix || r.line.targetTypes ||
               r.line.minimumSizeKb || r.line.language || r.line.batchFile);
  EXPECT_TRUE(ParseCommandLine({"--batch", "f"}).error.empty());
  EXPECT_TRUE(ParseCommandLine({"--help"}).line.help);
}

TEST(CommandLineTest, UsageErrors) {
  const std::vector<std::vector<std::string>> bad = {
      {},
      {"--quiet"},
      {"--dest"},
      {"http://a/", "--prefix"},
      {"--bogus", "http://a/"},
      {"-x", "http://a/"},
      {"--types", ",,", "http://a/"},
      {"--min-size", "-1", "http://a/"},
      {"--min-size", "20k", "http://a/"},
      {"--min-size", "99999999999", "http://a/"},
      {"--lang", "de", "http://a/"},
      {"--yes=1", "http://a/"},
      {"--batch", ""},
      {"ftp://a/b.jpg"},
      {""},
  };
  for (const auto& args : bad) {
    EXPECT_NE(ParseCommandLine(args).error, "") << ::testing::PrintToString(args);
  }
}

}  // namespace
}  // namespace harvelo::cli
