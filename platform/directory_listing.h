// The regular files of one directory (not its subdirectories), with their sizes.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace harvelo {

struct ListedFile {
  std::string name;  // without the directory
  std::uint64_t size = 0;
};

// `dir` ends in '/' or is empty for the current directory. Symbolic links are followed;
// what can't be read is left out. False when the directory can't be opened.
bool ListRegularFiles(const std::string& dir, std::vector<ListedFile>& files);

}  // namespace harvelo
