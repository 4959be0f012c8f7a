#include "app/config_dialog.h"

#include <wx/checkbox.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>
#include <wx/valnum.h>

#include <climits>
#include <cstdlib>

#include "app/dialog_builder.h"
#include "app/field_rules.h"
#include "app/icons.h"
#include "app/language_dialog.h"
#include "app/message_boxes.h"
#include "app/owner_drawn_button.h"
#include "app/up_down_control.h"
#include "app/wx_text.h"
#include "platform/string_table.h"
#include "settings/interface_language.h"

namespace harvelo::app {
namespace {

constexpr int kDialogIconSize = 16;
constexpr int kIdOk = 1, kIdCancel = 2, kIdChange = 4;
constexpr int kIdBrowserFirst = 1020, kIdWebAddressLog = 1023, kIdTypes = 1024;
constexpr int kIdDebug = 1025, kIdMinimum = 1030, kIdUpDown = 1032;
// The up-down arrows step within 1..2000; a typed number is not limited by them.
constexpr int kStepMin = 1, kStepMax = 2000;
// An extra radio button, never shown: checked when no browser is chosen (a stored value
// outside 0..2), since a GTK radio group always has one button on.
constexpr int kIdNoBrowser = 1099;

}  // namespace

ConfigDialog::ConfigDialog(wxWindow* parent, const ConfigValues& values,
                           const std::string& settingsDir)
    : HarveloDialog(parent, wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX),
      values_(values),
      settingsDir_(settingsDir) {
  BuildDialog(this, ConfigDialogTemplate(SpanishInterface()), kDialogIconSize);
  auto* hidden = new wxRadioButton(this, kIdNoBrowser, wxString());
  hidden->Hide();
  hidden->MoveAfterInTabOrder(FindWindow(kIdBrowserFirst + 2));

  types_ = static_cast<wxTextCtrl*>(FindWindow(kIdTypes));
  minimum_ = static_cast<wxTextCtrl*>(FindWindow(kIdMinimum));
  wxIntegerValidator<int> number(&minimumSize_);
  number.SetRange(0, INT_MAX);
  minimum_->SetValidator(number);
  static_cast<UpDownControl*>(FindWindow(kIdUpDown))->OnStep([this](int d) { StepMinimumSize(d); });
  minimum_->Bind(wxEVT_KEY_DOWN, [this](wxKeyEvent& e) {
    if (e.GetKeyCode() == WXK_UP) {
      StepMinimumSize(1);
    } else if (e.GetKeyCode() == WXK_DOWN) {
      StepMinimumSize(-1);
    } else {
      e.Skip();
    }
  });
  types_->Bind(wxEVT_KILL_FOCUS, [this](wxFocusEvent& e) {
    NormaliseResourceTypes();
    e.Skip();
  });

  Button(kIdOk)->SetFace(kIconOk, Wx(LoadResString(IDS_OK_CAPTION)));
  Button(kIdCancel)->SetFace(kIconCancel, Wx(LoadResString(IDS_CANCEL_CAPTION)));
  Button(kIdChange)->SetFace(kIconGlobe, Wx(LoadResString(IDS_CHANGE_CAPTION)));
  Bind(
      wxEVT_BUTTON, [this](wxCommandEvent&) { PressOk(); }, kIdOk);
  Bind(
      wxEVT_BUTTON, [this](wxCommandEvent&) { Finish(wxID_CANCEL); }, kIdCancel);
  Bind(
      wxEVT_BUTTON, [this](wxCommandEvent&) { PressChange(); }, kIdChange);

  TransferDataToWindow();
  CentreOnParent();
}

bool ConfigDialog::TransferDataToWindow() {
  types_->ChangeValue(Wx(values_.resourceTypes));
  static_cast<wxCheckBox*>(FindWindow(kIdWebAddressLog))->SetValue(values_.webAddressLog != 0);
  static_cast<wxTextCtrl*>(FindWindow(kIdDebug))->ChangeValue(Wx(values_.debugOptions));
  const int index = values_.browserIndex;
  const int radio = index >= 0 && index <= 2 ? kIdBrowserFirst + index : kIdNoBrowser;
  static_cast<wxRadioButton*>(FindWindow(radio))->SetValue(true);
  minimumSize_ = values_.minimumSizeKb;
  return wxDialog::TransferDataToWindow();
}

bool ConfigDialog::TransferDataFromWindow() {
  if (!wxDialog::TransferDataFromWindow()) return false;
  values_.resourceTypes = Utf8(types_->GetValue());
  values_.webAddressLog = static_cast<wxCheckBox*>(FindWindow(kIdWebAddressLog))->GetValue();
  values_.debugOptions = Utf8(static_cast<wxTextCtrl*>(FindWindow(kIdDebug))->GetValue());
  values_.browserIndex = -1;
  for (int i = 0; i < 3; ++i) {
    if (static_cast<wxRadioButton*>(FindWindow(kIdBrowserFirst + i))->GetValue()) {
      values_.browserIndex = i;
    }
  }
  values_.minimumSizeKb = minimumSize_;
  return true;
}

void ConfigDialog::PressOk() {
  // An empty or unconvertible minimum size is refused by the validator's own prompt,
  // which leaves the dialog open with the focus in that field.
  if (!Validate() || !TransferDataFromWindow()) return;
  Finish(wxID_OK);
}

void ConfigDialog::PressChange() {
  WxMessageBoxes boxes(this);
  SelectInterfaceLanguage(
      true, [this](int initial) { return ShowLanguageDialog(this, initial); }, boxes, settingsDir_);
}

void ConfigDialog::NormaliseResourceTypes() {
  types_->ChangeValue(Wx(ResourceTypesRule(Utf8(types_->GetValue()))));
}

void ConfigDialog::StepMinimumSize(int delta) {
  const long current = std::strtol(Utf8(minimum_->GetValue()).c_str(), nullptr, 10);
  const long next =
      std::clamp(current + delta, static_cast<long>(kStepMin), static_cast<long>(kStepMax));
  minimum_->ChangeValue(wxString::Format("%ld", next));
}

}  // namespace harvelo::app
