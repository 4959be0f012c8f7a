#include "http/lookahead_file_stock.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace harvelo {
namespace {

// Writes are handed to the thread a few at a time: waking it costs the run a system
// call and the other core a switch, which is more than writing one picture. A body
// whose write was never handed over is written by the run itself when it names it.
constexpr size_t kWritesPerWake = 4;

bool WriteAll(AheadWrite& write) {
  const std::string& bytes = *write.bytes;
  for (size_t& done = write.written; done < bytes.size();) {
    const ssize_t n =
        ::pwrite(write.fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

AheadFileStock::AheadFileStock(const PartialFiles& files, size_t depth, bool allowAnonymous)
    : files_(files), base_depth_(depth), depth_(depth), anonymous_(allowAnonymous) {
  if (depth_ == 0) return;
  // The thread takes no signals: they go to the run's thread, whose handler may wait for
  // a file being made here.
  sigset_t all, old;
  sigfillset(&all);
  pthread_sigmask(SIG_BLOCK, &all, &old);
  worker_ = std::thread([this] { Work(); });
  pthread_sigmask(SIG_SETMASK, &old, nullptr);
}

AheadFileStock::~AheadFileStock() {
  {
    std::lock_guard lock(mutex_);
    ending_ = true;
  }
  wanted_.notify_all();
  if (worker_.joinable()) worker_.join();
  for (AheadFile& file : ready_) {
    ::close(file.fd);
    if (!file.anonymous) ::unlink(file.path.c_str());
  }
}

AheadFile AheadFileStock::Make() {
  AheadFile file;
#ifdef O_TMPFILE
  if (anonymous_) {
    file.fd = ::open(files_.Directory().c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
    // Its name under /proc is what opens it (a page scanned ahead).
    const std::string proc = "/proc/self/fd/" + std::to_string(file.fd);
    if (file.fd >= 0 && ::access(proc.c_str(), F_OK) == 0) {
      file.path = proc;
      file.anonymous = true;
      return file;
    }
    if (file.fd >= 0) ::close(file.fd);
    anonymous_ = false;
  }
#endif
  file.fd = files_.Create(file.path);
  return file;
}

AheadFile AheadFileStock::Take() {
  AheadFile file = TakeReady();
  return file.fd >= 0 ? std::move(file) : Make();
}

AheadFile AheadFileStock::TakeReady() {
  std::lock_guard lock(mutex_);
  if (ready_.empty()) return {};
  AheadFile file = std::move(ready_.front());
  ready_.pop_front();
  // The thread is woken once the stock runs half empty, not for every file.
  if (ready_.size() <= depth_ / 2) wanted_.notify_one();
  return file;
}

void AheadFileStock::Deepen(size_t depth) {
  if (!worker_.joinable()) return;
  {
    std::lock_guard lock(mutex_);
    depth = std::max(depth, base_depth_);
    if (depth == depth_) return;
    const bool deeper = depth > depth_;
    depth_ = depth;
    if (!deeper) return;
  }
  wanted_.notify_one();
}

std::shared_ptr<AheadWrite> AheadFileStock::WriteLater(int fd,
                                                       std::shared_ptr<const std::string> bytes) {
  auto write = std::make_shared<AheadWrite>();
  write->fd = fd;
  write->bytes = std::move(bytes);
  if (!worker_.joinable()) {
    std::unique_lock lock(mutex_);
    Perform(lock, *write);
    return write;
  }
  bool wake = false;
  {
    std::lock_guard lock(mutex_);
    writes_.push_back(write);
    wake = writes_.size() >= kWritesPerWake;
  }
  if (wake) wanted_.notify_one();
  return write;
}

void AheadFileStock::HandOver() {
  bool wake = false;
  {
    std::lock_guard lock(mutex_);
    wake = !writes_.empty();
  }
  if (wake) wanted_.notify_one();
}

bool AheadFileStock::Wait(AheadWrite& write) {
  std::unique_lock lock(mutex_);
  // Not begun yet (the thread may be making a file, which can take milliseconds on a
  // busy file system): the caller writes it at once rather than wait behind that.
  const auto queued = std::find_if(writes_.begin(), writes_.end(),
                                   [&write](const auto& w) { return w.get() == &write; });
  if (queued != writes_.end()) {
    const std::shared_ptr<AheadWrite> own = *queued;
    writes_.erase(queued);
    Perform(lock, *own);
  }
  written_.wait(lock, [&write] { return write.done; });
  return write.ok;
}

void AheadFileStock::Forget(AheadWrite& write) {
  std::unique_lock lock(mutex_);
  const auto queued = std::find_if(writes_.begin(), writes_.end(),
                                   [&write](const auto& w) { return w.get() == &write; });
  if (queued != writes_.end()) {
    writes_.erase(queued);
    write.done = true;
    return;
  }
  written_.wait(lock, [&write] { return write.done; });
}

void AheadFileStock::Perform(std::unique_lock<std::mutex>& lock, AheadWrite& write) {
  if (write.fd < 0 && !ready_.empty()) {
    write.made = std::move(ready_.front());
    ready_.pop_front();
    write.fd = write.made.fd;
    // Taken by the run (Wait): the thread refills as after Take.
    if (ready_.size() <= depth_ / 2) wanted_.notify_one();
  }
  lock.unlock();
  if (write.fd < 0) {
    write.made = Make();
    write.fd = write.made.fd;
  }
  const bool ok = write.fd >= 0 && WriteAll(write);
  lock.lock();
  write.ok = ok;
  write.done = true;
  written_.notify_all();
}

void AheadFileStock::Work() {
#ifdef __linux__
  pthread_setname_np(pthread_self(), "harvelo-files");
#endif
  std::unique_lock lock(mutex_);
  for (;;) {
    // Writes come first: the run may be waiting for one. Those asked for are done
    // even when the stock ends.
    wanted_.wait(lock, [this] {
      return ending_ || !writes_.empty() || (!failed_ && ready_.size() < depth_);
    });
    if (!writes_.empty()) {
      const std::shared_ptr<AheadWrite> write = std::move(writes_.front());
      writes_.pop_front();
      Perform(lock, *write);
      continue;
    }
    if (ending_) return;
    lock.unlock();
    AheadFile file = Make();
    lock.lock();
    if (file.fd < 0) {
      // The directory takes no more files: Take() meets the failure itself.
      failed_ = true;
      continue;
    }
    ready_.push_back(std::move(file));
  }
}

}  // namespace harvelo
