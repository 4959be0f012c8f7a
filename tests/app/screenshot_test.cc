// Renders each window of the program in both languages to PNG files in the build folder
// (screenshots/), for a person to look at and for the user's guide: the main window idle
// and during a run, the configuration, About and language dialogs, and a message box.
#include <wx/combobox.h>
#include <wx/listctrl.h>
#include <wx/msgdlg.h>
#include <wx/timer.h>

#include "app/about_dialog.h"
#include "app/config_dialog.h"
#include "app/language_dialog.h"
#include "app/main_window.h"
#include "app_fixture.h"
#include "engine/control_ids.h"
#include "support/loopback_server.h"

namespace harvelo::testing {
namespace {

class ScreenshotTest : public ::testing::TestWithParam<int> {
 protected:
  std::string Shot(const std::string& name) const {
    const char* suffix = GetParam() == kLocaleSpanish ? "_es" : "_en";
    return std::string(HARVELO_SCREENSHOT_DIR) + "/" + name + suffix + ".png";
  }
  app::MainWindow* OpenMainWindow() {
    app::MainWindowOptions options;
    options.settingsDir = settings_.dir();
    auto* window = new app::MainWindow(options);
    window->SetControlText(IDC_DESTINATION_DIR, destination_.dir());
    return window;
  }

  InterfaceLocale locale_{GetParam()};
  TempDir settings_;
  TempDir destination_;
};

TEST_P(ScreenshotTest, MainWindowIdle) {
  app::MainWindow* window = OpenMainWindow();
  window->SetControlText(IDC_DESTINATION_DIR, "/home/ana/Pictures/gallery/");
  EXPECT_TRUE(SaveScreenshot(window, Shot("main_idle")));
  delete window;
  Settle(30);
}

TEST_P(ScreenshotTest, MainWindowDuringARun) {
  LoopbackServer server;
  std::string page = "<html><head><title>Summer 2026 - gallery</title></head><body>";
  for (int i = 1; i <= 6; ++i) {
    page += "<a href=\"/photos/beach_" + std::to_string(i) + ".jpg\">photo</a>";
  }
  server.server().Get("/gallery.html", [&](const httplib::Request&, httplib::Response& res) {
    res.set_content(page + "</body></html>", "text/html");
  });
  server.server().Get(
      R"(/photos/beach_(\d)\.jpg)", [](const httplib::Request& req, httplib::Response& res) {
        std::this_thread::sleep_for(
            std::chrono::milliseconds(100 + 150 * std::stoi(req.matches[1].str())));
        std::string body = "\xFF\xD8\xFF" + req.matches[1].str();
        body.resize(40 * 1024, static_cast<char>('a' + std::stoi(req.matches[1].str())));
        res.set_content(body, "image/jpeg");
      });
  ASSERT_TRUE(server.Start());
  app::MainWindow* window = OpenMainWindow();
  window->Move(100, 100);
  window->Show();
  // The pointer away from the window, so that no tooltip lies over it.
  wxUIActionSimulator().MouseMove(1270, 1010);
  Settle(100);
  window->SetControlText(IDC_URL, server.Url("/gallery.html"));
  window->SetControlText(IDC_AUTO_INCREMENT, "0");
  bool taken = false;
  wxTimer timer;
  timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
    auto* log = static_cast<wxListCtrl*>(window->FindWindow(IDC_DOWNLOAD_LOG));
    if (taken || window->engine().runStatus < 0 || log->GetItemCount() < 4) return;
    taken = GrabToPng(static_cast<GtkWidget*>(window->GetHandle()), Shot("main_run"));
  });
  timer.Start(40);
  window->engine().OnStart();
  timer.Stop();
  EXPECT_TRUE(taken);
  EXPECT_TRUE(SaveScreenshot(window, Shot("main_done")));
  delete window;
  Settle(30);
}

TEST_P(ScreenshotTest, ConfigurationDialog) {
  app::ConfigValues values;
  values.resourceTypes = "JPG,JPEG,PNG,WEBP,GIF";
  values.webAddressLog = 1;
  values.browserIndex = 0;
  values.minimumSizeKb = 20;
  values.minimumPictureWidth = 200;
  values.minimumPictureHeight = 150;
  auto* dialog = new app::ConfigDialog(nullptr, values, settings_.dir());
  EXPECT_TRUE(SaveScreenshot(dialog, Shot("config")));
  delete dialog;
  Settle(30);
}

TEST_P(ScreenshotTest, AboutDialog) {
  auto* dialog = new app::AboutDialog(nullptr);
  EXPECT_TRUE(SaveScreenshot(dialog, Shot("about")));
  delete dialog;
  Settle(30);
}

TEST_P(ScreenshotTest, LanguageDialog) {
  auto* dialog = new app::LanguageDialog(nullptr, 0);
  EXPECT_TRUE(SaveScreenshot(dialog, Shot("language")));
  delete dialog;
  Settle(30);
}

// The real message box, shown modally: a timer draws it and answers it.
TEST_P(ScreenshotTest, MessageBox) {
  app::MainWindow* window = OpenMainWindow();
  window->Show();
  Settle(100);
  bool taken = false;
  wxTimer timer;
  timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
    GList* windows = gtk_window_list_toplevels();
    for (GList* item = windows; item; item = item->next) {
      auto* widget = static_cast<GtkWidget*>(item->data);
      if (!GTK_IS_MESSAGE_DIALOG(widget) || !gtk_widget_get_mapped(widget)) continue;
      timer.Stop();
      taken = DrawToPng(widget, Shot("message"));
      gtk_dialog_response(GTK_DIALOG(widget), GTK_RESPONSE_NO);
      break;
    }
    g_list_free(windows);
  });
  timer.Start(300);
  window->ShowMessage(LoadResString(IDS_CONTINUE_QUEUE), MessageIcon::kNone,
                      MessageButtons::kYesNoDefaultNo);
  timer.Stop();
  EXPECT_TRUE(taken);
  delete window;
  Settle(30);
}

INSTANTIATE_TEST_SUITE_P(Languages, ScreenshotTest,
                         ::testing::Values(kLocaleEnglish, kLocaleSpanish));

}  // namespace
}  // namespace harvelo::testing
