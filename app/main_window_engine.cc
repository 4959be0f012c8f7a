// The engine's window interface on the main window's real controls.
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/gauge.h>
#include <wx/listctrl.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include <cstdlib>

#include "app/event_pump.h"
#include "app/icons.h"
#include "app/main_window.h"
#include "app/owner_drawn_button.h"
#include "app/wx_text.h"
#include "engine/control_ids.h"
#include "platform/string_table.h"

namespace harvelo::app {

std::string MainWindow::GetControlText(int id) {
  wxWindow* control = FindWindow(id);
  if (auto* check = dynamic_cast<wxCheckBox*>(control)) return check->GetValue() ? "1" : "0";
  if (auto* combo = dynamic_cast<wxComboBox*>(control)) return Utf8(combo->GetValue());
  if (auto* edit = dynamic_cast<wxTextCtrl*>(control)) return Utf8(edit->GetValue());
  if (control) return Utf8(control->GetLabel());
  return {};
}

void MainWindow::SetControlText(int id, const std::string& text) {
  wxWindow* control = FindWindow(id);
  if (auto* check = dynamic_cast<wxCheckBox*>(control)) {
    check->SetValue(std::atoi(text.c_str()) != 0);
  } else if (auto* combo = dynamic_cast<wxComboBox*>(control)) {
    combo->ChangeValue(Wx(text));
  } else if (auto* edit = dynamic_cast<wxTextCtrl*>(control)) {
    edit->ChangeValue(Wx(text));
  } else if (auto* label = dynamic_cast<wxStaticText*>(control)) {
    // Labels show '&' as it is: the status line carries addresses and file names.
    label->SetLabelText(Wx(text));
  }
}

void MainWindow::EnableControl(int id, bool enable) {
  if (wxWindow* control = FindWindow(id)) control->Enable(enable);
}

void MainWindow::FocusControl(int id) {
  if (wxWindow* control = FindWindow(id)) control->SetFocus();
}

void MainWindow::UpdateButtonFaces() {
  const bool busy = engine_ && engine_->busy;
  Button(IDC_START)->SetFace(busy ? kIconToQueue : kIconStart,
                             busy ? toQueueCaption_ : startCaption_);
  Button(IDC_PAUSE)->SetFace(engine_ && engine_->paused ? kIconPlay : kIconPause, wxString());
  Button(IDC_ALWAYS_ON_TOP)->SetFace(alwaysOnTop_ ? kIconPinPressed : kIconPinLying, wxString());
}

void MainWindow::RedrawButton(int id) {
  UpdateButtonFaces();
  if (wxWindow* button = FindWindow(id)) button->Refresh();
}

void MainWindow::SetTitle(const std::string& title) {
  HarveloDialog::SetTitle(Wx(title));
}

void MainWindow::SetProgressRange(int id, int low, int high) {
  if (auto* gauge = dynamic_cast<wxGauge*>(FindWindow(id))) {
    // A gauge counts from 0; the bars here always start at 0.
    gauge->SetRange(std::max(1, high - low));
  }
}

void MainWindow::SetProgressPos(int id, int pos) {
  if (auto* gauge = dynamic_cast<wxGauge*>(FindWindow(id))) {
    gauge->SetValue(std::clamp(pos, 0, gauge->GetRange()));
  }
}

void MainWindow::InsertLogRow(const LogRow& row) {
  const long index = log_->InsertItem(0, Wx(row.time));
  log_->SetItem(index, 1, Wx(row.status));
  log_->SetItem(index, 2, Wx(row.filePath));
  log_->SetItem(index, 3, Wx(row.address));
}

void MainWindow::DeleteLogRow(int index) {
  if (index >= 0 && index < log_->GetItemCount()) log_->DeleteItem(index);
}

void MainWindow::ClearLog() {
  log_->DeleteAllItems();
}

void MainWindow::RecentAddressesChanged(const std::vector<std::string>& addresses) {
  // Replacing the list must not touch what is typed in the field.
  const wxString typed = url_->GetValue();
  wxArrayString items;
  for (const std::string& address : addresses) items.Add(Wx(address));
  url_->Set(items);
  url_->ChangeValue(typed);
}

bool MainWindow::ChooseBatchFile(std::string& path) {
  return choosers_.ChooseExistingFile(this, LoadResString(IDS_BATCH_FILTER), path);
}

// A close asked for during a run happens once the run has unwound to the event loop.
void MainWindow::RunEnded(int /*stored*/) {
  if (closeAfterRun_) CallAfter([this] { CloseAndSave(); });
}

void MainWindow::Beep() {
  wxBell();
}

int MainWindow::PumpMessages(int n) {
  return PumpPendingEvents(n);
}

MessageAnswer MainWindow::ShowMessage(const std::string& text, MessageIcon icon,
                                      MessageButtons buttons) {
  return boxes_.ShowMessage(text, icon, buttons);
}

}  // namespace harvelo::app
