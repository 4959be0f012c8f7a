// The main window: its controls, how it opens and how it closes.
#include "app/main_window.h"

#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/listctrl.h>
#include <wx/textctrl.h>

#include "app/dialog_builder.h"
#include "app/icons.h"
#include "app/owner_drawn_button.h"
#include "app/wx_text.h"
#include "engine/control_ids.h"
#include "platform/string_table.h"

namespace harvelo::app {
namespace {

// Icons on the main window's buttons are 24 pixels.
constexpr int kMainIconSize = 24;

// The frame has a title bar and a close box, but no minimise or maximise box.
constexpr long kMainWindowStyle = wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX;

}  // namespace

MainWindow::MainWindow(const MainWindowOptions& options)
    : HarveloDialog(nullptr, kMainWindowStyle),
      options_(options),
      choosers_(options.choosers ? *options.choosers : DesktopFileChoosers()),
      boxes_(this) {
  SetIcons(wxIconBundle());
  CreateControls();
  engine_ = std::make_unique<Engine>(*this, settings_);
  engine_->settingsDir = options_.settingsDir;
  BindCommands();
  Open();
}

// The fields lose the focus while the window is taken apart: no rule may run then.
MainWindow::~MainWindow() {
  closing_ = true;
  // The controls go while this object is whole: their last focus events must not reach
  // a window already reduced to its base classes.
  DestroyChildren();
}

void MainWindow::CreateControls() {
  BuildDialog(this, MainWindowTemplate(SpanishInterface()), kMainIconSize);
  url_ = static_cast<wxComboBox*>(FindWindow(IDC_URL));
  destination_ = static_cast<wxTextCtrl*>(FindWindow(IDC_DESTINATION_DIR));
  prefix_ = static_cast<wxTextCtrl*>(FindWindow(IDC_FILE_PREFIX));
  log_ = static_cast<wxListCtrl*>(FindWindow(IDC_DOWNLOAD_LOG));
  // The program's icon for the window manager and the task bar.
  wxIconBundle icons;
  for (int size : {16, 24, 32, 48, 64, 128}) {
    wxIcon icon;
    icon.CopyFromBitmap(IconBitmap(kIconProgram, size));
    icons.AddIcon(icon);
  }
  SetIcons(icons);
}

// Opening, in this order: the button captions (loaded once: a language change shows in
// them only after a restart), the log's columns, "+1" ticked, the settings, the prefix
// of the destination, the window's place, the focus, the tooltips.
void MainWindow::Open() {
  struct Face {
    int id, icon;
    StringId caption;
  };
  const Face faces[] = {
      {IDC_STOP, kIconStop, IDS_STOP_CAPTION},
      {IDC_GET_FROM_BROWSER, kIconGetFromBrowser, IDS_GET_FROM_BROWSER_CAPTION},
      {IDC_BROWSER, kIconBrowser, IDS_BROWSER_CAPTION},
      {IDC_BATCH_FILE, kIconBatchFile, IDS_BATCH_FILE_CAPTION},
      {IDC_CONFIG, kIconConfig, IDS_CONFIG_CAPTION},
      {IDC_HELP, kIconHelp, IDS_HELP_CAPTION},
      {IDC_ABOUT, kIconAbout, IDS_ABOUT_CAPTION},
  };
  for (const Face& face : faces)
    Button(face.id)->SetFace(face.icon, Wx(LoadResString(face.caption)));
  startCaption_ = Wx(LoadResString(IDS_START_CAPTION));
  toQueueCaption_ = Wx(LoadResString(IDS_TO_QUEUE_CAPTION));
  Button(IDC_BROWSE_DESTINATION)->SetFace(kIconFolderTree, wxString());
  Button(IDC_MINIMIZE)->SetFace(kIconMinimize, wxString());
  Button(IDC_CLIPBOARD)->SetFace(kIconClipboard, wxString());

  SetUpLog();
  static_cast<wxCheckBox*>(FindWindow(IDC_AUTO_INCREMENT))->SetValue(true);
  LoadFromSettings();
  UpdateButtonFaces();
  url_->SetFocus();
  engine_->busy = 0;
  AddToolTips();
}

void MainWindow::SetUpLog() {
  struct Column {
    StringId title;
    wxListColumnFormat align;
    int width;
  };
  const Column columns[] = {
      {IDS_COLUMN_TIME, wxLIST_FORMAT_CENTRE, 50},
      {IDS_COLUMN_STATUS, wxLIST_FORMAT_CENTRE, 90},
      {IDS_COLUMN_DEST_FILE, wxLIST_FORMAT_LEFT, 200},
      {IDS_COLUMN_RESOURCE_URL, wxLIST_FORMAT_LEFT, 400},
  };
  int index = 0;
  for (const Column& column : columns) {
    log_->InsertColumn(index++, Wx(LoadResString(column.title)), column.align,
                       FromDIP(column.width));
  }
}

void MainWindow::AddToolTips() {
  struct Tip {
    int id;
    StringId text;
  };
  const Tip tips[] = {
      {IDC_ABOUT, IDS_TIP_ABOUT},
      {IDC_ALWAYS_ON_TOP, IDS_TIP_ALWAYS_ON_TOP},
      {IDC_AUTO_INCREMENT, IDS_TIP_AUTO_INCREMENT},
      {IDC_BATCH_FILE, IDS_TIP_BATCH_FILE},
      {IDC_CONFIG, IDS_TIP_CONFIG},
      {IDC_DESTINATION_DIR, IDS_TIP_DESTINATION},
      {IDC_BROWSE_DESTINATION, IDS_TIP_BROWSE_DESTINATION},
      {IDC_GET_FROM_BROWSER, IDS_TIP_GET_FROM_BROWSER},
      {IDC_HELP, IDS_TIP_HELP},
      {IDC_MINIMIZE, IDS_TIP_MINIMIZE},
      {IDC_CLIPBOARD, IDS_TIP_CLIPBOARD},
      {IDC_PAUSE, IDS_TIP_PAUSE},
      {IDC_BROWSER, IDS_TIP_BROWSER},
      {IDC_START, IDS_TIP_START},
      {IDC_STOP, IDS_TIP_STOP},
      {IDC_FILE_PREFIX, IDS_TIP_PREFIX},
  };
  for (const Tip& tip : tips) FindWindow(tip.id)->SetToolTip(Wx(LoadResString(tip.text)));
}

void MainWindow::LoadFromSettings() {
  LoadSettings(settings_, options_.settingsDir);
  destination_->ChangeValue(Wx(settings_.destinationDir));
  static_cast<wxCheckBox*>(FindWindow(IDC_AUTO_INCREMENT))->SetValue(settings_.autoIncrement != 0);
  RecentAddressesChanged(settings_.recentAddresses);

  prefix_->ChangeValue(Wx(LoadPrefix(settings_.destinationDir)));
  engine_->fileCounter = 1;

  WindowPosition position;
  LoadWindowPosition(position, options_.settingsDir);
  if (position.x != -1 || position.y != -1) {
    Move(position.x, position.y);
  } else {
    CentreOnScreen();
  }
  alwaysOnTop_ = position.alwaysOnTop;
  ApplyWindowBand();
}

void MainWindow::StoreIntoSettings() {
  settings_.destinationDir = Utf8(destination_->GetValue());
  settings_.autoIncrement = static_cast<wxCheckBox*>(FindWindow(IDC_AUTO_INCREMENT))->GetValue();
}

// The close box (also Alt+F4 and the window menu): the settings and the window's place
// are written, then the window closes.
void MainWindow::CloseAndSave() {
  StoreIntoSettings();
  SaveSettings(settings_, options_.settingsDir);
  WindowPosition position;
  const wxPoint where = GetPosition();
  position.x = where.x;
  position.y = where.y;
  position.alwaysOnTop = alwaysOnTop_;
  SaveWindowPosition(position, options_.settingsDir);
  Finish(wxID_CANCEL);
}

void MainWindow::RequestClose() {
  if (engine_ && engine_->busy) {
    closeAfterRun_ = true;
    engine_->AbandonRun();
    return;
  }
  if (!Finished()) CloseAndSave();
}

// Escape closes the window through the cancel path: nothing is written.
void MainWindow::OnEscape() {
  Finish(wxID_CANCEL);
}

}  // namespace harvelo::app
