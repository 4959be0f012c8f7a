#include "app/dialog_builder.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/gauge.h>
#include <wx/listctrl.h>
#include <wx/radiobut.h>
#include <wx/settings.h>
#include <wx/statbmp.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/valtext.h>

#include "app/icons.h"
#include "app/owner_drawn_button.h"
#include "app/up_down_control.h"
#include "app/wx_text.h"

namespace harvelo::app {

wxFont DialogFont() {
  return wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
}

wxRect DialogUnitsToPixels(wxWindow* dialog, int x, int y, int width, int height) {
  const wxPoint pos = dialog->ConvertDialogToPixels(wxPoint(x, y));
  const wxSize size = dialog->ConvertDialogToPixels(wxSize(width, height));
  return wxRect(pos, size);
}

namespace {

// Single-line fields keep their natural height, centred on the template's rectangle, so
// the toolkit's text is never cut.
wxRect FieldRect(wxWindow* control, const wxRect& rect) {
  const int natural = control->GetBestSize().y;
  if (natural <= rect.height) return rect;
  return wxRect(rect.x, rect.y - (natural - rect.height) / 2, rect.width, natural);
}

}  // namespace

void BuildDialog(wxWindow* dialog, const DialogTemplate& layout, int iconSize) {
  dialog->SetFont(DialogFont());
  dialog->SetLabel(Wx(layout.caption));
  dialog->SetClientSize(dialog->ConvertDialogToPixels(wxSize(layout.width, layout.height)));

  wxWindow* previous = nullptr;
  for (const ControlTemplate& c : layout.controls) {
    const wxRect r = DialogUnitsToPixels(dialog, c.x, c.y, c.width, c.height);
    const wxString text = Wx(c.text);
    const int id = c.id == kNoId ? wxID_ANY : c.id;
    wxWindow* made = nullptr;
    switch (c.kind) {
      case ControlKind::kLabel:
      case ControlKind::kLabelRight: {
        const long align = c.kind == ControlKind::kLabelRight ? wxALIGN_RIGHT : wxALIGN_LEFT;
        // A label of one line ends in "..." rather than spilling into its neighbour; a
        // taller one wraps its words within its rectangle.
        const bool oneLine = c.height <= 10;
        auto* label =
            new wxStaticText(dialog, id, text, r.GetPosition(), r.GetSize(),
                             align | wxST_NO_AUTORESIZE | (oneLine ? wxST_ELLIPSIZE_END : 0));
        if (!oneLine) label->Wrap(r.width);
        made = label;
        break;
      }
      case ControlKind::kOwnerButton:
        made = new OwnerDrawnButton(dialog, id, text, r.GetPosition(), r.GetSize(), iconSize);
        break;
      case ControlKind::kDefaultButton:
        made = new wxButton(dialog, id, text, r.GetPosition(), r.GetSize());
        made->Hide();
        break;
      case ControlKind::kComboBox: {
        auto* combo = new wxComboBox(dialog, id, wxString(), r.GetPosition(), wxDefaultSize, 0,
                                     nullptr, wxCB_DROPDOWN | wxTE_PROCESS_ENTER);
        const wxRect field(r.x, r.y, r.width, std::min(r.height, combo->GetBestSize().y));
        combo->SetSize(field);
        made = combo;
        break;
      }
      case ControlKind::kEdit:
      case ControlKind::kReadOnlyEdit:
      case ControlKind::kDigitsEdit: {
        long style = wxTE_PROCESS_ENTER;
        if (c.kind == ControlKind::kReadOnlyEdit) style = wxTE_READONLY;
        if (c.kind == ControlKind::kDigitsEdit) style |= wxTE_CENTRE;
        auto* edit = new wxTextCtrl(dialog, id, text, r.GetPosition(), wxDefaultSize, style);
        edit->SetSize(FieldRect(edit, r));
        made = edit;
        break;
      }
      case ControlKind::kUpDown: {
        // Attached at the right edge of the edit before it: the edit gives up that room.
        wxRect buddy = previous ? previous->GetRect() : r;
        auto* arrows = new UpDownControl(dialog, id, wxDefaultPosition, wxDefaultSize);
        const int w = r.width;
        if (previous) {
          previous->SetSize(buddy.x, buddy.y, buddy.width - w, buddy.height);
          arrows->SetSize(buddy.x + buddy.width - w, buddy.y, w, buddy.height);
        } else {
          arrows->SetSize(r);
        }
        made = arrows;
        break;
      }
      case ControlKind::kProgress:
        made = new wxGauge(dialog, id, 100, r.GetPosition(), r.GetSize(),
                           wxGA_HORIZONTAL | wxGA_SMOOTH);
        break;
      case ControlKind::kListView:
        made = new wxListCtrl(
            dialog, id, r.GetPosition(), r.GetSize(),
            wxLC_REPORT | wxLC_HRULES | wxLC_VRULES | wxLC_SINGLE_SEL | wxBORDER_SUNKEN);
        break;
      case ControlKind::kCheckBox:
        made = new wxCheckBox(dialog, id, text, r.GetPosition(), r.GetSize());
        break;
      case ControlKind::kRadioFirst:
      case ControlKind::kRadio:
        made = new wxRadioButton(dialog, id, text, r.GetPosition(), r.GetSize(),
                                 c.kind == ControlKind::kRadioFirst ? wxRB_GROUP : 0);
        break;
      case ControlKind::kGroupBox:
        made = new wxStaticBox(dialog, id, text, r.GetPosition(), r.GetSize());
        break;
      case ControlKind::kIcon: {
        // A picture keeps its icon's own 32 x 32 pixels at the rectangle's corner: icons
        // are not stretched to the template's rectangle.
        made = new wxStaticBitmap(dialog, id, IconBundle(c.icon), r.GetPosition(), wxSize(32, 32));
        break;
      }
    }
    if (made && c.disabled) made->Disable();
    previous = made;
  }
}

}  // namespace harvelo::app
