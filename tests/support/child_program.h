// Runs a program of ours as a child for a test: its own argument vector, environment
// changes, working directory, with standard error captured. Waits for it to end.
#pragma once
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace harvelo::testing {

struct ChildResult {
  int status = -1;  // exit status, or 128 + signal
  std::string stderr_text;
};

// `env`: name -> value to set, or std::nullopt to remove the variable.
inline ChildResult RunChild(const std::string& path, const std::vector<std::string>& args,
                            const std::map<std::string, std::optional<std::string>>& env = {},
                            const std::string& cwd = "") {
  int pipe_fds[2];
  ChildResult result;
  if (::pipe(pipe_fds) != 0) return result;
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(pipe_fds[1], 2);
    ::close(pipe_fds[0]);
    ::close(pipe_fds[1]);
    for (const auto& [name, value] : env) {
      if (value) {
        ::setenv(name.c_str(), value->c_str(), 1);
      } else {
        ::unsetenv(name.c_str());
      }
    }
    if (!cwd.empty() && ::chdir(cwd.c_str()) != 0) ::_exit(126);
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(path.c_str(), argv.data());
    ::_exit(127);
  }
  ::close(pipe_fds[1]);
  char buf[4096];
  ssize_t n = 0;
  while ((n = ::read(pipe_fds[0], buf, sizeof buf)) > 0) {
    result.stderr_text.append(buf, static_cast<size_t>(n));
  }
  ::close(pipe_fds[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return result;
}

}  // namespace harvelo::testing
