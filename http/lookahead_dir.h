// The look-ahead's private files in the destination directory. Bodies fetched ahead wait
// there under names of their own (beside the files they will become, so that a rename
// gives them their final names), all sharing a token that a lock file holds for the
// life of the run. A later run removes the files of every token whose lock nobody holds
// (a run that was killed), and never those of a live process.
#pragma once
#include <string>

namespace harvelo {

class AheadDirectory {
 public:
  AheadDirectory() = default;
  ~AheadDirectory();
  AheadDirectory(const AheadDirectory&) = delete;
  AheadDirectory& operator=(const AheadDirectory&) = delete;

  // Takes a new token in `destination` (which ends in '/', or is empty for the working
  // directory) and holds its lock. False when that fails.
  bool Create(const std::string& destination);
  bool IsOpen() const { return lock_fd_ >= 0; }

  // The directory the files are in ("./" for the working directory).
  std::string Directory() const { return base_.substr(0, base_.rfind('/') + 1); }

  // The private file with this number; no two runs share one.
  std::string FilePath(int number) const;

  // Removes the files that earlier runs left in `destination` with no one holding
  // their lock.
  static void RemoveLeftovers(const std::string& destination);

 private:
  std::string base_;  // destination + prefix + token
  int lock_fd_ = -1;
};

// For a console front end that must end at once on a second interrupt: removes the
// private files of the run under way and its lock. Async-signal-safe.
void RemoveAheadFilesNow();

// The beginning of every private file's name.
constexpr const char* kAheadDirectoryPrefix = ".harvelo-ahead-";

}  // namespace harvelo
