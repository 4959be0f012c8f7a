// A fresh directory for one test, removed with everything in it afterwards.
#pragma once
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace harvelo::testing {

class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "harvelo-test-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The directory, ending in '/'.
  std::string dir() const { return path_ + "/"; }
  std::string file(const std::string& name) const { return dir() + name; }

 private:
  std::string path_;
};

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

inline bool Exists(const std::string& path) {
  return std::filesystem::exists(path);
}

// Whether a body is being received into the folder of `path`: a partial file
// (".harvelo.<pid>-<n>.hvpart") is there.
inline bool PartialFileBeside(const std::string& path) {
  std::error_code ec;
  for (const auto& entry :
       std::filesystem::directory_iterator(std::filesystem::path(path).parent_path(), ec)) {
    if (entry.path().filename().string().ends_with(".hvpart")) return true;
  }
  return false;
}

}  // namespace harvelo::testing
