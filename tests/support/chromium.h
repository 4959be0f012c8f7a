// A real Chromium for a test: a fresh profile, remote debugging on a free loopback port,
// headless unless a display is given. The browser runs in its own process group, which
// is ended (and waited for) with the object.
#pragma once
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "support/temp_dir.h"

extern char** environ;

namespace harvelo::testing {

class Chromium {
 public:
  // Starts the browser on `url`. With `headless` false it opens a window on $DISPLAY.
  explicit Chromium(const std::string& url, bool headless = true) {
    std::vector<std::string> args{"chromium"};
    for (const char* flag : kFlags) args.push_back(flag);
    args.push_back("--user-data-dir=" + profile_.dir() + "profile");
    args.push_back("--remote-debugging-port=0");
    if (headless) args.push_back("--headless");
    args.push_back(url);
    // Its own temporary files (the singleton socket's folder among them) go into the
    // profile's folder, which goes with the test, not into /tmp.
    const std::string tmp = profile_.dir() + "tmp";
    ::mkdir(tmp.c_str(), 0700);
    pid_ = Start(args, tmp);
  }
  ~Chromium() { Stop(); }
  Chromium(const Chromium&) = delete;
  Chromium& operator=(const Chromium&) = delete;

  bool started() const { return pid_ > 0; }

  // The DevTools port the browser chose; 0 when it did not say so within `wait`.
  int WaitForPort(std::chrono::milliseconds wait = std::chrono::seconds(30)) {
    const auto end = std::chrono::steady_clock::now() + wait;
    while (std::chrono::steady_clock::now() < end) {
      std::ifstream in(profile_.dir() + "profile/DevToolsActivePort");
      int port = 0;
      if (in >> port && port > 0) return port;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return 0;
  }

  void Stop() {
    if (pid_ <= 0) return;
    ::kill(-pid_, SIGTERM);
    int status = 0;
    for (int i = 0; i < 100 && ::waitpid(pid_, &status, WNOHANG) == 0; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ::kill(-pid_, SIGKILL);
    ::waitpid(pid_, &status, 0);
    pid_ = 0;
  }

  // The flags every test run needs: root needs --no-sandbox, and the rest keeps the
  // browser off the network and quiet.
  static constexpr const char* kFlags[] = {"--no-sandbox",
                                           "--disable-gpu",
                                           "--no-first-run",
                                           "--disable-sync",
                                           "--disable-component-update",
                                           "--disable-background-networking",
                                           "--no-default-browser-check",
                                           "--password-store=basic",
                                           "--disable-dev-shm-usage"};

  // Starts `args` in a new process group with its output thrown away, with TMPDIR set
  // to `tmpDir` when it is given; the pid or 0.
  static pid_t Start(const std::vector<std::string>& args, const std::string& tmpDir = "") {
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
      if (tmpDir.empty() || std::strncmp(*e, "TMPDIR=", 7) != 0) env.emplace_back(*e);
    }
    if (!tmpDir.empty()) env.push_back("TMPDIR=" + tmpDir);
    std::vector<char*> envp;
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attr, 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, argv[0], &actions, &attr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    return rc == 0 ? pid : 0;
  }

 private:
  TempDir profile_;
  pid_t pid_ = 0;
};

}  // namespace harvelo::testing
