#include "app/owner_drawn_button.h"

#include <wx/dcbuffer.h>
#include <wx/renderer.h>
#include <wx/settings.h>

#include "app/button_face.h"
#include "app/icons.h"

namespace harvelo::app {

OwnerDrawnButton::OwnerDrawnButton(wxWindow* parent, int id, const wxString& windowText,
                                   const wxPoint& pos, const wxSize& size, int iconSize)
    : wxControl(parent, id, pos, size, wxBORDER_NONE), iconSize_(iconSize) {
  SetLabel(windowText);
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  Bind(wxEVT_PAINT, &OwnerDrawnButton::OnPaint, this);
  Bind(wxEVT_LEFT_DOWN, &OwnerDrawnButton::OnLeftDown, this);
  Bind(wxEVT_LEFT_DCLICK, &OwnerDrawnButton::OnLeftDown, this);
  Bind(wxEVT_LEFT_UP, &OwnerDrawnButton::OnLeftUp, this);
  Bind(wxEVT_MOTION, &OwnerDrawnButton::OnMotion, this);
  Bind(wxEVT_MOUSE_CAPTURE_LOST, &OwnerDrawnButton::OnCaptureLost, this);
  Bind(wxEVT_KEY_DOWN, &OwnerDrawnButton::OnKeyDown, this);
  Bind(wxEVT_KEY_UP, &OwnerDrawnButton::OnKeyUp, this);
  Bind(wxEVT_ENTER_WINDOW, &OwnerDrawnButton::OnEnterLeave, this);
  Bind(wxEVT_LEAVE_WINDOW, &OwnerDrawnButton::OnEnterLeave, this);
  Bind(wxEVT_SET_FOCUS, [this](wxFocusEvent& e) {
    Refresh();
    e.Skip();
  });
  Bind(wxEVT_KILL_FOCUS, [this](wxFocusEvent& e) {
    spaceDown_ = false;
    SetPressed(tracking_);
    e.Skip();
  });
}

void OwnerDrawnButton::SetFace(int icon, const wxString& caption) {
  if (icon == icon_ && caption == caption_) return;
  icon_ = icon;
  caption_ = caption;
  Refresh();
}

void OwnerDrawnButton::Click() {
  if (!IsEnabled()) return;
  wxCommandEvent event(wxEVT_BUTTON, GetId());
  event.SetEventObject(this);
  ProcessWindowEvent(event);
}

wxSize OwnerDrawnButton::DoGetBestSize() const {
  wxString text;
  wxControl::FindAccelIndex(caption_, &text);
  const int w = text.empty() ? iconSize_ : GetTextExtent(text).x + iconSize_ + kIconCaptionGap;
  return wxSize(w + 12, iconSize_ + 8);
}

void OwnerDrawnButton::OnPaint(wxPaintEvent&) {
  wxAutoBufferedPaintDC dc(this);
  const wxRect rect(GetClientSize());
  dc.SetBackground(wxBrush(GetParent()->GetBackgroundColour()));
  dc.Clear();

  int flags = 0;
  if (pressed_) flags |= wxCONTROL_PRESSED;
  if (!IsEnabled()) flags |= wxCONTROL_DISABLED;
  if (hover_ && IsEnabled()) flags |= wxCONTROL_CURRENT;
  wxRendererNative::Get().DrawPushButton(this, dc, rect, flags);

  wxString text;
  const int accel = wxControl::FindAccelIndex(caption_, &text);
  dc.SetFont(GetFont());
  const int textWidth = text.empty() ? 0 : dc.GetTextExtent(text).x;
  const ButtonFaceLayout face =
      LayOutButtonFace(rect.width, rect.height, iconSize_, textWidth, pressed_);

  // An icon that cannot be had is simply not drawn; the caption keeps its place.
  wxBitmap icon = icon_ ? IconBitmap(icon_, iconSize_) : wxNullBitmap;
  if (icon.IsOk()) {
    if (!IsEnabled()) icon = icon.ConvertToDisabled();
    dc.DrawBitmap(icon, face.iconX, face.iconY, true);
  }
  if (!text.empty()) {
    dc.SetTextForeground(IsEnabled() ? wxSystemSettings::GetColour(wxSYS_COLOUR_BTNTEXT)
                                     : wxSystemSettings::GetColour(wxSYS_COLOUR_GRAYTEXT));
    const wxRect textRect(face.captionX, rect.y + (pressed_ ? 1 : 0), rect.width - face.captionX,
                          rect.height);
    dc.DrawLabel(text, textRect, wxALIGN_LEFT | wxALIGN_CENTER_VERTICAL, accel);
  }
}

void OwnerDrawnButton::SetPressed(bool pressed) {
  if (pressed == pressed_) return;
  pressed_ = pressed;
  Refresh();
}

void OwnerDrawnButton::OnLeftDown(wxMouseEvent&) {
  if (!IsEnabled()) return;
  // A button takes the focus when pressed, which also lets a field being left apply
  // its rule before the click is handled.
  SetFocus();
  tracking_ = true;
  if (!HasCapture()) CaptureMouse();
  SetPressed(true);
}

void OwnerDrawnButton::OnLeftUp(wxMouseEvent& event) {
  if (!tracking_) return;
  tracking_ = false;
  if (HasCapture()) ReleaseMouse();
  const bool inside = wxRect(GetClientSize()).Contains(event.GetPosition());
  SetPressed(false);
  if (inside) Click();
}

void OwnerDrawnButton::OnMotion(wxMouseEvent& event) {
  if (tracking_) SetPressed(wxRect(GetClientSize()).Contains(event.GetPosition()));
}

void OwnerDrawnButton::OnCaptureLost(wxMouseCaptureLostEvent&) {
  tracking_ = false;
  SetPressed(false);
}

void OwnerDrawnButton::OnEnterLeave(wxMouseEvent& event) {
  hover_ = event.GetEventType() == wxEVT_ENTER_WINDOW;
  Refresh();
  event.Skip();
}

void OwnerDrawnButton::OnKeyDown(wxKeyEvent& event) {
  switch (event.GetKeyCode()) {
    case WXK_SPACE:
      spaceDown_ = true;
      SetPressed(true);
      return;
    case WXK_RETURN:
    case WXK_NUMPAD_ENTER:
      Click();
      return;
    default:
      event.Skip();
  }
}

void OwnerDrawnButton::OnKeyUp(wxKeyEvent& event) {
  if (event.GetKeyCode() == WXK_SPACE && spaceDown_) {
    spaceDown_ = false;
    SetPressed(false);
    Click();
    return;
  }
  event.Skip();
}

}  // namespace harvelo::app
