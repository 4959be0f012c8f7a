#include "engine/batch_file.h"

#include <limits>

#include "platform/text_file.h"

namespace harvelo {

bool ReadBatchFile(const std::string& path, std::vector<std::string>& lines) {
  lines.clear();
  TextReader reader;
  if (!reader.Open(path)) return false;
  std::string line;
  // Whole lines: a fixed-size read would break a long address into several.
  while (reader.ReadLine(line, std::numeric_limits<size_t>::max())) {
    const size_t newline = line.find('\n');
    if (newline != std::string::npos) line.erase(newline, 1);
    lines.push_back(line);
  }
  return true;
}

}  // namespace harvelo
