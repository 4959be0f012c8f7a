#include "engine/page_copy.h"

#include <sys/stat.h>
#include <unistd.h>

namespace harvelo {

void PageCopy::Stored(const std::string& path) {
  struct stat st {};
  path_.clear();
  if (::lstat(path.c_str(), &st) != 0) return;
  path_ = path;
  device_ = st.st_dev;
  inode_ = st.st_ino;
}

void PageCopy::Remove() {
  struct stat st {};
  if (!path_.empty() && ::lstat(path_.c_str(), &st) == 0 && st.st_dev == device_ &&
      st.st_ino == inode_) {
    ::unlink(path_.c_str());
  }
  path_.clear();
}

}  // namespace harvelo
