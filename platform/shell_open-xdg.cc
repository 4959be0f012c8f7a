#include "platform/shell_open.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

extern char** environ;

namespace harvelo {

int ShellOpenWith(const std::string& opener, const std::string& target) {
  // Double fork: the opener is re-parented to init, so it never lingers as a zombie
  // and the caller never waits for the browser.
  const pid_t middle = fork();
  if (middle < 0) return 0;
  if (middle == 0) {
    std::vector<char*> argv{const_cast<char*>(opener.c_str()), const_cast<char*>(target.c_str()),
                            nullptr};
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, opener.c_str(), nullptr, nullptr, argv.data(), environ);
    _exit(rc == 0 ? 0 : 1);
  }
  int status = 0;
  while (waitpid(middle, &status, 0) < 0) {
    if (errno != EINTR) return 0;
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 1 : 0;
}

void ShellOpen(const std::string& target) {
  ShellOpenWith("xdg-open", target);
}

}  // namespace harvelo
