#include "engine/prefix_increment.h"

namespace harvelo {

void AdvancePrefix(std::string& prefix) {
  for (size_t i = prefix.size() < 2 ? 0 : prefix.size() - 1; i-- > 0;) {
    char& c = prefix[i];
    if ((c >= '0' && c <= '8') || (c >= 'a' && c <= 'y') || (c >= 'A' && c <= 'Y')) {
      ++c;
      return;
    }
    if (c == '9') {
      c = '0';
    } else if (c == 'z') {
      c = 'a';
    } else if (c == 'Z') {
      c = 'A';
    } else {
      return;
    }
  }
}

}  // namespace harvelo
