#include "platform/sleep.h"

#include <chrono>
#include <thread>

namespace harvelo {

void SleepMs(int ms) {
  if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace harvelo
