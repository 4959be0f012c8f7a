#include <dirent.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

#include "platform/abandoned_files.h"

namespace harvelo {

std::vector<std::string> FilesOfGoneProcesses(
    const std::string& directory, const std::function<pid_t(std::string_view name)>& owner) {
  std::vector<std::string> gone;
  DIR* d = ::opendir(directory.empty() ? "." : directory.c_str());
  if (d == nullptr) return gone;
  while (const dirent* entry = ::readdir(d)) {
    const pid_t pid = owner(entry->d_name);
    if (pid > 0 && pid != ::getpid() && ::kill(pid, 0) != 0 && errno == ESRCH) {
      gone.emplace_back(entry->d_name);
    }
  }
  ::closedir(d);
  return gone;
}

pid_t ProcessIdFrom(std::string_view digits) {
  if (digits.empty() || digits.size() > 9) return 0;
  pid_t pid = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') return 0;
    pid = pid * 10 + (c - '0');
  }
  return pid;
}

}  // namespace harvelo
