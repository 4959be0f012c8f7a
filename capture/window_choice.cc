#include "capture/window_choice.h"

namespace harvelo {

int WindowChoiceX(int x, int clientWidth, int screenWidth) {
  if (x + clientWidth >= screenWidth - 5) return screenWidth - 5 - clientWidth;
  return x;
}

WindowChoice::WindowChoice(std::string inspectorOut)
    : path_(std::move(inspectorOut)), titles_(ReadRecordTitles(path_)) {}

bool WindowChoice::Choose(int selection, CapturedPage& chosen) const {
  if (selection < 0) return false;
  ReadRecordAt(path_, selection, chosen);
  return true;
}

}  // namespace harvelo
