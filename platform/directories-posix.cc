#include "platform/directories.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>

namespace harvelo {

std::string DirectoryOfPath(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return path;
  return path.substr(0, slash + 1);
}

std::string WithTrailingSlash(const std::string& dir) {
  if (!dir.empty() && dir.back() != '/') return dir + '/';
  return dir;
}

const std::string& ProgramDirectory() {
  static const std::string dir = [] {
    char buf[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return std::string();
    return DirectoryOfPath(std::string(buf, static_cast<size_t>(n)));
  }();
  return dir;
}

bool IsPrivateDirectory(const std::string& dir) {
  if (dir.empty()) return false;
  struct stat st {};
  const std::string path =
      dir.size() > 1 && dir.back() == '/' ? dir.substr(0, dir.size() - 1) : dir;
  return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() &&
         (st.st_mode & 077) == 0;
}

namespace {

// Removes the folder, and whatever was left in it, when the process ends normally.
class OwnTempFolder {
 public:
  OwnTempFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const char* tmp = std::getenv("TMPDIR");
    std::string base = "/tmp";
    if (runtime != nullptr && runtime[0] == '/' && IsPrivateDirectory(runtime)) {
      base = runtime;
    } else if (tmp != nullptr && *tmp != '\0') {
      base = tmp;
    }
    std::string pattern = WithTrailingSlash(base) + "harvelo-XXXXXX";
    if (::mkdtemp(pattern.data()) != nullptr) dir_ = pattern + '/';
  }
  ~OwnTempFolder() {
    std::error_code ignored;
    if (!dir_.empty()) std::filesystem::remove_all(dir_, ignored);
  }
  const std::string& dir() const { return dir_; }

 private:
  std::string dir_;
};

}  // namespace

const std::string& TempDirectory() {
  static const OwnTempFolder folder;
  return folder.dir();
}

}  // namespace harvelo
