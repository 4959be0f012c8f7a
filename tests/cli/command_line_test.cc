// The command line and the rules that turn what is typed into field texts.
#include "cli/command_line.h"

#include <gtest/gtest.h>

#include <utility>

#include "cli/console_language.h"
#include "platform/thread_locale.h"
#include "settings/interface_language.h"

namespace harvelo::cli {
namespace {

TEST(CommandLineTest, EveryOptionInBothSpellings) {
  const ParseResult r = ParseCommandLine({"--dest",
                                          "out",
                                          "--prefix=img",
                                          "--types",
                                          " jpg, Gif,,",
                                          "--min-size=0",
                                          "--no-auto-inc",
                                          "--no-webaddr",
                                          "--lang",
                                          "es",
                                          "--yes",
                                          "-q",
                                          "--batch",
                                          "l.txt",
                                          "--parallel",
                                          "16",
                                          "--ca-certificate=ca.pem",
                                          "a.example/x",
                                          "--",
                                          "-h"});
  ASSERT_EQ(r.error, "");
  const CommandLine& c = r.line;
  EXPECT_EQ(c.destinationDir, "out");
  EXPECT_EQ(c.prefix, "img");
  EXPECT_EQ(c.targetTypes, ",JPG,GIF");
  EXPECT_EQ(c.minimumSizeKb, 0);
  EXPECT_EQ(c.autoIncrement, 0);
  EXPECT_TRUE(c.noWebAddressLog && c.quiet && !c.help);
  EXPECT_EQ(c.language, kLanguageSpanish);
  EXPECT_EQ(c.continueAnswer, ContinueAnswer::kYes);
  EXPECT_EQ(c.batchFile, "l.txt");
  EXPECT_EQ(c.parallelTransfers, 16);
  EXPECT_EQ(c.caCertificateFile, "ca.pem");
  EXPECT_EQ(c.addresses, (std::vector<std::string>{"http://a.example/x", "http://-h"}));
}

TEST(CommandLineTest, UsageErrorsSayWhatIsWrong) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> bad = {
      {{}, "no address and no --batch file given"},
      {{"--quiet"}, "no address and no --batch file given"},
      {{"http://a/", "--prefix"}, "--prefix needs a value"},
      {{"--bogus", "http://a/"}, "unknown option --bogus"},
      {{"-x", "http://a/"}, "unknown option -x"},
      {{"-qx", "http://a/"}, "unknown option -x"},
      // Only the documented spellings: an abbreviation would break once a longer option
      // sharing its beginning is added.
      {{"--de", "x", "http://a/"}, "unknown option --de"},
      {{"--types", " , ", "http://a/"}, "--types names no file type"},
      {{"--min-size", "-1", "http://a/"}, "--min-size needs a whole number of kilobytes: -1"},
      {{"--min-size", "20k", "http://a/"}, "--min-size needs a whole number of kilobytes: 20k"},
      {{"--min-size", "99999999999", "http://a/"},
       "--min-size needs a whole number of kilobytes: 99999999999"},
      {{"--lang", "de", "http://a/"}, "--lang is en or es: de"},
      {{"--parallel", "0", "http://a/"}, "--parallel needs a whole number from 1 to 16: 0"},
      {{"--parallel=17", "http://a/"}, "--parallel needs a whole number from 1 to 16: 17"},
      {{"--parallel", "2x", "http://a/"}, "--parallel needs a whole number from 1 to 16: 2x"},
      {{"--ca-certificate=", "http://a/"}, "--ca-certificate needs a file name"},
      {{"--yes=1", "http://a/"}, "--yes takes no value"},
      {{"--help=1"}, "--help takes no value"},
      {{"--batch", ""}, "--batch needs a file name"},
      {{"ftp://a/b.jpg"}, "only http:// and https:// addresses can be fetched: ftp://a/b.jpg"},
      {{"file:///etc/passwd"},
       "only http:// and https:// addresses can be fetched: file:///etc/passwd"},
      {{""}, "empty address"},
      {{"--", ""}, "empty address"},
  };
  for (const auto& [args, message] : bad) {
    EXPECT_EQ(ParseCommandLine(args).error, message) << ::testing::PrintToString(args);
  }
}

TEST(CommandLineTest, AddressesKeepTheirPlaceAmongOptionsAndAParseStartsAfresh) {
  // A value that looks like an option is still the value.
  const ParseResult r = ParseCommandLine({"b.example", "--dest", "--yes", "-qh", "c.example"});
  ASSERT_EQ(r.error, "");
  EXPECT_EQ(r.line.destinationDir, "--yes");
  EXPECT_TRUE(r.line.quiet && r.line.help);
  EXPECT_EQ(r.line.continueAnswer, ContinueAnswer::kAsk);
  EXPECT_EQ(r.line.addresses, (std::vector<std::string>{"http://b.example", "http://c.example"}));
  // getopt keeps its place in globals: a second parse must not resume the first.
  const ParseResult again = ParseCommandLine({"--no", "d.example"});
  ASSERT_EQ(again.error, "");
  EXPECT_EQ(again.line.continueAnswer, ContinueAnswer::kNo);
  EXPECT_EQ(again.line.addresses, (std::vector<std::string>{"http://d.example"}));
}

// The console's options go through the window's field rules: every spelling the type
// field accepts gives the same target types here.
TEST(CommandLineTest, TypesAndAddressesFollowTheWindowsFieldRules) {
  const struct {
    const char* typed;
    const char* types;
  } cases[] = {
      {"jpg,gif", ",JPG,GIF"},    {".jpg", ",JPG"},         {"*.jpg", ",JPG"},
      {" JPG , png", ",JPG,PNG"}, {",JPG,GIF", ",JPG,GIF"}, {"jpg,,.Gif ,", ",JPG,GIF"},
  };
  for (const auto& c : cases) {
    const ParseResult r = ParseCommandLine({"--types", c.typed, "a.example"});
    EXPECT_EQ(r.error, "") << c.typed;
    EXPECT_EQ(r.line.targetTypes.value_or("?"), c.types) << c.typed;
  }
  EXPECT_EQ(ParseCommandLine({"--types", " . ", "a.example"}).error, "--types names no file type");
  const ParseResult r = ParseCommandLine({"HTTPS://a/", "localhost:8080/g"});
  EXPECT_EQ(r.line.addresses, (std::vector<std::string>{"HTTPS://a/", "http://localhost:8080/g"}));
}

TEST(ConsoleLanguageTest, OptionThenFileThenSystem) {
  constexpr int kGerman = 0x0407;
  constexpr int kSpanishMexico = 0x080A;
  EXPECT_EQ(ConsoleLocale(kLanguageSpanish, kLanguageEnglish, kGerman), kLocaleSpanish);
  EXPECT_EQ(ConsoleLocale(std::nullopt, kLanguageEnglish, kSpanishMexico), kLocaleEnglish);
  EXPECT_EQ(ConsoleLocale(std::nullopt, kLanguageSystem, kSpanishMexico), kLocaleSpanish);
  // Never chosen: no dialog in a console, the system decides.
  EXPECT_EQ(ConsoleLocale(std::nullopt, kLanguageUnset, kSpanishMexico), kLocaleSpanish);
  EXPECT_EQ(ConsoleLocale(std::nullopt, std::nullopt, kGerman), kLocaleEnglish);
  // Any other stored value leaves the system's locale as it is.
  EXPECT_EQ(ConsoleLocale(std::nullopt, 7, kGerman), kGerman);
}

}  // namespace
}  // namespace harvelo::cli
