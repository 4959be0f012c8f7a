// Runs the built harvelo-cli as a child process in a working directory of the test's,
// standard output and error captured into files, standard input from /dev/null.
#pragma once
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/temp_dir.h"

namespace harvelo::testing {

class CliChild {
 public:
  // env: the child's whole environment (the language comes from it).
  bool Start(const std::vector<std::string>& args, const std::string& workDir,
             std::vector<std::string> env = {"LANG=C"}) {
    std::vector<std::string> argvText = {HARVELO_CLI_PATH};
    argvText.insert(argvText.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : argvText) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, logs_.file("out").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, logs_.file("err").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addchdir_np(&actions, workDir.c_str());
    const int rc = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0;
  }

  // The exit status, or -1 when the child was killed by a signal or had to be killed
  // because it did not end (a hang guard, not a measure of speed).
  int Wait() {
    for (int i = 0; i < 12000; ++i) {
      int status = 0;
      if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
    return -1;
  }

  void Signal(int sig) const { ::kill(pid_, sig); }

  // Waits until `sig` sent to the child is no longer pending, that is, was delivered.
  bool WaitDelivered(int sig) const {
    const unsigned long long bit = 1ULL << (sig - 1);
    for (int i = 0; i < 6000; ++i) {
      if ((PendingMask("SigPnd:") | PendingMask("ShdPnd:")) & bit) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      } else {
        return true;
      }
    }
    return false;
  }

  std::string Out() const { return ReadBytes(logs_.file("out")); }
  std::string Err() const { return ReadBytes(logs_.file("err")); }
  std::vector<std::string> OutLines() const {
    std::vector<std::string> lines;
    std::istringstream in(Out());
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  ~CliChild() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
  }

 private:
  unsigned long long PendingMask(const std::string& field) const {
    std::ifstream status("/proc/" + std::to_string(pid_) + "/status");
    for (std::string line; std::getline(status, line);) {
      if (line.rfind(field, 0) == 0) return std::stoull(line.substr(field.size()), nullptr, 16);
    }
    return 0;
  }

  TempDir logs_;
  pid_t pid_ = -1;
};

// Runs harvelo-cli to its end.
inline int RunCli(CliChild& child, const std::vector<std::string>& args, const std::string& workDir,
                  std::vector<std::string> env = {"LANG=C"}) {
  if (!child.Start(args, workDir, std::move(env))) return -2;
  return child.Wait();
}

}  // namespace harvelo::testing
