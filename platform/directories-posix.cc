#include "platform/directories.h"

#include <unistd.h>

#include <climits>
#include <cstdlib>

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

const std::string& TempDirectory() {
  static const std::string dir = [] {
    const char* env = std::getenv("TMPDIR");
    return WithTrailingSlash(env != nullptr && *env != '\0' ? std::string(env) : "/tmp");
  }();
  return dir;
}

}  // namespace harvelo
