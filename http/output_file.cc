#include "http/output_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <vector>

#include "http/http_fetcher.h"
#include "http/lookahead_dir.h"
#include "platform/abandoned_files.h"

namespace harvelo {
namespace {

constexpr size_t kBufferSize = 64 * 1024;
// Names tried before giving up: partial names left by killed runs of the same process
// id, final names taken by other runs in the meantime.
constexpr int kNameAttempts = 1000;

// The partial file of the transfer under way, for RemovePartialDownloadNow, which may
// run in a signal handler: a fixed buffer and a flag that is cleared while it changes.
char g_partial[4096];
volatile std::sig_atomic_t g_partial_set = 0;

void RegisterPartial(const std::string& path) {
  g_partial_set = 0;
  std::atomic_signal_fence(std::memory_order_seq_cst);
  if (path.size() >= sizeof(g_partial)) return;
  std::memcpy(g_partial, path.c_str(), path.size() + 1);
  std::atomic_signal_fence(std::memory_order_seq_cst);
  g_partial_set = 1;
}

void UnregisterPartial() {
  g_partial_set = 0;
  std::atomic_signal_fence(std::memory_order_seq_cst);
}

std::string RegisteredPartial() {
  return g_partial_set ? std::string(g_partial) : std::string();
}

// Gives `from` the name `to` unless a file (of any kind) already holds it: 0, or the
// errno (EEXIST when the name was taken).
int TakeNameWithoutReplacing(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return errno;
  // A file system without that kind of rename: a hard link refuses an existing name too.
  if (::link(from.c_str(), to.c_str()) == 0) {
    ::unlink(from.c_str());
    return 0;
  }
  if (errno != EPERM && errno != ENOTSUP && errno != EOPNOTSUPP) return errno;
  // Nor hard links (FAT): claim the name with a file of our own, then replace it. The
  // claim is never empty, so that no other run takes it for a free name.
  const int fd = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return errno;
  const bool claimed = ::write(fd, "-", 1) == 1;
  ::close(fd);
  if (!claimed) {
    ::unlink(to.c_str());
    return EIO;
  }
  if (std::rename(from.c_str(), to.c_str()) == 0) return 0;
  const int error = errno;
  ::unlink(to.c_str());
  return error;
}

// Holds back every signal for its lifetime.
class SignalsHeld {
 public:
  SignalsHeld() {
    sigset_t all;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, &old_);
  }
  ~SignalsHeld() { pthread_sigmask(SIG_SETMASK, &old_, nullptr); }
  SignalsHeld(const SignalsHeld&) = delete;
  SignalsHeld& operator=(const SignalsHeld&) = delete;

 private:
  sigset_t old_;
};

}  // namespace

void RemovePartialDownloadNow() {
  if (g_partial_set) ::unlink(g_partial);
  RemoveAheadFilesNow();
}

namespace {

// The process id in a temporary name ("<final>.<pid>.hvpart" or "<final>.<pid>-<n>.hvpart"),
// or 0 when the name is not one.
pid_t PartialOwner(std::string_view name) {
  constexpr std::string_view kSuffix = ".hvpart";
  if (!name.ends_with(kSuffix)) return 0;
  name.remove_suffix(kSuffix.size());
  const size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return 0;
  const std::string_view digits = name.substr(dot + 1);
  return ProcessIdFrom(digits.substr(0, digits.find('-')));
}

}  // namespace

void OutputFile::RemoveAbandonedPartials(const std::string& directory) {
  const std::string dir = directory.empty() ? std::string("./") : directory;
  for (const std::string& name : FilesOfGoneProcesses(dir, PartialOwner)) {
    struct stat st {};
    const std::string path = dir + name;
    if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) ::unlink(path.c_str());
  }
}

std::string OutputFile::PartialPath(const std::string& finalPath) {
  return finalPath + "." + std::to_string(::getpid()) + ".hvpart";
}

