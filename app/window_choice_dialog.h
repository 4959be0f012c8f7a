// The window-choice dialog (150): the titles of the open browser pages Inspector found,
// for picking the one to take. It opens below the "Get from Browser" button, kept inside
// the right screen edge, with the last entry selected; OK (Enter, a double-click) takes
// the selected record, Cancel (Escape) takes nothing.
#pragma once
#include <string>

#include "app/harvelo_dialog.h"
#include "capture/window_choice.h"

class wxListBox;

namespace harvelo::app {

class CWindowChoiceDlg : public HarveloDialog {
 public:
  // `inspectorOut`: the file whose records are listed.
  CWindowChoiceDlg(wxWindow* parent, std::string inspectorOut);

  // Screen position; (0, 0) keeps the dialog where the toolkit puts it.
  int x = 0;
  int y = 0;
  // The chosen record's values after OK.
  std::string chosenAddress;
  std::string chosenCookie;
  std::string chosenReferrer;

  // OnInitDialog, then the modal run: wxID_OK or wxID_CANCEL.
  int DoModal();
  // Places the dialog, fills the list from the file and selects its last entry.
  void OnInitDialog();
  // Takes the selected record and ends with wxID_OK; without a selection it does nothing.
  void OnOK();

  wxListBox* List() const { return list_; }

 protected:
  void OnDefaultButton() override { OnOK(); }

 private:
  std::string path_;
  wxListBox* list_ = nullptr;
};

}  // namespace harvelo::app
