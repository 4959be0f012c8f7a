#pragma once

namespace harvelo {

// Sleeps for `ms` milliseconds (nothing for 0 or less).
void SleepMs(int ms);

}  // namespace harvelo
