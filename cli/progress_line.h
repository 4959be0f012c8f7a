// The one-line picture of a run that a terminal shows on standard error, redrawn in
// place: the resource list's bar, the current file's percentage and the status line.
#pragma once
#include <string>

namespace harvelo::cli {

struct ProgressView {
  std::string status;  // the status line (label 1014)
  int totalPos = 0;    // total bar (1005): resources of the list finished
  int totalHigh = 0;   //   and its range's upper end (0: no list under way)
  int filePos = 0;     // file bar (1021): percentage of the current transfer, 0..99
};

// "[#####---------------]  45%  Downloading resource 2 of 3 (33% done)." cut to at
// most `width` characters (no cut when width <= 0).
std::string RenderProgressLine(const ProgressView& view, int width);

}  // namespace harvelo::cli