bool OutputFile::Create(const std::string& finalPath, bool replacing) {
  Discard();
  // What could not be opened for writing under its own name can't be replaced either.
  struct stat st {};
  if (replacing && ::stat(finalPath.c_str(), &st) == 0 &&
      (S_ISDIR(st.st_mode) || ::access(finalPath.c_str(), W_OK) != 0)) {
    return false;
  }
  final_path_ = finalPath;
  // A signal that ends the program must find the file registered once it exists.
  const SignalsHeld held;
  const std::string first = PartialPath(finalPath);
  for (int attempt = 1; fd_ < 0 && attempt <= kNameAttempts; ++attempt) {
    partial_path_ = attempt == 1 ? first
                                 : first.substr(0, first.size() - 7) + "-" +
                                       std::to_string(attempt) + ".hvpart";
    fd_ = ::open(partial_path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ < 0 && errno != EEXIST) break;
  }
  if (fd_ < 0) return false;
  // A transfer started from inside another one's callback hands the name back when done.
  outer_partial_ = RegisteredPartial();
  RegisterPartial(partial_path_);
  if (!buffer_) buffer_ = std::make_unique<char[]>(kBufferSize);
  used_ = 0;
  return true;
}

void OutputFile::RestoreOuterPartial() {
  if (outer_partial_.empty()) {
    UnregisterPartial();
  } else {
    RegisterPartial(outer_partial_);
  }
}

bool OutputFile::Flush() {
  size_t done = 0;
  while (done < used_) {
    const ssize_t n = ::write(fd_, buffer_.get() + done, used_ - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  used_ = 0;
  return true;
}

bool OutputFile::Write(const char* data, size_t size) {
  if (fd_ < 0) return false;
  while (size > 0) {
    if (used_ == kBufferSize && !Flush()) return false;
    const size_t take = std::min(size, kBufferSize - used_);
    std::memcpy(buffer_.get() + used_, data, take);
    used_ += take;
    data += take;
    size -= take;
  }
  return true;
}

// The partial file stays registered until it has its final name or is gone, so that an
// ending signal never leaves it behind.
bool OutputFile::Close() {
  bool ok = Flush();
  ok = ::close(fd_) == 0 && ok;
  fd_ = -1;
  return ok;
}

bool OutputFile::Commit() {
  if (fd_ < 0) return false;
  bool ok = Close();
  if (ok) ok = std::rename(partial_path_.c_str(), final_path_.c_str()) == 0;
  if (!ok) ::unlink(partial_path_.c_str());
  RestoreOuterPartial();
  return ok;
}

bool OutputFile::MoveWithoutReplacing(const std::string& from, std::string& to,
                                      const NextName& next, bool emptyIsFree) {
  TakeName replace;
  if (emptyIsFree) {
    replace = [&from](const std::string& name) {
      return std::rename(from.c_str(), name.c_str()) == 0 ? 0 : errno;
    };
  }
  return TakeFreeName(
      to, next, [&from](const std::string& name) { return TakeNameWithoutReplacing(from, name); },
      replace);
}

bool OutputFile::TakeFreeName(std::string& to, const NextName& next, const TakeName& take,
                              const TakeName& replace) {
  for (int attempt = 1;; ++attempt) {
    int error = take(to);
    // An empty file counts as free: it is replaced, while one with data never is.
    struct stat st {};
    if (error == EEXIST && replace && ::lstat(to.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
        st.st_size == 0) {
      error = replace(to);
    }
    if (error == 0) return true;
    if (error != EEXIST || attempt >= kNameAttempts || !next) return false;
    to = next(to);
    if (to.empty()) return false;
  }
}

bool OutputFile::CommitWithoutReplacing(const NextName& next, bool emptyIsFree) {
  if (fd_ < 0) return false;
  const bool ok = Close() && MoveWithoutReplacing(partial_path_, final_path_, next, emptyIsFree);
  if (!ok) ::unlink(partial_path_.c_str());
  RestoreOuterPartial();
  return ok;
}

void OutputFile::Discard() {
  if (fd_ < 0) return;
  ::close(fd_);
  fd_ = -1;
  ::unlink(partial_path_.c_str());
  RestoreOuterPartial();
}

}  // namespace harvelo
