#include "platform/beep.h"

#include <unistd.h>

namespace harvelo {

void DefaultBeep() {
  if (isatty(STDERR_FILENO)) {
    const char bell = '\a';
    [[maybe_unused]] const ssize_t n = write(STDERR_FILENO, &bell, 1);
  }
}

}  // namespace harvelo
