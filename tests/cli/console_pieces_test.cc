// The console's small pure parts: the live line, the language rule, the settings kept.
#include <gtest/gtest.h>

#include "cli/console_language.h"
#include "cli/progress_line.h"
#include "cli/run_settings.h"
#include "platform/thread_locale.h"
#include "support/temp_dir.h"

namespace harvelo::cli {
namespace {

using harvelo::testing::Exists;
using harvelo::testing::ReadBytes;
using harvelo::testing::TempDir;
using harvelo::testing::WriteBytes;

TEST(ProgressLineTest, BarFollowsTheListAndTheLineFitsTheTerminal) {
  ProgressView view{"Downloading resource 2 of 4 (25% done).", 1, 4, 45};
  EXPECT_EQ(RenderProgressLine(view, 0),
            "[#####---------------]  45%  Downloading resource 2 of 4 (25% done).");
  view.totalHigh = 0;  // a page, no list yet
  EXPECT_EQ(RenderProgressLine(view, 30), "[--------------------]  45%  D");
  // Cut before a two-byte character rather than through it.
  view.status = "Muy Peque\xC3\xB1o";
  EXPECT_EQ(RenderProgressLine(view, 38), "[--------------------]  45%  Muy Peque");
}

TEST(ConsoleLanguageTest, OptionThenFileThenSystem) {
  constexpr int kGerman = 0x0407;
  constexpr int kSpanishMexico = 0x080A;
  EXPECT_EQ(ConsoleLocale(2, 1, kGerman), kLocaleSpanish);
  EXPECT_EQ(ConsoleLocale(1, std::nullopt, kSpanishMexico), kLocaleEnglish);
  EXPECT_EQ(ConsoleLocale(std::nullopt, 2, kGerman), kLocaleSpanish);
  EXPECT_EQ(ConsoleLocale(std::nullopt, std::nullopt, kSpanishMexico), kLocaleSpanish);
  EXPECT_EQ(ConsoleLocale(std::nullopt, 0, kGerman), kLocaleEnglish);
  // Never chosen: no dialog in a console, the system decides.
  EXPECT_EQ(ConsoleLocale(std::nullopt, -1, kSpanishMexico), kLocaleSpanish);
  // Any other stored value leaves the system's locale as it is.
  EXPECT_EQ(ConsoleLocale(std::nullopt, 7, kGerman), kGerman);
}

TEST(RunSettingsTest, OverridesApplyToTheRunAndNotToWhatIsSaved) {
  Settings loaded;
  loaded.destinationDir = "saved/";
  loaded.recentAddresses = {"http://old/"};
  CommandLine line;
  line.destinationDir = "other";
  line.targetTypes = ",GIF";
  line.minimumSizeKb = 0;
  line.autoIncrement = 0;
  line.noWebAddressLog = true;

  Settings run = RunSettings(loaded, line);
  EXPECT_EQ(run.targetTypes, ",GIF");
  EXPECT_EQ(run.minimumSizeKb, 0);
  EXPECT_EQ(run.autoIncrement, 0);
  EXPECT_EQ(run.generateWebAddressLog, 0);

  // What the engine leaves in its settings after the run.
  run.destinationDir = "other/";
  run.recentAddresses = {"http://new/", "http://old/"};
  const Settings saved = SettingsToSave(loaded, run, line);
  EXPECT_EQ(saved.destinationDir, "saved/");
  EXPECT_EQ(saved.targetTypes, loaded.targetTypes);
  EXPECT_EQ(saved.minimumSizeKb, 20);
  EXPECT_EQ(saved.autoIncrement, 1);
  EXPECT_EQ(saved.generateWebAddressLog, 1);
  EXPECT_EQ(saved.recentAddresses, run.recentAddresses);
  // Not overridden: the run's field value is what the window would have saved.
  EXPECT_EQ(SettingsToSave(loaded, run, CommandLine{}).destinationDir, "other/");
}

TEST(RunSettingsTest, SnapshotPutsBackBytesOrAbsence) {
  TempDir dir;
  WriteBytes(dir.file("kept"), "\"AAA_\"\r\n");
  const FileSnapshot kept(dir.file("kept"));
  const FileSnapshot absent(dir.file("absent"));
  WriteBytes(dir.file("kept"), "\"img_\"\r\n");
  WriteBytes(dir.file("absent"), "\"img_\"\r\n");
  kept.Restore();
  absent.Restore();
  EXPECT_EQ(ReadBytes(dir.file("kept")), "\"AAA_\"\r\n");
  EXPECT_FALSE(Exists(dir.file("absent")));
}

}  // namespace
}  // namespace harvelo::cli
