#include "platform/process.h"

#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cerrno>
#include <string_view>

extern char** environ;

namespace harvelo {

int SpawnAndWait(const std::string& path, const std::vector<std::string>& args, int* exitStatus,
                 const std::vector<std::string>& environment) {
  std::vector<char*> envp;
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string_view entry(*e);
    const bool replaced = std::any_of(environment.begin(), environment.end(), [&](const auto& set) {
      const auto eq = set.find('=');
      return entry.substr(0, entry.find('=')) == std::string_view(set).substr(0, eq);
    });
    if (!replaced) envp.push_back(*e);
  }
  for (const auto& set : environment) envp.push_back(const_cast<char*>(set.c_str()));
  envp.push_back(nullptr);

  std::vector<char*> argv;
  argv.reserve(args.size() + 1);
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);

  pid_t pid = 0;
  if (posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv.data(), envp.data()) != 0) return 0;
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return 0;
  }
  // posix_spawn reports an exec failure as exit status 127 of the child.
  int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  if (exitStatus != nullptr) *exitStatus = code;
  return 1;
}

}  // namespace harvelo
