// Bodies being received. Each is written into a file of its own in the directory of the
// file it will become, named ".harvelo.<pid>-<n>.hvpart" (created exclusively, n counted
// per process), and takes its final name by a rename once it is complete: a process
// killed mid-transfer never leaves a truncated file under a final name. The process id in
// the name tells whose file it is: a later run removes those of processes that are gone,
// never those of a live one (another run in the same folder). Where the file system
// allows it, a body is received into a file without a name (O_TMPFILE, made without
// holding the directory) and takes that name only once complete (Name).
#pragma once
#include <functional>
#include <string>

namespace harvelo {

// The folder of a run's bodies: hands out their names, and keeps them known to
// RemovePartialDownloadNow while it lives.
class PartialFiles {
 public:
  // `directory` ends in '/', or is empty for the working directory.
  explicit PartialFiles(const std::string& directory);
  ~PartialFiles();
  PartialFiles(const PartialFiles&) = delete;
  PartialFiles& operator=(const PartialFiles&) = delete;

  const std::string& Directory() const { return directory_; }
  // Creates a new empty partial file, open for reading and writing, and gives its name;
  // -1 when it can't be made (or the process is ending). Any thread may call it.
  int Create(std::string& path) const;
  // Gives the file without a name open at `fd` a new partial name (`path`); false when
  // it can't.
  bool Name(int fd, std::string& path) const;

 private:
  // Makes a file under a new name with `make`, known to RemovePartialDownloadNow.
  bool Make(std::string& path, const std::function<bool(const std::string&)>& make) const;

  std::string directory_;
  int slot_ = -1;  // in the signal handler's table, -1: none free
};

// Removes the partial files in `directory` (ending in '/', or empty for the working
// directory) whose process is gone: what a killed run left behind.
void RemoveAbandonedPartials(const std::string& directory);

// Gives the next name to try when a name is taken; empty gives up.
using NextName = std::function<std::string(const std::string& taken)>;

// Gives the complete body `from` the name `to` unless a file holds it (with
// `emptyIsFree`, a file with data: an empty one is replaced); when one does, `next` names
// the next name to try, and `to` ends as the name taken. False (and `from` left where it
// is) when no name could be taken.
bool MoveWithoutReplacing(const std::string& from, std::string& to, const NextName& next,
                          bool emptyIsFree);

// The same walk over the names for any way of taking one: `take` answers 0, or the
// errno of its failure (EEXIST: the name is taken, the next one is tried). A name held
// by an empty file counts as free when `replace` is given: it gives the body that name
// over the empty file.
using TakeName = std::function<int(const std::string&)>;
bool TakeFreeName(std::string& to, const NextName& next, const TakeName& take,
                  const TakeName& replace);

}  // namespace harvelo
