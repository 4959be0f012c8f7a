// The command line and the rules that turn what is typed into field texts.
#include "cli/command_line.h"

#include <gtest/gtest.h>

#include "cli/console_language.h"
#include "cli/field_rules.h"
#include "platform/thread_locale.h"
#include "settings/interface_language.h"

namespace harvelo::cli {
namespace {

TEST(CommandLineTest, EveryOptionInBothSpellings) {
  const ParseResult r =
      ParseCommandLine({"--dest", "out", "--prefix=img", "--types", " jpg, Gif,,", "--min-size=0",
                        "--no-auto-inc", "--no-webaddr", "--lang", "es", "--yes", "-q", "--batch",
                        "l.txt", "a.example/x", "--", "-h"});
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
  EXPECT_EQ(c.addresses, (std::vector<std::string>{"http://a.example/x", "http://-h"}));
}

TEST(CommandLineTest, UsageErrors) {
  const std::vector<std::vector<std::string>> bad = {
      {},
      {"--quiet"},
      {"http://a/", "--prefix"},
      {"--bogus", "http://a/"},
      {"--types", " , ", "http://a/"},
      {"--min-size", "-1", "http://a/"},
      {"--min-size", "20k", "http://a/"},
      {"--min-size", "99999999999", "http://a/"},
      {"--lang", "de", "http://a/"},
      {"--yes=1", "http://a/"},
      {"--batch", ""},
      {"ftp://a/b.jpg"},
      {"file:///etc/passwd"},
      {""},
  };
  for (const auto& args : bad) {
    EXPECT_NE(ParseCommandLine(args).error, "") << ::testing::PrintToString(args);
  }
}

TEST(FieldRulesTest, SeparatorsAndSchemes) {
  EXPECT_EQ(NormaliseTargetTypes(",JPG,GIF"), ",JPG,GIF");
  EXPECT_EQ(DestinationFieldText("x"), "x/");
  EXPECT_EQ(DestinationFieldText("x/"), "x/");
  EXPECT_EQ(DestinationFieldText(""), "");
  EXPECT_EQ(PrefixFieldText("img"), "img_");
  EXPECT_EQ(PrefixFieldText("AAA_"), "AAA_");
  EXPECT_EQ(PrefixFieldText(""), "");
  EXPECT_EQ(NormaliseAddress("HTTPS://a/"), "HTTPS://a/");
  // A host with a port is not a scheme.
  EXPECT_EQ(NormaliseAddress("localhost:8080/g"), "http://localhost:8080/g");
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
