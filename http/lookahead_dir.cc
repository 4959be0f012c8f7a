#include "http/lookahead_dir.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstring>
#include <ctime>
#include <string_view>
#include <vector>

namespace harvelo {
namespace {

constexpr std::string_view kLockSuffix = ".lock";
constexpr size_t kTokenLength = 6;
// Files of a token whose lock file is missing (a run killed while it removed its own
// files) are taken for leftovers once they are this old.
constexpr time_t kUnlockedGraceSeconds = 60;

// The run's files for RemoveAheadFilesNow, which may run in a signal handler: a fixed
// buffer, the highest number handed out, and a flag cleared while they change.
char g_base[4096];
std::atomic<int> g_highest{0};
volatile std::sig_atomic_t g_base_set = 0;
static_assert(std::atomic<int>::is_always_lock_free);

void RegisterBase(const std::string& base) {
  g_base_set = 0;
  std::atomic_signal_fence(std::memory_order_seq_cst);
  if (base.size() + 32 >= sizeof g_base) return;
  std::memcpy(g_base, base.c_str(), base.size() + 1);
  g_highest = 0;
  std::atomic_signal_fence(std::memory_order_seq_cst);
  g_base_set = 1;
}

void UnregisterBase() {
  g_base_set = 0;
  std::atomic_signal_fence(std::memory_order_seq_cst);
}

std::string DirectoryOf(const std::string& destination) {
  return destination.empty() ? std::string("./") : destination;
}

// True when no live process holds the lock at `lockPath`.
bool IsAbandoned(const std::string& lockPath) {
  const int fd = ::open(lockPath.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) return false;
  const bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
  ::close(fd);
  return free;
}

}  // namespace

AheadDirectory::~AheadDirectory() {
  if (lock_fd_ < 0) return;
  UnregisterBase();
  // The files go first, the lock last: a run killed in between leaves files whose
  // token has no lock, which a later run removes once they are old.
  const size_t slash = base_.rfind('/');
  const std::string dir = base_.substr(0, slash + 1);
  const std::string own = base_.substr(slash + 1) + "-";
  if (DIR* d = ::opendir(dir.c_str())) {
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(d)) {
      if (std::string_view(entry->d_name).starts_with(own)) names.emplace_back(entry->d_name);
    }
    ::closedir(d);
    for (const std::string& name : names) ::unlink((dir + name).c_str());
  }
  ::unlink((base_ + std::string(kLockSuffix)).c_str());
  ::close(lock_fd_);
}

bool AheadDirectory::Create(const std::string& destination) {
  std::string pattern =
      DirectoryOf(destination) + kAheadDirectoryPrefix + "XXXXXX" + std::string(kLockSuffix);
  const int fd = ::mkostemps(pattern.data(), static_cast<int>(kLockSuffix.size()), O_CLOEXEC);
  if (fd < 0) return false;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    ::unlink(pattern.c_str());
    return false;
  }
  lock_fd_ = fd;
  base_ = pattern.substr(0, pattern.size() - kLockSuffix.size());
  RegisterBase(base_);
  return true;
}

std::string AheadDirectory::FilePath(int number) const {
  // The file stock's thread and the run's both hand out numbers.
  int seen = g_highest.load();
  while (number > seen && !g_highest.compare_exchange_weak(seen, number)) {
  }
  return base_ + "-" + std::to_string(number) + ".part";
}

void AheadDirectory::RemoveLeftovers(const std::string& destination) {
  const std::string dir = DirectoryOf(destination);
  DIR* d = ::opendir(dir.c_str());
  if (d == nullptr) return;
  const std::string_view prefix = kAheadDirectoryPrefix;
  std::vector<std::string> names;
  while (const dirent* entry = ::readdir(d)) {
    const std::string_view name = entry->d_name;
    if (name.starts_with(prefix) && name.size() > prefix.size() + kTokenLength) {
      names.emplace_back(name);
    }
  }
  ::closedir(d);
  for (const std::string& name : names) {
    const std::string token = name.substr(prefix.size(), kTokenLength);
    const std::string lock = dir + std::string(prefix) + token + std::string(kLockSuffix);
    const std::string path = dir + name;
    if (path == lock) continue;
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    struct stat lockStat {};
    const bool hasLock = ::lstat(lock.c_str(), &lockStat) == 0;
    if (hasLock ? IsAbandoned(lock) : std::time(nullptr) - st.st_mtime >= kUnlockedGraceSeconds) {
      ::unlink(path.c_str());
    }
  }
  // Locks nobody holds, now that their files are gone.
  for (const std::string& name : names) {
    if (!name.ends_with(kLockSuffix) ||
        name.size() != prefix.size() + kTokenLength + kLockSuffix.size()) {
      continue;
    }
    const std::string lock = dir + name;
    if (IsAbandoned(lock)) ::unlink(lock.c_str());
  }
}

void RemoveAheadFilesNow() {
  if (!g_base_set) return;
  char path[sizeof g_base + 32];
  const size_t length = std::strlen(g_base);
  std::memcpy(path, g_base, length);
  const int highest = g_highest;
  for (int number = 1; number <= highest; ++number) {
    // base + "-" + number + ".part", without the formatting functions.
    char digits[16];
    int n = 0;
    for (int rest = number; rest > 0; rest /= 10) digits[n++] = static_cast<char>('0' + rest % 10);
    size_t at = length;
    path[at++] = '-';
    while (n > 0) path[at++] = digits[--n];
    std::memcpy(path + at, ".part", 6);
    ::unlink(path);
  }
  std::memcpy(path + length, ".lock", 6);
  ::unlink(path);
}

}  // namespace harvelo
