// The configuration dialog (144): resource types, browser, minimum size, web-address
// log, debug options, and the interface language's "Change". The values come in and go
// out through data exchange; only OK hands them back.
#pragma once
#include <string>

#include "app/harvelo_dialog.h"

class wxCheckBox;
class wxTextCtrl;

namespace harvelo::app {

struct ConfigValues {
  std::string resourceTypes;  // "JPG,JPEG,..." (without the in-memory leading comma)
  int webAddressLog = 0;
  int browserIndex = -1;  // 0, 1, 2; -1 none selected
  int minimumSizeKb = 0;
  std::string debugOptions;
  // Today's pages (the group under the original rows).
  int modernPages = 1;
  int minimumPictureWidth = 0;
  int minimumPictureHeight = 0;
  int skipDuplicates = 1;
  int skipKnownFiles = 0;
  int parallelTransfers = 6;  // transfers at a time, 1..16
  int http2Streams = 100;     // requests at once on one HTTP/2 connection; 0 HTTP/1.1 only
  int compressedPages = 1;    // pages asked for compressed
  int renderedPages = 1;      // 0 never, 1 pages from a browser, 2 typed addresses too
  int renderScreens = 20;     // the scrolling's bounds
  int renderSeconds = 15;
};

class ConfigDialog : public HarveloDialog {
 public:
  ConfigDialog(wxWindow* parent, const ConfigValues& values, const std::string& settingsDir);
  ~ConfigDialog() override;

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
  // An up-down arrow on a number field: one step, kept within low..high.
  void StepField(int id, int delta, long low, long high);
  bool NumberFieldsHold();
  wxCheckBox* Check(int id);

  ConfigValues values_;
  std::string settingsDir_;
  // Bound to the number fields by their validators.
  int minimumSize_ = 0;
  int pictureWidth_ = 0;
  int pictureHeight_ = 0;
  int parallel_ = 6;
  int http2Streams_ = 100;
  int renderScreens_ = 20;
  int renderSeconds_ = 15;
  bool closing_ = false;
  wxTextCtrl* types_ = nullptr;
  wxTextCtrl* minimum_ = nullptr;
};

}  // namespace harvelo::app
