#include "app/file_choosers.h"

#include <wx/dirdlg.h>
#include <wx/filedlg.h>

#include "app/wx_text.h"

namespace harvelo::app {
namespace {

class DesktopChoosers : public FileChoosers {
 public:
  bool ChooseFolder(wxWindow* owner, const std::string& title, std::string& path) override {
    wxDirDialog dialog(owner, Wx(title), wxString(), wxDD_DEFAULT_STYLE | wxDD_DIR_MUST_EXIST);
    // A choice without a file-system path counts as cancelled.
    if (dialog.ShowModal() != wxID_OK || dialog.GetPath().empty()) {
      path.clear();
      return false;
    }
    path = Utf8(dialog.GetPath());
    return true;
  }

  bool ChooseExistingFile(wxWindow* owner, const std::string& filter, std::string& path) override {
    wxFileDialog dialog(owner, wxFileSelectorPromptStr, wxString(), wxString(),
                        Wx(FileDialogWildcard(filter)), wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    if (dialog.ShowModal() != wxID_OK) return false;
    path = Utf8(dialog.GetPath());
    return true;
  }
};

}  // namespace

FileChoosers& DesktopFileChoosers() {
  static DesktopChoosers choosers;
  return choosers;
}

std::string FileDialogWildcard(const std::string& filter) {
  std::string wildcard = filter;
  while (!wildcard.empty() && wildcard.back() == '|') wildcard.pop_back();
  return wildcard;
}

}  // namespace harvelo::app
