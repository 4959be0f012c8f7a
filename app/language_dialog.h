// The language dialog (155): bilingual, three choices with their pictures, OK. Enter
// goes to the hidden default button, which does nothing.
#pragma once
#include "app/harvelo_dialog.h"

namespace harvelo::app {

class LanguageDialog : public HarveloDialog {
 public:
  // `selection`: 0 window's default, 1 English, 2 Spanish, anything else none.
  LanguageDialog(wxWindow* parent, int selection);
  // What OK stored, or the selection it opened with (Escape, close box).
  int Selection() const { return selection_; }
  void PressOk();

 private:
  int selection_;
};

// Shows the dialog modally and returns the selection it was closed with.
int ShowLanguageDialog(wxWindow* parent, int selection);

}  // namespace harvelo::app
