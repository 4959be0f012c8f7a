#include "platform/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace harvelo {

bool ReadRegularFile(const std::string& path, size_t maxBytes, std::string& out,
                     const std::atomic<bool>* stop) {
  out.clear();
  // O_NONBLOCK: the open of a FIFO does not wait for a writer; fstat then refuses it.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st {};
  bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
            static_cast<unsigned long long>(st.st_size) <= maxBytes;
  if (ok) out.reserve(static_cast<size_t>(st.st_size));
  char block[64 * 1024];
  while (ok) {
    if (stop != nullptr && stop->load()) {
      ok = false;
      break;
    }
    const ssize_t n = ::read(fd, block, sizeof block);
    if (n == 0) break;
    if (n < 0 && errno == EINTR) continue;
    // A file that grows while it is read is still held to the limit.
    if (n < 0 || out.size() + static_cast<size_t>(n) > maxBytes) {
      ok = false;
      break;
    }
    out.append(block, static_cast<size_t>(n));
  }
  ::close(fd);
  if (!ok) out.clear();
  return ok;
}

}  // namespace harvelo
