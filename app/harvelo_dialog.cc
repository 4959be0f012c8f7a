#include "app/harvelo_dialog.h"

#include <wx/control.h>

#include "app/owner_drawn_button.h"

namespace harvelo::app {

HarveloDialog::HarveloDialog(wxWindow* parent, long style) {
  Create(parent, wxID_ANY, wxString(), wxDefaultPosition, wxDefaultSize, style);
  Bind(wxEVT_CHAR_HOOK, &HarveloDialog::OnCharHook, this);
  Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { OnCloseBox(); });
}

void HarveloDialog::Finish(int code) {
  finished_ = true;
  if (IsModal()) {
    EndModal(code);
  } else {
    SetReturnCode(code);
    Hide();
  }
}

OwnerDrawnButton* HarveloDialog::Button(int id) {
  return dynamic_cast<OwnerDrawnButton*>(FindWindow(id));
}

bool HarveloDialog::PressMnemonic(int key) {
  if (key > 0x7F || !std::isalnum(key)) return false;
  const int wanted = std::tolower(key);
  for (wxWindow* child : GetChildren()) {
    auto* button = dynamic_cast<OwnerDrawnButton*>(child);
    if (!button || !button->IsShown() || !button->IsEnabled()) continue;
    const wxString label = button->GetLabel();
    const int index = wxControl::FindAccelIndex(label);
    if (index < 0) continue;
    wxString stripped;
    wxControl::FindAccelIndex(label, &stripped);
    const wxChar letter = stripped[static_cast<size_t>(index)];
    if (letter < 0x80 && std::tolower(static_cast<int>(letter)) == wanted) {
      button->SetFocus();
      button->Click();
      return true;
    }
  }
  return false;
}

void HarveloDialog::OnCharHook(wxKeyEvent& event) {
  const int key = event.GetKeyCode();
  if (key == WXK_ESCAPE && !event.HasAnyModifiers()) {
    OnEscape();
    return;
  }
  if ((key == WXK_RETURN || key == WXK_NUMPAD_ENTER) && !event.HasAnyModifiers()) {
    if (auto* button = dynamic_cast<OwnerDrawnButton*>(FindFocus())) {
      button->Click();
    } else {
      OnDefaultButton();
    }
    return;
  }
  if (event.GetModifiers() == wxMOD_ALT && PressMnemonic(key)) return;
  event.Skip();
}

}  // namespace harvelo::app
