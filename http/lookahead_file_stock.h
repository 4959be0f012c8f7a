// Empty files for bodies (http/partial_files.h): without a name where the file system
// has them (O_TMPFILE: making one does not hold the destination directory, which the
// run's renames need, and a run that is killed leaves nothing behind), else partial
// files. With a depth, a thread of their own makes them ready ahead of need: creating a
// file is the costliest thing a harvest asks of the file system, and a transfer fetched
// ahead needs one for its body; taken from this stock, the creation happens on the other
// core while the transfers go on. The same thread writes the bodies that came whole into
// memory, so that copying them into the file doesn't hold the transfers either.
#pragma once
#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "http/partial_files.h"

namespace harvelo {

struct AheadFile {
  int fd = -1;             // open for reading and writing, empty
  std::string path;        // a name that opens it (for a file without a name, its fd's)
  bool anonymous = false;  // no name in the directory: gone once fd is closed
};

// A body written by the stock's thread while the run goes on.
struct AheadWrite {
  int fd = -1;                               // -1: the write makes the file first
  std::shared_ptr<const std::string> bytes;  // written from the start of the file
  bool done = false;
  bool ok = false;
  size_t written = 0;  // bytes in the file when it ended
  AheadFile made;      // the file the write made (fd < 0: none, or none could be made)
};

class AheadFileStock {
 public:
  // Keeps up to `depth` files of `files` ready (0: no thread; makes each when taken).
  // With `allowAnonymous` false every file has a name.
  AheadFileStock(const PartialFiles& files, size_t depth, bool allowAnonymous = true);
  // Ends the thread and removes the files nobody took.
  ~AheadFileStock();
  AheadFileStock(const AheadFileStock&) = delete;
  AheadFileStock& operator=(const AheadFileStock&) = delete;

  // A new empty file: one of the stock, else made now. fd < 0 when it can't be made.
  AheadFile Take();
  // One of the stock, if one is ready (fd < 0: none).
  AheadFile TakeReady();
  // Keeps `depth` files ready from now on, never fewer than it was made with (a stock
  // without a thread stays without one): over a server that multiplexes, many bodies
  // come at once, and each file made while they come holds the run.
  void Deepen(size_t depth);

  // Has the thread write `bytes` into the empty file `fd` (at once when there is no
  // thread). `fd` stays open until Wait has answered. `fd` -1: the write takes a file of
  // the stock, or makes one (AheadWrite::made), so that a body that came whole into
  // memory never has its file made while the transfers wait for that.
  // The thread is woken for every few writes, and by HandOver.
  std::shared_ptr<AheadWrite> WriteLater(int fd, std::shared_ptr<const std::string> bytes);
  // Wakes the thread for the writes queued so far: the caller is about to wait.
  void HandOver();
  // Until the write is done; false when it failed.
  bool Wait(AheadWrite& write);
  // The body is not wanted any more: a write not begun is not done (nor its file made);
  // one under way is waited for.
  void Forget(AheadWrite& write);

  const PartialFiles& files() const { return files_; }

 private:
  AheadFile Make();
  void Work();
  // Writes a job taken off the queue (the lock let go meanwhile) and tells its waiters.
  void Perform(std::unique_lock<std::mutex>& lock, AheadWrite& write);

  const PartialFiles& files_;
  const size_t base_depth_;
  size_t depth_;                 // under mutex_
  std::atomic<bool> anonymous_;  // cleared once the file system refuses them
  std::mutex mutex_;
  std::condition_variable wanted_;
  std::condition_variable written_;
  std::deque<AheadFile> ready_;
  std::deque<std::shared_ptr<AheadWrite>> writes_;  // first come, first written
  bool failed_ = false;  // the thread could not make a file: it stops trying
  bool ending_ = false;
  std::thread worker_;
};

}  // namespace harvelo
