#include "engine/page_copy.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <vector>

#include "platform/abandoned_files.h"

namespace harvelo {
namespace {

constexpr std::string_view kMarkerPrefix = ".harvelo-page-";

// The copy held now, for RemovePageCopyNow, which may run in a signal handler: fixed
// storage and a flag that is cleared while it changes.
struct HeldCopy {
  char path[4096];
  char marker[4096];
  dev_t device;
  ino_t inode;
};
HeldCopy g_held;
volatile std::sig_atomic_t g_held_set = 0;

void Hold(const std::string& path, const std::string& marker, dev_t device, ino_t inode) {
  g_held_set = 0;
  std::atomic_signal_fence(std::memory_order_seq_cst);
  if (path.size() >= sizeof g_held.path || marker.size() >= sizeof g_held.marker) return;
  std::memcpy(g_held.path, path.c_str(), path.size() + 1);
  std::memcpy(g_held.marker, marker.c_str(), marker.size() + 1);
  g_held.device = device;
  g_held.inode = inode;
  std::atomic_signal_fence(std::memory_order_seq_cst);
  g_held_set = 1;
}

void Release() {
  g_held_set = 0;
  std::atomic_signal_fence(std::memory_order_seq_cst);
}

bool IsSameFile(const char* path, dev_t device, ino_t inode) {
  struct stat st {};
  return ::lstat(path, &st) == 0 && st.st_dev == device && st.st_ino == inode;
}

std::string DirectoryOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The time a file's inode last changed, in nanoseconds: with the device and inode
// numbers it tells the copy from a file made later at the same place (a removed file's
// inode number is soon given to the next new file).
unsigned long long ChangeTime(const struct stat& st) {
  return static_cast<unsigned long long>(st.st_ctim.tv_sec) * 1000000000ull +
         static_cast<unsigned long long>(st.st_ctim.tv_nsec);
}

// The marker names the copy (its name in the same directory) and the file it was.
bool WriteMarker(const std::string& marker, const std::string& path, const struct stat& st) {
  const int fd =
      ::open(marker.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  const std::string name = path.substr(path.rfind('/') + 1);
  char numbers[64];
  std::snprintf(numbers, sizeof numbers, "\n%llu\n%llu\n%llu\n",
                static_cast<unsigned long long>(st.st_dev),
                static_cast<unsigned long long>(st.st_ino), ChangeTime(st));
  const std::string text = name + numbers;
  const bool written = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  ::close(fd);
  if (!written) ::unlink(marker.c_str());
  return written;
}

// The copy a marker names, removed while it is still the file the marker describes.
void RemoveMarkedCopy(const std::string& dir, const std::string& marker) {
  char text[512];
  const int fd = ::open(marker.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return;
  const ssize_t n = ::read(fd, text, sizeof text - 1);
  ::close(fd);
  if (n <= 0) return;
  text[n] = '\0';
  char name[256];
  unsigned long long device = 0;
  unsigned long long inode = 0;
  unsigned long long changed = 0;
  if (std::sscanf(text, "%255[^\n]\n%llu\n%llu\n%llu", name, &device, &inode, &changed) != 4) {
    return;
  }
  // Only a plain name in the same directory: a marker can't point anywhere else.
  if (std::strchr(name, '/') != nullptr || name[0] == '.' || name[0] == '\0') return;
  const std::string copy = dir + name;
  struct stat st {};
  if (::lstat(copy.c_str(), &st) == 0 && st.st_dev == device && st.st_ino == inode &&
      ChangeTime(st) == changed) {
    ::unlink(copy.c_str());
  }
}

}  // namespace

void RemovePageCopyNow() {
  if (!g_held_set) return;
  if (IsSameFile(g_held.path, g_held.device, g_held.inode)) ::unlink(g_held.path);
  ::unlink(g_held.marker);
}

void PageCopy::Stored(const std::string& path) {
  Forget();
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return;
  path_ = path;
  device_ = st.st_dev;
  inode_ = st.st_ino;
  marker_ = DirectoryOf(path) + std::string(kMarkerPrefix) + std::to_string(::getpid());
  if (!WriteMarker(marker_, path_, st)) marker_.clear();
  Hold(path_, marker_, device_, inode_);
}

void PageCopy::Remove() {
  if (!path_.empty() && IsSameFile(path_.c_str(), device_, inode_)) ::unlink(path_.c_str());
  Forget();
}

void PageCopy::Forget() {
  if (!path_.empty()) Release();
  if (!marker_.empty()) ::unlink(marker_.c_str());
  path_.clear();
  marker_.clear();
}

void PageCopy::RemoveAbandoned(const std::string& directory) {
  const std::string dir = directory.empty() ? std::string("./") : directory;
  auto owner = [](std::string_view name) {
    return name.starts_with(kMarkerPrefix) ? ProcessIdFrom(name.substr(kMarkerPrefix.size())) : 0;
  };
  for (const std::string& name : FilesOfGoneProcesses(dir, owner)) {
    RemoveMarkedCopy(dir, dir + name);
    ::unlink((dir + name).c_str());
  }
}

}  // namespace harvelo
