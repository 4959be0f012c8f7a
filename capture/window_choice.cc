#include "capture/window_choice.h"

namespace harvelo {

int WindowChoiceX(int x, int clientWidth, int screenWidth) {
  if (x + clientWidth >= screenWidth - 5) return screenWidth - 5 - clientWidth;
  return x;
}

WindowChoice::WindowChoice(const std::string& inspectorOut)
    : titles_(ReadRecordTitles(inspectorOut)) {}

bool WindowChoice::Choose(const std::string& inspectorOut, int selection, CapturedPage& chosen) {
  if (selection < 0) return false;
  ReadRecordAt(inspectorOut, selection, chosen);
  return true;
}

}  // namespace harvelo
