// The main window's own commands: the field rules, Enter, "P", "T", "M", "...", Config,
// About, Help, and the wiring of every button to its command.
#include <wx/clipbrd.h>
#include <wx/combobox.h>
#include <wx/dataobj.h>
#include <wx/textctrl.h>

#include "app/about_dialog.h"
#include "app/config_dialog.h"
#include "app/main_window.h"
#include "app/owner_drawn_button.h"
#include "app/wx_text.h"
#include "engine/control_ids.h"
#include "engine/field_rules.h"
#include "platform/directories.h"
#include "platform/shell_open.h"
#include "platform/string_table.h"

namespace harvelo::app {

void MainWindow::BindCommands() {
  auto on = [this](int id, auto handler) {
    Bind(
        wxEVT_BUTTON, [handler](wxCommandEvent&) { handler(); }, id);
  };
  on(IDC_START, [this] { engine_->OnStart(); });
  on(IDC_BATCH_FILE, [this] { engine_->OnBatchFile(); });
  on(IDC_STOP, [this] { engine_->OnStop(); });
  on(IDC_PAUSE, [this] { engine_->OnPause(); });
  on(IDC_GET_FROM_BROWSER, [this] {
    if (options_.browser.getFromBrowser) options_.browser.getFromBrowser(*this);
  });
  on(IDC_BROWSER, [this] {
    if (options_.browser.openCurrentPage) {
      options_.browser.openCurrentPage(*this);
      return;
    }
    const std::string page = GetControlText(IDC_CURRENT_PAGE);
    if (page.empty()) {
      ShowMessage(LoadResString(IDS_NO_CURRENT_PAGE), MessageIcon::kStop, MessageButtons::kOk);
    } else {
      ShellOpen(page);
    }
  });
  on(IDC_BROWSE_DESTINATION, [this] { BrowseDestination(); });
  on(IDC_ALWAYS_ON_TOP, [this] { ToggleAlwaysOnTop(); });
  on(IDC_MINIMIZE, [this] { Iconize(true); });
  on(IDC_CLIPBOARD, [this] { OnClipboardAddress(); });
  on(IDC_CONFIG, [this] { OpenConfiguration(); });
  on(IDC_ABOUT, [this] { OpenAbout(); });
  on(IDC_HELP, [this] { OpenHelp(); });
  on(IDC_DEFAULT_BUTTON, [this] { OnDefaultButton(); });

  url_->Bind(wxEVT_KILL_FOCUS,
             [this](wxFocusEvent& e) { OnFieldKillFocus(e, &MainWindow::ApplyAddressRule); });
  destination_->Bind(wxEVT_KILL_FOCUS, [this](wxFocusEvent& e) {
    OnFieldKillFocus(e, &MainWindow::ApplyDestinationRule);
  });
  prefix_->Bind(wxEVT_KILL_FOCUS,
                [this](wxFocusEvent& e) { OnFieldKillFocus(e, &MainWindow::ApplyPrefixRule); });
}

// The toolkit reports the loss of focus before the new owner is known when the focus
// moves by a click: the rule then runs as soon as the focus has landed.
void MainWindow::OnFieldKillFocus(wxFocusEvent& event, void (MainWindow::*rule)()) {
  event.Skip();
  if (closing_) return;
  if (event.GetWindow()) {
    (this->*rule)();
  } else {
    CallAfter([this, rule] { (this->*rule)(); });
  }
}

bool MainWindow::FocusAllowsRule(wxWindow* focus) const {
  if (closing_ || !focus || wxGetTopLevelParent(focus) != this) return false;
  return focus->GetId() != 0 && focus->GetId() != 2;
}

bool MainWindow::FocusAllowsRule() const {
  return FocusAllowsRule(FindFocus());
}

void MainWindow::ApplyAddressRule() {
  if (!FocusAllowsRule()) return;
  const std::string text = Utf8(url_->GetValue());
  if (text.empty()) return;
  const std::string ruled = AddressRule(text);
  if (ruled != text) url_->ChangeValue(Wx(ruled));
}

void MainWindow::ApplyDestinationRule() {
  if (!FocusAllowsRule()) return;
  const std::string text = Utf8(destination_->GetValue());
  if (text.empty()) return;
  const std::string ruled = DestinationRule(text);
  if (ruled != text) destination_->ChangeValue(Wx(ruled));
  // The prefix follows the directory, whether or not a separator was added.
  prefix_->ChangeValue(Wx(LoadPrefix(ruled)));
  engine_->fileCounter = 1;
}

void MainWindow::ApplyPrefixRule() {
  if (!FocusAllowsRule()) return;
  const std::string text = Utf8(prefix_->GetValue());
  if (text.empty()) return;
  const std::string ruled = PrefixRule(text);
  if (ruled != text) prefix_->ChangeValue(Wx(ruled));
}

void MainWindow::OnDefaultButton() {
  ApplyAddressRule();
  engine_->OnStart();
}

void MainWindow::OnClipboardAddress() {
  url_->ChangeValue(wxString());
  wxString text;
  if (wxTheClipboard->Open()) {
    if (wxTheClipboard->IsSupported(wxDF_UNICODETEXT) || wxTheClipboard->IsSupported(wxDF_TEXT)) {
      wxTextDataObject data;
      if (wxTheClipboard->GetData(data)) text = data.GetText();
    }
    wxTheClipboard->Close();
  }
  // A single-line field takes the text up to its first line break.
  text = text.BeforeFirst('\n').BeforeFirst('\r');
  url_->ChangeValue(text);
  ApplyAddressRule();
  if (!url_->GetValue().empty()) engine_->OnStart();
}

void MainWindow::ApplyWindowBand() {
  long style = GetWindowStyleFlag();
  style = alwaysOnTop_ ? (style | wxSTAY_ON_TOP) : (style & ~wxSTAY_ON_TOP);
  SetWindowStyleFlag(style);
  UpdateButtonFaces();
}

void MainWindow::ToggleAlwaysOnTop() {
  alwaysOnTop_ = !alwaysOnTop_;
  ApplyWindowBand();
  Button(IDC_ALWAYS_ON_TOP)->Refresh();
}

void MainWindow::BrowseDestination() {
  std::string folder;
  if (!choosers_.ChooseFolder(this, LoadResString(IDS_SELECT_DESTINATION), folder)) return;
  destination_->ChangeValue(Wx(folder));
  // The rule runs as if the field had just been left for the button.
  const std::string ruled = DestinationRule(folder);
  destination_->ChangeValue(Wx(ruled));
  prefix_->ChangeValue(Wx(LoadPrefix(ruled)));
  engine_->fileCounter = 1;
}

void MainWindow::OpenConfiguration() {
  ConfigValues values;
  values.resourceTypes = settings_.targetTypes.empty() ? "" : settings_.targetTypes.substr(1);
  values.webAddressLog = settings_.generateWebAddressLog;
  values.browserIndex = settings_.browserKind;
  values.minimumSizeKb = settings_.minimumSizeKb;
  values.debugOptions = settings_.debugOptions;
  values.modernPages = settings_.modernPages;
  values.minimumPictureWidth = settings_.minimumPictureWidth;
  values.minimumPictureHeight = settings_.minimumPictureHeight;
  values.skipDuplicates = settings_.skipDuplicates;
  values.skipKnownFiles = settings_.skipKnownFiles;
  values.parallelTransfers = settings_.parallelTransfers;
  values.http2Streams = settings_.http2Streams;
  values.compressedPages = settings_.compressedPages;
  values.renderedPages = settings_.renderedPages;
  values.renderScreens = settings_.renderScreens;
  values.renderSeconds = settings_.renderSeconds;
  ConfigDialog dialog(this, values, options_.settingsDir);
  if (dialog.ShowModal() != wxID_OK) return;
  ApplyConfiguration(dialog.Values());
}

void MainWindow::ApplyConfiguration(const ConfigValues& values) {
  settings_.targetTypes = "," + values.resourceTypes;
  settings_.generateWebAddressLog = values.webAddressLog;
  settings_.browserKind = values.browserIndex;
  settings_.minimumSizeKb = values.minimumSizeKb;
  settings_.debugOptions = values.debugOptions;
  settings_.modernPages = values.modernPages;
  settings_.minimumPictureWidth = values.minimumPictureWidth;
  settings_.minimumPictureHeight = values.minimumPictureHeight;
  settings_.skipDuplicates = values.skipDuplicates;
  settings_.skipKnownFiles = values.skipKnownFiles;
  settings_.parallelTransfers = values.parallelTransfers;
  settings_.http2Streams = values.http2Streams;
  settings_.compressedPages = values.compressedPages;
  settings_.renderedPages = values.renderedPages;
  settings_.renderScreens = values.renderScreens;
  settings_.renderSeconds = values.renderSeconds;
  ParseDebugOptions(settings_);
  StoreIntoSettings();
  SaveSettings(settings_, options_.settingsDir);
}

void MainWindow::OpenAbout() {
  AboutDialog dialog(nullptr);
  dialog.ShowModal();
}

std::string MainWindow::HelpPagePath() {
  return ProgramDirectory() + LoadResString(IDS_HELP_PATH);
}

void MainWindow::OpenHelp() {
  ShellOpen(HelpPagePath());
}

}  // namespace harvelo::app
