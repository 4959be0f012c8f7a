#include "app/language_dialog.h"

#include <wx/radiobut.h>

#include "app/dialog_builder.h"
#include "app/icons.h"
#include "app/owner_drawn_button.h"
#include "app/wx_text.h"
#include "platform/string_table.h"

namespace harvelo::app {
namespace {

constexpr int kIdOk = 1;
constexpr int kIdFirstChoice = 1044;
constexpr int kIdNoChoice = 1098;  // hidden: checked when the selection is none of three

}  // namespace

LanguageDialog::LanguageDialog(wxWindow* parent, int selection)
    : HarveloDialog(parent, wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX), selection_(selection) {
  BuildDialog(this, LanguageDialogTemplate(), 16);
  auto* none = new wxRadioButton(this, kIdNoChoice, wxString());
  none->Hide();
  const int checked = selection >= 0 && selection <= 2 ? kIdFirstChoice + selection : kIdNoChoice;
  static_cast<wxRadioButton*>(FindWindow(checked))->SetValue(true);
  Button(kIdOk)->SetFace(kIconOk, Wx(LoadResString(IDS_OK_CAPTION)));
  Bind(
      wxEVT_BUTTON, [this](wxCommandEvent&) { PressOk(); }, kIdOk);
  if (parent) {
    CentreOnParent();
  } else {
    CentreOnScreen();
  }
}

void LanguageDialog::PressOk() {
  selection_ = -1;
  for (int i = 0; i < 3; ++i) {
    if (static_cast<wxRadioButton*>(FindWindow(kIdFirstChoice + i))->GetValue()) selection_ = i;
  }
  Finish(wxID_OK);
}

int ShowLanguageDialog(wxWindow* parent, int selection) {
  LanguageDialog dialog(parent, selection);
  dialog.ShowModal();
  return dialog.Selection();
}

}  // namespace harvelo::app
