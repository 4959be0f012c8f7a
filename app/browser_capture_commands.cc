#include "app/browser_capture_commands.h"

#include "app/window_choice_dialog.h"
#include "capture/browser_capture.h"
#include "capture/desktop_capture_services.h"
#include "devtools/chromium_renderer.h"
#include "devtools/open_tab_reader.h"
#include "devtools/page_list.h"
#include "engine/control_ids.h"
#include "platform/directories.h"

namespace harvelo::app {

bool ChooseWindowBelowButton(MainWindow& window, const std::string& inspectorOut,
                             CapturedPage& chosen) {
  CWindowChoiceDlg dialog(&window, inspectorOut);
  if (wxWindow* button = window.FindWindow(IDC_GET_FROM_BROWSER)) {
    // The button's rectangle in the window's client coordinates, mapped to the screen:
    // the dialog opens left-aligned with it, 5 pixels below it.
    const wxRect rect = button->GetRect();
    const wxPoint corner = window.ClientToScreen(rect.GetPosition());
    dialog.x = corner.x;
    dialog.y = corner.y + rect.GetHeight() + 5;
  }
  if (dialog.DoModal() != wxID_OK) return false;
  chosen = {dialog.chosenAddress, dialog.chosenCookie, dialog.chosenReferrer};
  return true;
}

BrowserCommands BrowserCaptureCommands() {
  BrowserCommands commands;
  commands.getFromBrowser = [](MainWindow& window) {
    DesktopCaptureServices services([&window](const std::string& path, CapturedPage& chosen) {
      return ChooseWindowBelowButton(window, path, chosen);
    });
    BrowserCapture capture(services, window, TempDirectory());
    capture.GetFromBrowser(window.engine(), window.settings().browserKind);
  };
  commands.openCurrentPage = [](MainWindow& window) {
    DesktopCaptureServices services(nullptr);
    BrowserCapture capture(services, window, TempDirectory());
    capture.OpenCurrentPage(window.GetControlText(IDC_CURRENT_PAGE));
  };
  return commands;
}

void InstallTypedAddressLookUp(MainWindow& window) {
  window.engine().lookUpPageContext = [&window](const std::string& address, std::string& cookie,
                                                std::string& referrer) {
    DesktopCaptureServices services(nullptr);
    BrowserCapture capture(services, window, TempDirectory());
    return capture.LookUpPageContext(address, cookie, referrer);
  };
}

void InstallPageRenderers(MainWindow& window) {
  window.engine().readOpenTab = [](std::string&) {
    return devtools::MakeOpenTabReader(devtools::DevToolsPort());
  };
  window.engine().startRenderer = [&window](std::string& error) {
    const Settings& settings = window.settings();
    return devtools::StartChromiumRenderer(
        {settings.renderScreens, std::chrono::seconds(settings.renderSeconds)}, error);
  };
}

}  // namespace harvelo::app
