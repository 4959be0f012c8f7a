#include "engine/page_copy.h"

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstring>

namespace harvelo {
namespace {

// The copy held now, for RemovePageCopyNow, which may run in a signal handler: fixed
// storage and a flag that is cleared while it changes.
struct HeldCopy {
  char path[4096];
  dev_t device;
  ino_t inode;
};
HeldCopy g_held;
volatile std::sig_atomic_t g_held_set = 0;

void Hold(const std::string& path, dev_t device, ino_t inode) {
  g_held_set = 0;
  std::atomic_signal_fence(std::memory_order_seq_cst);
  if (path.size() >= sizeof g_held.path) return;
  std::memcpy(g_held.path, path.c_str(), path.size() + 1);
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

}  // namespace

void RemovePageCopyNow() {
  if (g_held_set && IsSameFile(g_held.path, g_held.device, g_held.inode)) ::unlink(g_held.path);
}

void PageCopy::Stored(const std::string& path) {
  Forget();
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return;
  path_ = path;
  device_ = st.st_dev;
  inode_ = st.st_ino;
  Hold(path_, device_, inode_);
}

void PageCopy::Remove() {
  if (!path_.empty() && IsSameFile(path_.c_str(), device_, inode_)) ::unlink(path_.c_str());
  Forget();
}

void PageCopy::Forget() {
  if (!path_.empty()) Release();
  path_.clear();
}

}  // namespace harvelo
