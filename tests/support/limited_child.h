// Runs a piece of a test in a forked child with its address space limited, as `ulimit -v`
// does, so that a runaway allocation ends the child instead of swamping the machine. The
// sanitizers reserve terabytes of shadow address space: under them no limit is set.
#pragma once
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstddef>
#include <functional>

#if defined(__SANITIZE_ADDRESS__)
#define HARVELO_TEST_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define HARVELO_TEST_SANITIZED 1
#endif
#endif

namespace harvelo::testing {

// The child's exit status (what `work` returned; 125 when it threw), or 128 + the signal
// that ended it (SIGALRM after `seconds`: it hung).
inline int RunWithMemoryLimit(size_t bytes, const std::function<int()>& work,
                              unsigned seconds = 60) {
  const pid_t pid = ::fork();
  if (pid == 0) {
#ifndef HARVELO_TEST_SANITIZED
    const rlimit limit{bytes, bytes};
    ::setrlimit(RLIMIT_AS, &limit);
#else
    (void)bytes;
#endif
    ::alarm(seconds);
    int status = 125;  // an exception escaped (bad_alloc, ...)
    try {
      status = work();
    } catch (...) {
    }
    ::_exit(status);
  }
  int status = 0;
  if (pid < 0 || ::waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace harvelo::testing
