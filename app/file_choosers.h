// The folder and Open File dialogs behind a small interface, so that tests answer them
// instead of opening the desktop's own dialogs.
#pragma once
#include <string>

class wxWindow;

namespace harvelo::app {

class FileChoosers {
 public:
  virtual ~FileChoosers() = default;
  // The folder browser: true and the chosen folder's path, or false when cancelled.
  virtual bool ChooseFolder(wxWindow* owner, const std::string& title, std::string& path) = 0;
  // Open File for an existing file; `filter` in the "Name|*.ext|...||" form.
  virtual bool ChooseExistingFile(wxWindow* owner, const std::string& filter,
                                  std::string& path) = 0;
};

// The desktop's dialogs.
FileChoosers& DesktopFileChoosers();

// "Text Files (*.txt)|*.txt|All Files (*.*)|*.*||" -> the same without the closing "||".
std::string FileDialogWildcard(const std::string& filter);

}  // namespace harvelo::app
