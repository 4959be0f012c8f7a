#include "app/window_choice_dialog.h"

#include <wx/gdicmn.h>
#include <wx/listbox.h>
#include <wx/stattext.h>

#include "app/dialog_builder.h"
#include "app/icons.h"
#include "app/owner_drawn_button.h"
#include "app/wx_text.h"
#include "platform/string_table.h"

namespace harvelo::app {
namespace {

constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdWindowList = 1042;

// The buttons come from the template; the centred label and the list box, which the
// shared template kinds do not cover, are placed from these rectangles.
struct ChoiceLayout {
  DialogTemplate buttons;
  const char* label;
  int label_x, label_width;
  int list_y, list_height;
};

constexpr ControlTemplate kEnglishButtons[] = {
    {kIdOk, ControlKind::kOwnerButton, "Ok", 7, 7, 36, 11},
    {kIdCancel, ControlKind::kOwnerButton, "Cancel", 52, 7, 42, 11},
};
constexpr ControlTemplate kSpanishButtons[] = {
    {kIdOk, ControlKind::kOwnerButton, "Ok", 7, 7, 36, 11},
    {kIdCancel, ControlKind::kOwnerButton, "Cancelar", 52, 7, 50, 11},
};

const ChoiceLayout& ChoiceLayoutFor(bool spanish) {
  static const ChoiceLayout english{
      {"", 233, 86, kEnglishButtons}, "Get URL from which window?", 115, 95, 27, 52};
  static const ChoiceLayout spanish_layout{
      {"", 233, 77, kSpanishButtons}, "¿De cuál ventana obtener el URL?", 108, 115, 24, 46};
  return spanish ? spanish_layout : english;
}

}  // namespace

CWindowChoiceDlg::CWindowChoiceDlg(wxWindow* parent, std::string inspectorOut)
    : HarveloDialog(parent, wxBORDER_RAISED), path_(std::move(inspectorOut)) {
  const ChoiceLayout& layout = ChoiceLayoutFor(SpanishInterface());
  BuildDialog(this, layout.buttons, 16);
  const wxRect label = DialogUnitsToPixels(this, layout.label_x, 9, layout.label_width, 8);
  new wxStaticText(this, wxID_ANY, Wx(layout.label), label.GetPosition(), label.GetSize(),
                   wxALIGN_CENTRE_HORIZONTAL | wxST_NO_AUTORESIZE);
  const wxRect list = DialogUnitsToPixels(this, 7, layout.list_y, 219, layout.list_height);
  list_ = new wxListBox(this, kIdWindowList, list.GetPosition(), list.GetSize(), 0, nullptr,
                        wxLB_SINGLE | wxLB_NEEDED_SB | wxBORDER_SUNKEN);

  Bind(
      wxEVT_BUTTON, [this](wxCommandEvent&) { OnOK(); }, kIdOk);
  Bind(
      wxEVT_BUTTON, [this](wxCommandEvent&) { Finish(wxID_CANCEL); }, kIdCancel);
  list_->Bind(wxEVT_LISTBOX_DCLICK, [this](wxCommandEvent&) { OnOK(); });
}

int CWindowChoiceDlg::DoModal() {
  OnInitDialog();
  return ShowModal() == wxID_OK ? wxID_OK : wxID_CANCEL;
}

void CWindowChoiceDlg::OnInitDialog() {
  Button(kIdOk)->SetFace(kIconOk, Wx(LoadResString(IDS_OK_CAPTION)));
  Button(kIdCancel)->SetFace(kIconCancel, Wx(LoadResString(IDS_CANCEL_CAPTION)));
  if (x != 0 || y != 0) {
    const int screen = wxGetDisplaySize().GetWidth();
    x = WindowChoiceX(x, GetClientSize().GetWidth(), screen);
    Move(x, y);
  }
  list_->Clear();
  const WindowChoice choice(path_);
  for (const std::string& title : choice.titles()) list_->Append(Wx(title));
  if (choice.initialSelection() >= 0) list_->SetSelection(choice.initialSelection());
}

void CWindowChoiceDlg::OnOK() {
  CapturedPage page;
  if (!WindowChoice::Choose(path_, list_->GetSelection(), page)) return;
  chosenAddress = page.address;
  chosenCookie = page.cookie;
  chosenReferrer = page.referrer;
  Finish(wxID_OK);
}

}  // namespace harvelo::app
