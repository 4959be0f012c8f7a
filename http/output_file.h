// The output file of a fetch. The body is received under a temporary name beside the
// final one and renamed over it only when complete, so that a process killed
// mid-transfer never leaves a truncated file under the final name. The temporary name
// holds the process id and is created exclusively: another process (or another
// transfer of this one) writing towards the same final name never shares it.
#pragma once
#include <functional>
#include <memory>
#include <string>

namespace harvelo {

class OutputFile {
 public:
  OutputFile() = default;
  ~OutputFile() { Discard(); }
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Gives the next name to try when a name is taken; empty gives up.
  using NextName = std::function<std::string(const std::string& taken)>;

  // The temporary name this process tries first for `finalPath`.
  static std::string PartialPath(const std::string& finalPath);

  // Opens the temporary file for `finalPath`. False (nothing touched) when it cannot
  // be created, or, when it is to replace `finalPath` (`replacing`), when `finalPath`
  // is a directory or a file that can't be replaced.
  bool Create(const std::string& finalPath, bool replacing = true);
  bool IsOpen() const { return fd_ >= 0; }

  // False when the bytes could not be written (disk full, size limit, ...).
  bool Write(const char* data, size_t size);

  // Flushes, closes and renames the file over its final name. False when any of it
  // failed; the temporary file is then removed and the final name left as it was.
  bool Commit();

  // As Commit, but the file takes its final name only while no file holds it (or, with
  // `emptyIsFree`, no file with data: an empty one is replaced); when one does, `next`
  // names the next name to try. FinalPath() tells the name taken.
  bool CommitWithoutReplacing(const NextName& next, bool emptyIsFree);
  const std::string& FinalPath() const { return final_path_; }

  // Gives the finished file `from` the name `to` the same way: when a file holds it,
  // `next` names the next to try, and `to` ends as the name taken. False (and `from`
  // left where it is) when no name could be taken.
  static bool MoveWithoutReplacing(const std::string& from, std::string& to, const NextName& next,
                                   bool emptyIsFree);

  // The same walk over the names for any way of taking one: `take` answers 0, or the
  // errno of its failure (EEXIST: the name is taken, the next one is tried). A name held
  // by an empty file counts as free when `replace` is given: it gives the body that
  // name over the empty file.
  using TakeName = std::function<int(const std::string&)>;
  static bool TakeFreeName(std::string& to, const NextName& next, const TakeName& take,
                           const TakeName& replace);

  // Closes and removes the temporary file (nothing when none is open).
  void Discard();

  // Removes the temporary files in `directory` (ending in '/', or empty for the working
  // directory) whose process is gone: what a killed run left behind. Those of a live
  // process, another run in the same folder, are left alone.
  static void RemoveAbandonedPartials(const std::string& directory);

 private:
  bool Flush();
  bool Close();
  void RestoreOuterPartial();

  int fd_ = -1;
  std::string final_path_;
  std::string partial_path_;
  std::string outer_partial_;  // the partial file registered before this one, if any
  std::unique_ptr<char[]> buffer_;
  size_t used_ = 0;
};

}  // namespace harvelo
