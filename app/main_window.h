// The main window (dialog 102): the program's only top-level window. It shows the
// controls of the template, implements the engine's window interface on them, and
// handles the commands that belong to the shell itself (field rules, Enter, "P", "T",
// "M", "...", Config, About, Help, closing).
#pragma once
#include <functional>
#include <memory>
#include <string>

#include "app/config_dialog.h"
#include "app/file_choosers.h"
#include "app/harvelo_dialog.h"
#include "app/message_boxes.h"
#include "engine/engine.h"
#include "engine/engine_window.h"
#include "settings/settings.h"

class wxComboBox;
class wxFocusEvent;
class wxListCtrl;
class wxTextCtrl;

namespace harvelo::app {

// The browser capture's side of "Get from Browser" (1008) and "Browser" (1010). Each is
// called with the main window when its button is pressed; an empty function leaves the
// built-in behaviour (Browser opens the Current Page with the desktop's "open").
struct BrowserCommands {
  std::function<void(class MainWindow&)> getFromBrowser;
  std::function<void(class MainWindow&)> openCurrentPage;
};

struct MainWindowOptions {
  std::string settingsDir;  // where HV_conf.cfg and the others live: "" = working directory
  FileChoosers* choosers = nullptr;  // nullptr: the desktop's dialogs
  BrowserCommands browser;
};

class MainWindow : public HarveloDialog, public EngineWindow {
 public:
  explicit MainWindow(const MainWindowOptions& options = {});
  ~MainWindow() override;

  Engine& engine() { return *engine_; }
  Settings& settings() { return settings_; }
  int AlwaysOnTop() const { return alwaysOnTop_; }
  MessageBoxes& boxes() { return boxes_; }

  // The commands, as their buttons run them.
  void OnClipboardAddress();  // "P"
  void ToggleAlwaysOnTop();   // "T"
  void BrowseDestination();   // "..."
  void OpenConfiguration();   // Config
  void OpenAbout();           // About
  void OpenHelp();            // Help
  // What the configuration dialog's OK does: take its values and write the settings.
  void ApplyConfiguration(const ConfigValues& values);
  void CloseAndSave();  // the close box when no run is under way
  // The close box, SIGTERM and SIGHUP: during a run the run is stopped as Stop stops it,
  // its queue dropped, and the window closes and saves once the run has unwound.
  void RequestClose();

  // The three field rules, each with the focus guard (see FocusAllowsRule).
  void ApplyAddressRule();
  void ApplyDestinationRule();
  void ApplyPrefixRule();

  // EngineWindow
  std::string GetControlText(int id) override;
  void SetControlText(int id, const std::string& text) override;
  void EnableControl(int id, bool enable) override;
  void FocusControl(int id) override;
  void RedrawButton(int id) override;
  void SetTitle(const std::string& title) override;
  void SetProgressRange(int id, int low, int high) override;
  void SetProgressPos(int id, int pos) override;
  void InsertLogRow(const LogRow& row) override;
  void DeleteLogRow(int index) override;
  void ClearLog() override;
  void RecentAddressesChanged(const std::vector<std::string>& addresses) override;
  bool ChooseBatchFile(std::string& path) override;
  void Beep() override;
  void RunEnded(int stored) override;
  int PumpMessages(int n) override;
  MessageAnswer ShowMessage(const std::string& text, MessageIcon icon,
                            MessageButtons buttons) override;

  // The help page's full path (program directory + string 71).
  static std::string HelpPagePath();

 protected:
  void OnDefaultButton() override;  // Enter: address rule, then Start
  void OnEscape() override;         // closes without saving
  void OnCloseBox() override { RequestClose(); }

 private:
  void CreateControls();
  void Open();
  void SetUpLog();
  void AddToolTips();
  void LoadFromSettings();
  void StoreIntoSettings();
  void BindCommands();
  void OnFieldKillFocus(wxFocusEvent& event, void (MainWindow::*rule)());
  // A field rule runs only when the focus moved to another control of the program
  // other than Cancel (id 2): not when it left the program.
  bool FocusAllowsRule(wxWindow* focus) const;
  bool FocusAllowsRule() const;
  void ApplyWindowBand();
  void UpdateButtonFaces();

  wxString startCaption_;    // "S&tart"
  wxString toQueueCaption_;  // "&To queue"
  wxComboBox* url_ = nullptr;
  wxTextCtrl* destination_ = nullptr;
  wxTextCtrl* prefix_ = nullptr;
  wxListCtrl* log_ = nullptr;

  MainWindowOptions options_;
  FileChoosers& choosers_;
  WxMessageBoxes boxes_;
  Settings settings_;
  int alwaysOnTop_ = 0;
  bool closing_ = false;
  bool closeAfterRun_ = false;
  std::unique_ptr<Engine> engine_;
};

}  // namespace harvelo::app
