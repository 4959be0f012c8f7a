// How much of any one text taken from outside (a page, a batch line) is kept: what goes
// beyond is read and dropped, so that memory stays flat whatever the input.
#pragma once
#include <cstddef>

namespace harvelo {

constexpr size_t kMaxKeptText = 64 * 1024;

}  // namespace harvelo
