#include "engine/batch_file.h"

#include "engine/text_limits.h"
#include "platform/text_file.h"

namespace harvelo {

bool ReadBatchFile(const std::string& path, std::vector<std::string>& lines) {
  lines.clear();
  TextReader reader;
  // Any kind of file: a batch may come through a pipe.
  if (!reader.Open(path, true)) return false;
  std::string line;
  // Whole lines: a fixed-size read would break a long address into several. A line
  // longer than any address keeps its beginning; the rest is read and dropped, so that
  // an endless line (/dev/zero) does not take all memory.
  while (reader.ReadLine(line, kMaxKeptText)) {
    if (line.back() != '\n') {
      for (int c = reader.Get(); c != EOF && c != '\n'; c = reader.Get()) {
      }
    } else {
      line.pop_back();
    }
    lines.push_back(line);
  }
  return true;
}

}  // namespace harvelo
