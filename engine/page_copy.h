// The page copy a run stores in the destination directory to scan it. It is removed
// only while it is still the very file the run stored: a file of that name made by the
// user or by another run meanwhile is left alone. While a copy is held, a small marker
// beside it (".harvelo-page-<pid>") names it, so that a later run can remove the copy of
// a run that was killed.
#pragma once
#include <sys/types.h>

#include <string>

namespace harvelo {

class PageCopy {
 public:
  PageCopy() = default;
  ~PageCopy() { Forget(); }
  PageCopy(const PageCopy&) = delete;
  PageCopy& operator=(const PageCopy&) = delete;

  // The run has just stored the page at path.
  void Stored(const std::string& path);
  // Removes the stored copy if it is still there; forgets it either way.
  void Remove();

  // Removes the page copies that runs whose process is gone left in `directory`
  // (ending in '/', or empty for the working directory), each only while it is still
  // the file that run stored.
  static void RemoveAbandoned(const std::string& directory);

 private:
  void Forget();

  std::string path_;
  std::string marker_;
  dev_t device_ = 0;
  ino_t inode_ = 0;
};

// For a console front end that must end at once on a signal: removes the page copy the
// run holds, if it is still the file the run stored. Async-signal-safe.
void RemovePageCopyNow();

}  // namespace harvelo
