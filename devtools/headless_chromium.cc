#include "devtools/headless_chromium.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <string_view>
#include <thread>
#include <vector>

extern char** environ;

#include "platform/directories.h"

namespace harvelo::devtools {
namespace {

// What the signal path needs, set before the browser starts and cleared after it ended.
volatile sig_atomic_t g_pid = 0;
char g_profile[PATH_MAX] = {};

// Removes what directory `fd` holds, with system calls only (the signal path uses it).
void EmptyDirectoryAt(int fd, int depth) {
  alignas(8) char buffer[4096];
  for (;;) {
    const long n = ::syscall(SYS_getdents64, fd, buffer, sizeof buffer);
    if (n <= 0) return;
    bool removed = false;
    for (long pos = 0; pos < n;) {
      struct Entry {
        unsigned long long ino;
        long long off;
        unsigned short reclen;
        unsigned char type;
        char name[1];
      };
      const auto* entry = reinterpret_cast<const Entry*>(buffer + pos);
      pos += entry->reclen;
      const char* name = entry->name;
      if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) continue;
      if (::unlinkat(fd, name, 0) == 0) {
        removed = true;
        continue;
      }
      if (depth < 64) {
        const int child = ::openat(fd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (child >= 0) {
          EmptyDirectoryAt(child, depth + 1);
          ::close(child);
        }
      }
      if (::unlinkat(fd, name, AT_REMOVEDIR) == 0) removed = true;
    }
    // The listing changes under removal: read it again from its start.
    if (removed)
      ::lseek(fd, 0, SEEK_SET);
    else
      return;
  }
}

void RemoveTree(const char* path) {
  if (path[0] == '\0') return;
  const int fd = ::open(path, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd >= 0) {
    EmptyDirectoryAt(fd, 0);
    ::close(fd);
  }
  ::rmdir(path);
}

// Reads up to `size` - 1 bytes of a /proc file into `out`, NUL-terminated; the count.
ssize_t ReadProcFile(const char* pid, const char* file, char* out, size_t size) {
  char path[64] = "/proc/";
  size_t len = 6;
  for (const char* c = pid; *c != '\0' && len < 40; ++c) path[len++] = *c;
  for (const char* c = file; *c != '\0'; ++c) path[len++] = *c;
  path[len] = '\0';
  const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return -1;
  const ssize_t got = ::read(fd, out, size - 1);
  ::close(fd);
  out[got > 0 ? got : 0] = '\0';
  return got;
}

// True when the `size` bytes at `text` hold `needle` (NULs and all).
bool Holds(const char* text, size_t size, const char* needle) {
  size_t n = 0;
  while (needle[n] != '\0') ++n;
  for (size_t i = 0; n > 0 && i + n <= size; ++i) {
    size_t k = 0;
    while (k < n && text[i + k] == needle[k]) ++k;
    if (k == n) return true;
  }
  return false;
}

// The browser's processes still alive (not yet zombies): its group, and the crash
// handlers it starts in groups of their own, known by the profile on their command line.
// With `kill` each one found is sent SIGKILL. System calls only (the signal path).
bool SweepBrowser(pid_t pgid, const char* profile, bool kill) {
  const int proc = ::open("/proc", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (proc < 0) return false;
  bool alive = false;
  alignas(8) char buffer[4096];
  long n = 0;
  while ((n = ::syscall(SYS_getdents64, proc, buffer, sizeof buffer)) > 0) {
    for (long pos = 0; pos < n;) {
      const auto reclen = *reinterpret_cast<const unsigned short*>(buffer + pos + 16);
      const char* name = buffer + pos + 19;
      pos += reclen;
      if (name[0] < '1' || name[0] > '9') continue;
      char stat[512];
      if (ReadProcFile(name, "/stat", stat, sizeof stat) <= 0) continue;
      // "pid (name) S ppid pgrp ...": the name may hold anything, so from its last ')'.
      const char* p = nullptr;
      for (const char* c = stat; *c != '\0'; ++c) {
        if (*c == ')') p = c;
      }
      if (p == nullptr || p[1] != ' ') continue;
      const char state = p[2];
      if (state == 'Z' || state == 'X') continue;
      p += 3;
      for (int field = 0; field < 2 && *p != '\0';) {  // past ppid to pgrp
        if (*p++ == ' ') ++field;
      }
      long pgrp = 0;
      while (*p >= '0' && *p <= '9') pgrp = pgrp * 10 + (*p++ - '0');
      bool ours = pgrp == pgid;
      if (!ours && profile[0] != '\0') {
        char cmdline[4096];
        const ssize_t got = ReadProcFile(name, "/cmdline", cmdline, sizeof cmdline);
        ours = got > 0 && Holds(cmdline, static_cast<size_t>(got), profile);
      }
      if (!ours) continue;
      alive = true;
      if (kill) {
        long pid = 0;
        for (const char* c = name; *c >= '0' && *c <= '9'; ++c) pid = pid * 10 + (*c - '0');
        ::kill(static_cast<pid_t>(pid), SIGKILL);
      }
    }
  }
  ::close(proc);
  return alive;
}

// Kills the group and waits for its leader, then (briefly) for the rest: renderers and
// helpers die with it but may still be ending, and writing into the profile; the crash
// handlers live in groups of their own.
void KillGroup(pid_t pid, const char* profile) {
  ::kill(-pid, SIGKILL);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  const timespec pause{0, 5 * 1000 * 1000};
  for (int i = 0; i < 400 && SweepBrowser(pid, profile, true); ++i) ::nanosleep(&pause, nullptr);
}

}  // namespace

std::string ChromiumProgram() {
  const char* named = std::getenv("HARVELO_CHROMIUM");
  return named != nullptr && *named != '\0' ? named : "/usr/bin/chromium";
}

bool HeadlessChromium::Start(const std::string& program, std::string& error,
                             std::chrono::milliseconds wait) {
  Stop();
  if (::access(program.c_str(), X_OK) != 0) {
    error = program;
    return false;
  }
  const std::string& temp = TempDirectory();
  if (temp.empty()) {
    error = "no temporary folder";
    return false;
  }
  std::string pattern = temp + "chromium-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr || pattern.size() >= sizeof g_profile) {
    error = std::strerror(errno);
    return false;
  }
  profile_ = pattern;
  std::memcpy(g_profile, profile_.c_str(), profile_.size() + 1);

