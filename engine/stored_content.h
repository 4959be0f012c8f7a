// The files a run has stored, and those that were in the destination directory before,
// found by their content: a resource identical to one of them is a duplicate.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>

namespace harvelo {

class StoredContent {
 public:
  // A new run: forgets the run's files and the destination's listing.
  void Clear();

  // A file the run has stored.
  void Add(const std::string& path, std::uint64_t size, std::uint64_t hash);

  // Another file with exactly the bytes of `path` (compared byte by byte once size and
  // hash agree): first among the run's files; then, when `destinationDir` is given, among
  // the files that were in it when it was first looked at, of which only those of the
  // same size are hashed (each once).
  std::optional<std::string> FindCopy(const std::string& path, std::uint64_t size,
                                      std::uint64_t hash, const std::string* destinationDir);

 private:
  struct RunFile {
    std::string path;
    std::uint64_t size = 0;
  };
  struct KnownFile {
    std::string path;
    bool hashed = false;
    bool readable = true;
    std::uint64_t hash = 0;
  };
  void ListDestination(const std::string& dir, const std::string& exclude);

  std::unordered_multimap<std::uint64_t, RunFile> run_;  // by hash
  bool listed_ = false;
  std::string listedDir_;
  std::unordered_multimap<std::uint64_t, KnownFile> known_;  // by size
};

}  // namespace harvelo
