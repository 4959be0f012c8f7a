// Runs a program for a benchmark the way every peer is run: in its own directory, with
// a plain environment (no proxy, no user configuration), its output into out.txt and
// err.txt there. Tells the wall and CPU time and the peak resident memory.
#pragma once
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace harvelo::bench {

struct RunOutcome {
  double seconds = -1;    // -1: it could not start or did not end with status 0
  double cpuSeconds = 0;  // user + system
  long maxRssKb = 0;
};

inline RunOutcome TimedRun(std::vector<std::string> args, const testing::TempDir& dir) {
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::string home = "HOME=" + dir.dir();
  std::vector<char*> envp = {const_cast<char*>("LANG=C"), const_cast<char*>("PATH=/usr/bin:/bin"),
                             home.data(), nullptr};
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&fa, 1, dir.file("out.txt").c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&fa, 2, dir.file("err.txt").c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addchdir_np(&fa, dir.dir().c_str());
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = -1;
  const int rc = posix_spawnp(&pid, argv[0], &fa, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&fa);
  RunOutcome outcome;
  if (rc != 0) return outcome;
  int status = 0;
  rusage usage{};
  ::wait4(pid, &status, 0, &usage);
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0) outcome.seconds = took.count();
  outcome.maxRssKb = usage.ru_maxrss;
  outcome.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                       static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  return outcome;
}

}  // namespace harvelo::bench
