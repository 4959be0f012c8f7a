#include "engine/stored_content.h"

#include <vector>

#include "engine/content_hash.h"
#include "platform/directory_listing.h"

namespace harvelo {
namespace {

// Files that a run removes again (its page copy, partial downloads, hidden work files)
// never stand for a picture: a resource taken for their copy would be lost with them.
bool MayBeRemovedByARun(const std::string& name) {
  return name.empty() || name[0] == '.' || name == "page.html" || name.ends_with(".hvpart");
}

}  // namespace

void StoredContent::Clear() {
  run_.clear();
  known_.clear();
  listed_ = false;
  listedDir_.clear();
}

void StoredContent::Add(const std::string& path, std::uint64_t size, std::uint64_t hash) {
  run_.emplace(hash, RunFile{path, size});
}

void StoredContent::ListDestination(const std::string& dir, const std::string& exclude) {
  known_.clear();
  listed_ = true;
  listedDir_ = dir;
  std::vector<ListedFile> files;
  if (!ListRegularFiles(dir, files)) return;
  for (const ListedFile& f : files) {
    if (MayBeRemovedByARun(f.name) || dir + f.name == exclude) continue;
    known_.emplace(f.size, KnownFile{dir + f.name});
  }
  // The run's own files are found among the run's.
  for (const auto& [hash, file] : run_) {
    for (auto [it, end] = known_.equal_range(file.size); it != end; ++it) {
      if (it->second.path == file.path) {
        known_.erase(it);
        break;
      }
    }
  }
}

std::optional<std::string> StoredContent::FindCopy(const std::string& path, std::uint64_t size,
                                                   std::uint64_t hash,
                                                   const std::string* destinationDir) {
  for (auto [it, end] = run_.equal_range(hash); it != end; ++it) {
    const RunFile& file = it->second;
    if (file.size == size && file.path != path && SameFileContent(file.path, path)) {
      return file.path;
    }
  }
  if (destinationDir == nullptr) return std::nullopt;
  if (!listed_ || listedDir_ != *destinationDir) ListDestination(*destinationDir, path);
  for (auto [it, end] = known_.equal_range(size); it != end; ++it) {
    KnownFile& file = it->second;
    if (file.path == path || !file.readable) continue;
    if (!file.hashed) {
      std::uint64_t fileSize = 0;
      file.readable = HashFileHead(file.path, file.hash, fileSize) && fileSize == size;
      file.hashed = true;
      if (!file.readable) continue;
    }
    if (file.hash == hash && SameFileContent(file.path, path)) return file.path;
  }
  return std::nullopt;
}

}  // namespace harvelo
