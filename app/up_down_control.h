// Up and down arrows that step a number in the edit they are attached to (the
// configuration dialog's minimum size). GTK's own spin button is a wide pair of "+" and
// "-" buttons, which does not fit the narrow strip at the edit's right edge.
#pragma once
#include <wx/control.h>

#include <functional>

namespace harvelo::app {

class UpDownControl : public wxControl {
 public:
  UpDownControl(wxWindow* parent, int id, const wxPoint& pos, const wxSize& size);

  // Called with +1 (upper arrow) or -1 (lower arrow) for every click.
  void OnStep(std::function<void(int)> step) { step_ = std::move(step); }
  void Step(int delta) {
    if (step_ && IsEnabled()) step_(delta);
  }

  bool AcceptsFocus() const override { return false; }

 private:
  void OnPaint(wxPaintEvent& event);
  void OnLeftDown(wxMouseEvent& event);
  void OnLeftUp(wxMouseEvent& event);

  std::function<void(int)> step_;
  int pressed_ = 0;  // +1 upper arrow held, -1 lower, 0 none
};

}  // namespace harvelo::app
