// The look-ahead's private directory inside the destination directory. Bodies fetched
// ahead wait there under names of their own, so that they can take their final names
// by a rename once the run reaches them. The directory holds a lock for the life of the
// run; a later run removes every such directory whose lock nobody holds (a run that was
// killed), and never one that another live process is using.
#pragma once
#include <string>

namespace harvelo {

class AheadDirectory {
 public:
  AheadDirectory() = default;
  ~AheadDirectory();
  AheadDirectory(const AheadDirectory&) = delete;
  AheadDirectory& operator=(const AheadDirectory&) = delete;

  // Makes a new directory in `destination` (which ends in '/', or is empty for the
  // working directory) and takes its lock. False when either fails.
  bool Create(const std::string& destination);
  // Ends in '/'; empty until Create succeeded.
  const std::string& path() const { return path_; }

  // Removes the directories that earlier runs left in `destination` with no one
  // holding their lock, with everything in them.
  static void RemoveLeftovers(const std::string& destination);

 private:
  std::string path_;
  int lock_fd_ = -1;
};

// The prefix of the private directories' names.
constexpr const char* kAheadDirectoryPrefix = ".harvelo-ahead-";

}  // namespace harvelo
