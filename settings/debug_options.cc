#include <string>

#include "settings/settings.h"

namespace harvelo {

void ParseDebugOptions(Settings& settings) {
  // Upper-cased in place, so the options are saved the way they are matched.
  for (char& c : settings.debugOptions) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  const std::string& text = settings.debugOptions;
  settings.debug.header = text.find("HEADER") != std::string::npos ? 1 : 0;
  settings.debug.trace = text.find("TRACE") != std::string::npos ? 1 : 0;
  settings.debug.pause = text.find("PAUSE") != std::string::npos ? 1 : 0;
}

}  // namespace harvelo
