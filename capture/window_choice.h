// The display-free rules of the window-choice dialog: where it opens, what it lists,
// what it selects first and what OK takes.
#pragma once
#include <string>
#include <vector>

#include "capture/open_pages_files.h"

namespace harvelo {

// The dialog's x: kept 5 pixels inside the right screen edge. y is never corrected.
int WindowChoiceX(int x, int clientWidth, int screenWidth);

class WindowChoice {
 public:
  // Reads the titles of `inspectorOut`; the last entry is selected (none when empty).
  explicit WindowChoice(const std::string& inspectorOut);
  const std::vector<std::string>& titles() const { return titles_; }
  int initialSelection() const { return static_cast<int>(titles_.size()) - 1; }
  // OK with `selection` (-1: none): false (the dialog stays open) without a selection;
  // else the record at that index, read anew from `inspectorOut`.
  static bool Choose(const std::string& inspectorOut, int selection, CapturedPage& chosen);

 private:
  std::vector<std::string> titles_;
};

}  // namespace harvelo
