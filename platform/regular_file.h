// Reading a whole file that another program may have put there with intent: only a
// regular file is read (a FIFO would hold the reader forever, a link to a device could
// be endless), and only up to a size.
#pragma once
#include <atomic>
#include <cstddef>
#include <string>

namespace harvelo {

// The bytes of `path` when it is a regular file (links followed) of at most `maxBytes`.
// False when it is anything else, larger, unreadable, or when `stop` (checked between
// reads) was set.
bool ReadRegularFile(const std::string& path, size_t maxBytes, std::string& out,
                     const std::atomic<bool>* stop = nullptr);

}  // namespace harvelo
