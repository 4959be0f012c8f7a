// A push button that paints itself: the platform's button frame, an icon from the
// program's SVG icons and a caption whose '&' underlines the next letter, laid out by
// the shared drawing rule. Its window text (the template text) carries the keyboard
// mnemonic; the painted face can differ (Start shows "S&tart" or "&To queue").
// A click sends wxEVT_BUTTON with the button's id, like any button.
#pragma once
#include <wx/control.h>

namespace harvelo::app {

class OwnerDrawnButton : public wxControl {
 public:
  OwnerDrawnButton(wxWindow* parent, int id, const wxString& windowText, const wxPoint& pos,
                   const wxSize& size, int iconSize);

  // The face: icon number (0: none) and the painted caption ("" for an icon alone).
  void SetFace(int icon, const wxString& caption);
  int Icon() const { return icon_; }
  const wxString& Caption() const { return caption_; }
  int IconSize() const { return iconSize_; }

  // What a click does, for the keyboard, mnemonics and tests.
  void Click();

  bool AcceptsFocus() const override { return IsEnabled() && IsShown(); }
  bool AcceptsFocusFromKeyboard() const override { return AcceptsFocus(); }
  bool HasTransparentBackground() override { return false; }

 protected:
  wxSize DoGetBestSize() const override;

 private:
  void OnPaint(wxPaintEvent& event);
  void OnLeftDown(wxMouseEvent& event);
  void OnLeftUp(wxMouseEvent& event);
  void OnMotion(wxMouseEvent& event);
  void OnCaptureLost(wxMouseCaptureLostEvent& event);
  void OnKeyDown(wxKeyEvent& event);
  void OnKeyUp(wxKeyEvent& event);
  void OnEnterLeave(wxMouseEvent& event);
  void SetPressed(bool pressed);

  int icon_ = 0;
  wxString caption_;
  int iconSize_;
  bool pressed_ = false;   // drawn in the pushed look
  bool tracking_ = false;  // the left button went down on us and is still held
  bool spaceDown_ = false;
  bool hover_ = false;
};

}  // namespace harvelo::app
