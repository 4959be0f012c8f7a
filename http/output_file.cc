#include "http/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

#include "http/http_fetcher.h"
#include "http/lookahead_dir.h"

namespace harvelo {
namespace {

constexpr size_t kBufferSize = 64 * 1024;

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

}  // namespace

void RemovePartialDownloadNow() {
  if (g_partial_set) ::unlink(g_partial);
  RemoveAheadFilesNow();
}

std::string OutputFile::PartialPath(const std::string& finalPath) {
  return finalPath + ".hvpart";
}

bool OutputFile::Create(const std::string& finalPath) {
  Discard();
  // What could not be opened for writing under its own name can't be replaced either.
  struct stat st {};
  if (::stat(finalPath.c_str(), &st) == 0 &&
      (S_ISDIR(st.st_mode) || ::access(finalPath.c_str(), W_OK) != 0)) {
    return false;
  }
  final_path_ = finalPath;
  partial_path_ = PartialPath(finalPath);
  fd_ = ::open(partial_path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666);
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

bool OutputFile::Commit() {
  if (fd_ < 0) return false;
  bool ok = Flush();
  ok = ::close(fd_) == 0 && ok;
  fd_ = -1;
  RestoreOuterPartial();
  if (ok) ok = std::rename(partial_path_.c_str(), final_path_.c_str()) == 0;
  if (!ok) ::unlink(partial_path_.c_str());
  return ok;
}

void OutputFile::Discard() {
  if (fd_ < 0) return;
  ::close(fd_);
  fd_ = -1;
  RestoreOuterPartial();
  ::unlink(partial_path_.c_str());
}

}  // namespace harvelo
