#include "http/partial_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string_view>

#include "http/http_fetcher.h"
#include "platform/abandoned_files.h"

namespace harvelo {
namespace {

constexpr std::string_view kSuffix = ".hvpart";
// Names tried before giving up: final names taken by other runs in the meantime.
constexpr int kNameAttempts = 1000;

// The folders of the bodies under way, for RemovePartialDownloadNow, which may run in a
// signal handler: fixed slots, each holding "<directory>.harvelo.<pid>-" and the first
// number that may follow it, and a flag set only while the slot is complete. A file that
// a thread makes while the handler removes the folder's files is waited for, and once
// the handler has begun the folder takes no more.
struct Slot {
  std::atomic<bool> taken{false};
  volatile std::sig_atomic_t ready = 0;
  std::atomic<int> creating{0};  // files being made (named, not yet created)
  std::atomic<bool> ending{false};
  int first = 0;
  char prefix[4096];
};
constexpr int kSlots = 8;
Slot g_slots[kSlots];
std::atomic<int> g_last_number{0};  // the highest number handed out
static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free);

std::string PrefixOf(const std::string& directory) {
  return directory + ".harvelo." + std::to_string(::getpid()) + "-";
}

// Gives `from` the name `to` unless a file (of any kind) already holds it: 0, or the
// errno (EEXIST when the name was taken).
int TakeNameWithoutReplacing(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return errno;
  // A file system without that kind of rename: a hard link refuses an existing name too.
  if (::link(from.c_str(), to.c_str()) == 0) {
    ::unlink(from.c_str());
    return 0;
  }
  if (errno != EPERM && errno != ENOTSUP && errno != EOPNOTSUPP) return errno;
  // Nor hard links (FAT): claim the name with a file of our own, then replace it. The
  // claim is never empty, so that no other run takes it for a free name.
  const int fd = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return errno;
  const bool claimed = ::write(fd, "-", 1) == 1;
  ::close(fd);
  if (!claimed) {
    ::unlink(to.c_str());
    return EIO;
  }
  if (std::rename(from.c_str(), to.c_str()) == 0) return 0;
  const int error = errno;
  ::unlink(to.c_str());
  return error;
}

// The process id in a partial file's name (".harvelo.<pid>-<n>.hvpart", and the
// "<final>.<pid>.hvpart" of earlier versions), or 0 when the name is not one.
pid_t PartialOwner(std::string_view name) {
  if (!name.ends_with(kSuffix)) return 0;
  name.remove_suffix(kSuffix.size());
  const size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return 0;
  const std::string_view digits = name.substr(dot + 1);
  return ProcessIdFrom(digits.substr(0, digits.find('-')));
}

}  // namespace

PartialFiles::PartialFiles(const std::string& directory)
    : directory_(directory.empty() ? std::string("./") : directory) {
  const std::string prefix = PrefixOf(directory_);
  if (prefix.size() + 32 >= sizeof g_slots[0].prefix) return;
  for (int i = 0; i < kSlots; ++i) {
    bool expected = false;
    if (!g_slots[i].taken.compare_exchange_strong(expected, true)) continue;
    Slot& slot = g_slots[i];
    std::memcpy(slot.prefix, prefix.c_str(), prefix.size() + 1);
    slot.first = g_last_number.load() + 1;
    slot.ending = false;
    std::atomic_signal_fence(std::memory_order_seq_cst);
    slot.ready = 1;
    slot_ = i;
    return;
  }
}

PartialFiles::~PartialFiles() {
  if (slot_ < 0) return;
  g_slots[slot_].ready = 0;
  std::atomic_signal_fence(std::memory_order_seq_cst);
  g_slots[slot_].taken = false;
}

int PartialFiles::Create(std::string& path) const {
  int fd = -1;
  Make(path, [&fd](const std::string& name) {
    fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    return fd >= 0;
  });
  return fd;
}

bool PartialFiles::Name(int fd, std::string& path) const {
  return Make(path, [fd](const std::string& name) {
    // The descriptor itself where the process may (CAP_DAC_READ_SEARCH), else, and from
    // then on, its name under /proc.
    static std::atomic<bool> byDescriptor{true};
    if (byDescriptor) {
      if (::linkat(fd, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH) == 0) return true;
      if (errno != EPERM && errno != ENOENT && errno != EINVAL) return false;
      byDescriptor = false;
    }
    const std::string proc = "/proc/self/fd/" + std::to_string(fd);
    return ::linkat(AT_FDCWD, proc.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0;
  });
}

bool PartialFiles::Make(std::string& path,
                        const std::function<bool(const std::string&)>& make) const {
  Slot* slot = slot_ >= 0 ? &g_slots[slot_] : nullptr;
  if (slot != nullptr) ++slot->creating;
  bool made = false;
  if (slot == nullptr || !slot->ending) {
    path = PrefixOf(directory_) + std::to_string(++g_last_number) + std::string(kSuffix);
    made = make(path);
  }
  if (slot != nullptr) --slot->creating;
  return made;
}

void RemovePartialDownloadNow() {
  for (Slot& slot : g_slots) {
    if (!slot.ready) continue;
    slot.ending = true;
    // A file another thread is making now is there to be removed once made (a while at
    // most: the handler may have interrupted this thread's own making of one).
    for (int i = 0; i < 100 && slot.creating > 0; ++i) {
      const timespec millisecond{0, 1000000};
      ::nanosleep(&millisecond, nullptr);
    }
  }
  const int last = g_last_number;
  for (Slot& slot : g_slots) {
    if (!slot.ready) continue;
    char path[sizeof slot.prefix + 16];
    const size_t length = std::strlen(slot.prefix);
    std::memcpy(path, slot.prefix, length);
    for (int number = slot.first; number <= last; ++number) {
      // prefix + number + ".hvpart", without the formatting functions.
      char digits[16];
      int n = 0;
      for (int rest = number; rest > 0; rest /= 10)
        digits[n++] = static_cast<char>('0' + rest % 10);
      size_t at = length;
      while (n > 0) path[at++] = digits[--n];
      std::memcpy(path + at, kSuffix.data(), kSuffix.size());
      path[at + kSuffix.size()] = '\0';
      ::unlink(path);
    }
  }
}

void RemoveAbandonedPartials(const std::string& directory) {
  const std::string dir = directory.empty() ? std::string("./") : directory;
  for (const std::string& name : FilesOfGoneProcesses(dir, PartialOwner)) {
    struct stat st {};
    const std::string path = dir + name;
    if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) ::unlink(path.c_str());
  }
}

bool MoveWithoutReplacing(const std::string& from, std::string& to, const NextName& next,
                          bool emptyIsFree) {
  TakeName replace;
  if (emptyIsFree) {
    replace = [&from](const std::string& name) {
      return std::rename(from.c_str(), name.c_str()) == 0 ? 0 : errno;
    };
  }
  return TakeFreeName(
      to, next, [&from](const std::string& name) { return TakeNameWithoutReplacing(from, name); },
      replace);
}

bool TakeFreeName(std::string& to, const NextName& next, const TakeName& take,
                  const TakeName& replace) {
  for (int attempt = 1;; ++attempt) {
    int error = take(to);
    // An empty file counts as free: it is replaced, while one with data never is.
    struct stat st {};
    if (error == EEXIST && replace && ::lstat(to.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
        st.st_size == 0) {
      error = replace(to);
    }
    if (error == 0) return true;
    if (error != EEXIST || attempt >= kNameAttempts || !next) return false;
    to = next(to);
    if (to.empty()) return false;
  }
}

}  // namespace harvelo