  std::vector<std::string> args{program,
                                "--headless",
                                "--no-sandbox",
                                "--disable-gpu",
                                "--disable-quic",
                                "--no-first-run",
                                "--disable-background-networking",
                                "--disable-component-update",
                                "--disable-sync",
                                "--no-default-browser-check",
                                "--password-store=basic",
                                "--disable-dev-shm-usage",
                                "--disable-breakpad",
                                "--disable-crash-reporter",
                                "--user-data-dir=" + profile_,
                                "--remote-debugging-port=0",
                                "about:blank"};
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  // Whatever the browser writes outside its profile (its singleton socket, caches, crash
  // reports) goes into the profile too: nothing of the user's own is touched, and
  // nothing stays behind when the profile goes.
  std::vector<std::string> env;
  constexpr const char* kRedirected[] = {"HOME", "TMPDIR", "XDG_CONFIG_HOME", "XDG_CACHE_HOME"};
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string_view entry(*e);
    const bool redirected =
        std::any_of(std::begin(kRedirected), std::end(kRedirected),
                    [&](const char* name) { return entry.starts_with(std::string(name) + "="); });
    if (!redirected) env.emplace_back(entry);
  }
  for (const char* name : kRedirected) env.push_back(std::string(name) + "=" + profile_);
  std::vector<char*> envp;
  for (auto& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  const pid_t parent = ::getpid();
  const pid_t pid = ::fork();
  if (pid < 0) {
    error = std::strerror(errno);
    Stop();
    return false;
  }
  if (pid == 0) {
    // Its own group, so that ending it ends every process it started; and it dies with
    // this process, however this one ends.
    ::setpgid(0, 0);
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent) ::_exit(127);
    const int null = ::open("/dev/null", O_RDWR | O_CLOEXEC);
    if (null >= 0) {
      ::dup2(null, 0);
      ::dup2(null, 1);
      ::dup2(null, 2);
    }
    ::execve(argv[0], argv.data(), envp.data());
    ::_exit(127);
  }
  ::setpgid(pid, pid);  // also here: the group exists before either side goes on
  pid_ = pid;
  g_pid = pid;

  const auto end = std::chrono::steady_clock::now() + wait;
  while (std::chrono::steady_clock::now() < end) {
    std::ifstream in(profile_ + "/DevToolsActivePort");
    int port = 0;
    std::string path;
    if (in >> port >> path && port > 0 && path.starts_with("/devtools/browser/")) {
      port_ = port;
      browser_path_ = path;
      return true;
    }
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = 0;
      g_pid = 0;
      error = program + " ended at once";
      Stop();
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  error = program + " did not open its DevTools port";
  Stop();
  return false;
}

void HeadlessChromium::Stop() {
  if (pid_ > 0) {
    g_pid = 0;
    KillGroup(pid_, g_profile);
    pid_ = 0;
  }
  if (!profile_.empty()) {
    // The group's other members die with their leader, but one may still be ending
    // and writing into the profile: removed again until nothing is left.
    RemoveTree(profile_.c_str());
    for (int i = 0; i < 100 && ::access(profile_.c_str(), F_OK) == 0; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      RemoveTree(profile_.c_str());
    }
    g_profile[0] = '\0';
    profile_.clear();
  }
  port_ = 0;
  browser_path_.clear();
}

void EndHeadlessChromiumNow() {
  const pid_t pid = g_pid;
  if (pid > 0) KillGroup(pid, g_profile);
  if (g_profile[0] == '\0') return;
  RemoveTree(g_profile);
  // The process's temporary folder holds it; the folder goes too when nothing else is
  // left in it (the normal end removes it anyway).
  char parent[PATH_MAX];
  size_t slash = 0;
  for (size_t i = 0; g_profile[i] != '\0'; ++i) {
    parent[i] = g_profile[i];
    if (g_profile[i] == '/') slash = i;
  }
  if (slash == 0) return;
  parent[slash] = '\0';
  ::rmdir(parent);
}

}  // namespace harvelo::devtools
