#include "app/up_down_control.h"

#include <wx/dcbuffer.h>
#include <wx/renderer.h>
#include <wx/settings.h>

namespace harvelo::app {

UpDownControl::UpDownControl(wxWindow* parent, int id, const wxPoint& pos, const wxSize& size)
    : wxControl(parent, id, pos, size, wxBORDER_NONE) {
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  Bind(wxEVT_PAINT, &UpDownControl::OnPaint, this);
  Bind(wxEVT_LEFT_DOWN, &UpDownControl::OnLeftDown, this);
  Bind(wxEVT_LEFT_DCLICK, &UpDownControl::OnLeftDown, this);
  Bind(wxEVT_LEFT_UP, &UpDownControl::OnLeftUp, this);
}

void UpDownControl::OnPaint(wxPaintEvent&) {
  wxAutoBufferedPaintDC dc(this);
  const wxSize size = GetClientSize();
  dc.SetBackground(wxBrush(GetParent()->GetBackgroundColour()));
  dc.Clear();
  const int half = size.y / 2;
  const wxRect upper(0, 0, size.x, half);
  const wxRect lower(0, half, size.x, size.y - half);
  wxRendererNative& renderer = wxRendererNative::Get();
  const int disabled = IsEnabled() ? 0 : static_cast<int>(wxCONTROL_DISABLED);
  renderer.DrawPushButton(this, dc, upper,
                          disabled | (pressed_ > 0 ? static_cast<int>(wxCONTROL_PRESSED) : 0));
  renderer.DrawPushButton(this, dc, lower,
                          disabled | (pressed_ < 0 ? static_cast<int>(wxCONTROL_PRESSED) : 0));

  const wxColour ink =
      wxSystemSettings::GetColour(IsEnabled() ? wxSYS_COLOUR_BTNTEXT : wxSYS_COLOUR_GRAYTEXT);
  dc.SetBrush(wxBrush(ink));
  dc.SetPen(wxPen(ink));
  const int w = std::max(2, std::min(size.x - 4, half) / 2);
  const int cx = size.x / 2;
  const int uy = half / 2;
  const wxPoint up[] = {{cx - w, uy + w / 2}, {cx + w, uy + w / 2}, {cx, uy - w / 2}};
  dc.DrawPolygon(3, up);
  const int ly = half + (size.y - half) / 2;
  const wxPoint down[] = {{cx - w, ly - w / 2}, {cx + w, ly - w / 2}, {cx, ly + w / 2}};
  dc.DrawPolygon(3, down);
}

void UpDownControl::OnLeftDown(wxMouseEvent& event) {
  pressed_ = event.GetY() < GetClientSize().y / 2 ? 1 : -1;
  Refresh();
  Step(pressed_);
}

void UpDownControl::OnLeftUp(wxMouseEvent&) {
  pressed_ = 0;
  Refresh();
}

}  // namespace harvelo::app
