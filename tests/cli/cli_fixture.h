// harvelo-cli run as a child process (posix_spawn) in a working directory of the
// test's, its output captured into files, against a loopback site in the test process.
#pragma once
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "support/loopback_server.h"
#include "support/temp_dir.h"

namespace harvelo::testing {

// Polls `done` every `interval`; false if it never came true within a minute (a guard
// against hanging).
template <typename Done>
bool PollUntil(Done done, std::chrono::microseconds interval = std::chrono::milliseconds(10)) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  for (; std::chrono::steady_clock::now() < end; std::this_thread::sleep_for(interval)) {
    if (done()) return true;
  }
  return false;
}

class CliChild {
 public:
  ~CliChild() {
    if (pid_ > 0 && ::kill(pid_, SIGKILL) == 0) ::waitpid(pid_, nullptr, 0);
  }
  // env: the child's whole environment (the language comes from it).
  bool Start(std::vector<std::string> args, const std::string& workDir,
             std::vector<std::string> env = {"LANG=C"}) {
    args.insert(args.begin(), HARVELO_CLI_PATH);
    std::vector<char*> argv, envp;
    for (auto& a : args) argv.push_back(a.data());
    for (auto& e : env) envp.push_back(e.data());
    argv.push_back(nullptr);
    envp.push_back(nullptr);
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&fa, 1, logs_.file("out").c_str(), O_WRONLY | O_CREAT, 0644);
    posix_spawn_file_actions_addopen(&fa, 2, logs_.file("err").c_str(), O_WRONLY | O_CREAT, 0644);
    posix_spawn_file_actions_addchdir_np(&fa, workDir.c_str());
    std::remove(logs_.file("out").c_str());
    std::remove(logs_.file("err").c_str());
    const int rc = posix_spawn(&pid_, argv[0], &fa, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&fa);
    return rc == 0;
  }
  // The exit status; -1 when ended by a signal or killed for not ending.
  int Wait() {
    int status = 0;
    if (!PollUntil([&] { return ::waitpid(pid_, &status, WNOHANG) == pid_; })) return -1;
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  void Signal(int sig) const { ::kill(pid_, sig); }
  // Until `sig` is no longer pending in the child, that is, its handler has been entered.
  // Looked at often: a test that signals again at once must do so before the child acts
  // on the first signal and perhaps ends.
  bool WaitDelivered(int sig) const {
    return PollUntil(
        [&] {
          std::ifstream status("/proc/" + std::to_string(pid_) + "/status");
          unsigned long long pending = 0;
          for (std::string line; std::getline(status, line);) {
            if (line.starts_with("SigPnd:") || line.starts_with("ShdPnd:")) {
              pending |= std::stoull(line.substr(7), nullptr, 16);
            }
          }
          return (pending & (1ULL << (sig - 1))) == 0;
        },
        std::chrono::microseconds(100));
  }
  std::string Out() const { return ReadBytes(logs_.file("out")); }
  std::string Err() const { return ReadBytes(logs_.file("err")); }
  std::vector<std::string> OutLines() const {
    std::vector<std::string> lines;
    std::istringstream in(Out());
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

 private:
  TempDir logs_;
  pid_t pid_ = -1;
};

// Resource bodies that pass a 1 KB minimum, different for each fill character.
inline std::string ImageBody(char fill) {
  return "\xFF\xD8\xFF\xE0" + std::string(3000, fill);
}

class CliTest : public ::testing::Test {
 protected:
  void Page(const std::string& path, const std::string& html) { Serve(path, html, "text/html"); }
  void Serve(const std::string& path, const std::string& body, const char* type = "image/jpeg") {
    site.server().Get(path, [=, this](const httplib::Request& req, httplib::Response& res) {
      std::lock_guard<std::mutex> lock(mutex_);
      seen_.push_back(req.path);
      res.set_content(body, type);
    });
  }
  std::vector<std::string> SeenPaths() {
    std::lock_guard<std::mutex> lock(mutex_);
    return seen_;
  }
  std::string Url(const std::string& path) const { return site.Url(path); }
  // harvelo-cli ARGS in the working directory, to its end.
  int Run(const std::vector<std::string>& args, std::vector<std::string> env = {"LANG=C"}) {
    return cli.Start(args, work.dir(), std::move(env)) ? cli.Wait() : -2;
  }
  std::string Dest(const std::string& name) const { return work.file("dest/" + name); }

  TempDir work;
  LoopbackServer site;
  CliChild cli;

 private:
  std::mutex mutex_;
  std::vector<std::string> seen_;
};

}  // namespace harvelo::testing
