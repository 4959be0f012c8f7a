#include "app/startup.h"

#include "app/browser_capture_commands.h"
#include "app/end_signals.h"
#include "app/language_dialog.h"
#include "app/message_boxes.h"
#include "platform/directories.h"
#include "settings/interface_language.h"
#include "settings/settings_folder.h"

namespace harvelo::app {

MainWindowOptions StartupOptions() {
  MainWindowOptions options;
  options.browser = BrowserCaptureCommands();
  options.settingsDir = SettingsFolder();
  return options;
}

int RunHarvelo(const MainWindowOptions& options) {
  WxMessageBoxes boxes(nullptr);
  SelectInterfaceLanguage(
      false, [](int initial) { return ShowLanguageDialog(nullptr, initial); }, boxes,
      options.settingsDir);
  // Both directories are fixed now, for the life of the process.
  ProgramDirectory();
  TempDirectory();
  MainWindow window(options);
  InstallTypedAddressLookUp(window);
  InstallPageRenderers(window);
  const EndSignals endSignals([&window] { window.RequestClose(); });
  window.ShowModal();
  return 0;
}

}  // namespace harvelo::app
