#include "app/about_dialog.h"

#include <wx/stattext.h>

#include "app/dialog_builder.h"
#include "app/icons.h"
#include "app/owner_drawn_button.h"
#include "app/wx_text.h"
#include "platform/shell_open.h"
#include "platform/string_table.h"

namespace harvelo::app {
namespace {

constexpr int kIdOk = 1;
constexpr int kIdLink = 1041;

}  // namespace

AboutDialog::AboutDialog(wxWindow* parent)
    : HarveloDialog(parent, wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX),
      arrowCursor_(wxCURSOR_ARROW),
      handCursor_(wxCURSOR_HAND) {
  openAddress = [](const std::string& address) { ShellOpen(address); };
  BuildDialog(this, AboutDialogTemplate(SpanishInterface()), 16);
  Button(kIdOk)->SetFace(kIconOk, Wx(LoadResString(IDS_OK_CAPTION)));
  Bind(
      wxEVT_BUTTON, [this](wxCommandEvent&) { Finish(wxID_OK); }, kIdOk);

  wxWindow* link = FindWindow(kIdLink);
  link->SetForegroundColour(wxColour(0, 0, 255));
  // The label sits on the dialog; its rectangle in the dialog's client coordinates.
  link_ = link->GetRect();
  // The labels take no mouse input: movements and clicks over the link reach the dialog.
  for (wxWindow* child : GetChildren()) {
    if (dynamic_cast<wxStaticText*>(child)) {
      child->Bind(wxEVT_MOTION, [this, child](wxMouseEvent& e) {
        e.SetPosition(child->GetPosition() + e.GetPosition());
        OnMouseMove(e);
      });
      child->Bind(wxEVT_LEFT_UP, [this, child](wxMouseEvent& e) {
        e.SetPosition(child->GetPosition() + e.GetPosition());
        OnLeftUp(e);
      });
    }
  }
  Bind(wxEVT_MOTION, &AboutDialog::OnMouseMove, this);
  Bind(wxEVT_LEFT_UP, &AboutDialog::OnLeftUp, this);
  if (parent) {
    CentreOnParent();
  } else {
    CentreOnScreen();
  }
}

bool AboutDialog::InsideLink(const wxPoint& p) const {
  return p.x >= link_.x && p.x <= link_.x + link_.width && p.y >= link_.y &&
         p.y <= link_.y + link_.height;
}

void AboutDialog::ShowCursor(bool hand) {
  hand_ = hand;
  SetCursor(hand ? handCursor_ : arrowCursor_);
}

void AboutDialog::OnMouseMove(wxMouseEvent& event) {
  event.Skip();
  ShowCursor(InsideLink(event.GetPosition()));
}

void AboutDialog::OnLeftUp(wxMouseEvent& event) {
  event.Skip();
  if (!InsideLink(event.GetPosition())) return;
  if (openAddress) openAddress(LoadResString(IDS_VENDOR_URL));
  ShowCursor(true);
}

}  // namespace harvelo::app
