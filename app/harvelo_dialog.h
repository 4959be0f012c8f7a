// What every dialog of the program shares: Escape cancels; Enter goes to the hidden
// default button, whose handler (if any) the dialog supplies, except on a focused push
// button, which it presses; Alt plus a letter presses the owner-drawn button whose window
// text marks that letter (labels, check boxes and radio buttons do their own). Closing
// works the same whether the dialog runs modally or, in tests, modelessly.
#pragma once
#include <wx/dialog.h>

namespace harvelo::app {

class OwnerDrawnButton;

class HarveloDialog : public wxDialog {
 public:
  HarveloDialog(wxWindow* parent, long style);

  // Ends the dialog with `code` (wxID_OK, wxID_CANCEL): EndModal when modal, else hides.
  void Finish(int code);
  bool Finished() const { return finished_; }

  // The owner-drawn button with this id, or nullptr.
  OwnerDrawnButton* Button(int id);

 protected:
  // Enter in a field: the hidden default button. Nothing happens unless overridden.
  virtual void OnDefaultButton() {}
  // Escape: cancel.
  virtual void OnEscape() { Finish(wxID_CANCEL); }
  // The close box (Alt+F4, the window menu): cancel.
  virtual void OnCloseBox() { Finish(wxID_CANCEL); }

 private:
  void OnCharHook(wxKeyEvent& event);
  bool PressMnemonic(int key);

  bool finished_ = false;
};

}  // namespace harvelo::app
