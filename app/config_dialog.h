// The configuration dialog (144): resource types, browser, minimum size, web-address
// log, debug options, and the interface language's "Change". The values come in and go
// out through data exchange; only OK hands them back.
#pragma once
#include <string>

#include "app/harvelo_dialog.h"

class wxTextCtrl;

namespace harvelo::app {

struct ConfigValues {
  std::string resourceTypes;  // "JPG,JPEG,..." (without the in-memory leading comma)
  int webAddressLog = 0;
  int browserIndex = -1;  // 0, 1, 2; -1 none selected
  int minimumSizeKb = 0;
  std::string debugOptions;
};

class ConfigDialog : public HarveloDialog {
 public:
  ConfigDialog(wxWindow* parent, const ConfigValues& values, const std::string& settingsDir);

  const ConfigValues& Values() const { return values_; }

  bool TransferDataToWindow() override;
  bool TransferDataFromWindow() override;

  // The buttons, as a click runs them.
  void PressOk();      // validate, take the values, close with wxID_OK
  void PressChange();  // the language dialog in change mode
  // The resource-type rule, as the field's loss of focus runs it.
  void NormaliseResourceTypes();

 private:
  void StepMinimumSize(int delta);

  ConfigValues values_;
  std::string settingsDir_;
  int minimumSize_ = 0;  // bound to the minimum-size field by its validator
  wxTextCtrl* types_ = nullptr;
  wxTextCtrl* minimum_ = nullptr;
};

}  // namespace harvelo::app
