#include "http/lookahead_dir.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string_view>

namespace harvelo {
namespace {

constexpr const char* kLockName = "lock";
// A directory whose lock file is missing was left between its creation and the lock's:
// it is taken for a leftover once it is this old.
constexpr time_t kUnlockedGraceSeconds = 60;

std::string DirectoryOf(const std::string& destination) {
  return destination.empty() ? std::string("./") : destination;
}

// Removes the files of a private directory and the directory itself.
void RemoveTree(const std::string& dir) {
  if (DIR* d = ::opendir(dir.c_str())) {
    while (const dirent* entry = ::readdir(d)) {
      const std::string_view name = entry->d_name;
      if (name == "." || name == "..") continue;
      ::unlink((dir + std::string(name)).c_str());
    }
    ::closedir(d);
  }
  ::rmdir(dir.c_str());
}

// True when no live process holds the directory's lock.
bool IsAbandoned(const std::string& dir) {
  const int fd = ::open((dir + kLockName).c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) {
    struct stat st {};
    return ::lstat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
           std::time(nullptr) - st.st_mtime >= kUnlockedGraceSeconds;
  }
  const bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
  ::close(fd);
  return free;
}

}  // namespace

AheadDirectory::~AheadDirectory() {
  if (path_.empty()) return;
  RemoveTree(path_);
  if (lock_fd_ >= 0) ::close(lock_fd_);
}

bool AheadDirectory::Create(const std::string& destination) {
  std::string pattern = DirectoryOf(destination) + kAheadDirectoryPrefix + "XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) return false;
  const std::string dir = pattern + "/";
  lock_fd_ =
      ::open((dir + kLockName).c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (lock_fd_ < 0 || ::flock(lock_fd_, LOCK_EX | LOCK_NB) != 0) {
    if (lock_fd_ >= 0) ::close(lock_fd_);
    lock_fd_ = -1;
    RemoveTree(dir);
    return false;
  }
  path_ = dir;
  return true;
}

void AheadDirectory::RemoveLeftovers(const std::string& destination) {
  const std::string base = DirectoryOf(destination);
  DIR* d = ::opendir(base.c_str());
  if (d == nullptr) return;
  const std::string_view prefix = kAheadDirectoryPrefix;
  while (const dirent* entry = ::readdir(d)) {
    const std::string_view name = entry->d_name;
    if (!name.starts_with(prefix) || name.size() != prefix.size() + 6) continue;
    const std::string dir = base + std::string(name) + "/";
    struct stat st {};
    if (::lstat(dir.substr(0, dir.size() - 1).c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) continue;
    if (IsAbandoned(dir)) RemoveTree(dir);
  }
  ::closedir(d);
}

}  // namespace harvelo
