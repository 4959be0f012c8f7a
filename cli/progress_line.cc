#include "cli/progress_line.h"

#include <algorithm>

#include "platform/format.h"

namespace harvelo::cli {
namespace {

constexpr int kBarWidth = 20;

}  // namespace

std::string RenderProgressLine(const ProgressView& view, int width) {
  int filled = 0;
  if (view.totalHigh > 0) {
    const int pos = std::clamp(view.totalPos, 0, view.totalHigh);
    filled = static_cast<int>(static_cast<long long>(pos) * kBarWidth / view.totalHigh);
  }
  std::string line = "[";
  line.append(static_cast<size_t>(filled), '#');
  line.append(static_cast<size_t>(kBarWidth - filled), '-');
  line += StrPrintf("] %3d%%  ", std::clamp(view.filePos, 0, 100));
  line += view.status;
  if (width > 0 && static_cast<int>(line.size()) > width) {
    // Never cut a multi-byte character in two: back up to the start of the one cut.
    size_t cut = static_cast<size_t>(width);
    while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut;
    line.resize(cut);
  }
  return line;
}

}  // namespace harvelo::cli
