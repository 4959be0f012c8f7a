// Renders each window of the program in both languages to PNG files in the build folder
// (screenshots/), for a person to look at and for the user's guide.
#include <wx/combobox.h>
#include <wx/dcmemory.h>

#include "app/about_dialog.h"
#include "app/config_dialog.h"
#include "app/language_dialog.h"
#include "app/main_window.h"
#include "app_fixture.h"
#include "engine/control_ids.h"

namespace harvelo::testing {
namespace {

std::string ShotPath(const std::string& name) {
  return std::string(HARVELO_SCREENSHOT_DIR) + "/" + name + ".png";
}

class ScreenshotTest : public ::testing::TestWithParam<int> {
 protected:
  std::string Suffix() const { return GetParam() == kLocaleSpanish ? "_es" : "_en"; }
};

TEST_P(ScreenshotTest, MainWindowIdle) {
  InterfaceLocale locale(GetParam());
  TempDir settings;
  app::MainWindowOptions options;
  options.settingsDir = settings.dir();
  auto* window = new app::MainWindow(options);
  window->Show();
  window->SetControlText(IDC_DESTINATION_DIR, "/home/user/Pictures/");
  EXPECT_TRUE(SaveScreenshot(window, ShotPath("main_idle" + Suffix())));
  delete window;
  Settle(50);
}

INSTANTIATE_TEST_SUITE_P(Languages, ScreenshotTest,
                         ::testing::Values(kLocaleEnglish, kLocaleSpanish));

}  // namespace
}  // namespace harvelo::testing
