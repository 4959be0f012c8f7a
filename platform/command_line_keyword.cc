#include "platform/command_line_keyword.h"

#include <string>

namespace harvelo {

bool CommandLineHolds(int argc, const char* const* argv, const char* keyword) {
  std::string line;
  for (int i = 0; i < argc; ++i) {
    if (i > 0) line += ' ';
    line += argv[i];
  }
  return line.find(keyword) != std::string::npos;
}

}  // namespace harvelo
