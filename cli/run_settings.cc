#include "cli/run_settings.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

namespace harvelo::cli {

Settings RunSettings(const Settings& loaded, const CommandLine& line) {
  Settings settings = loaded;
  if (line.targetTypes) settings.targetTypes = *line.targetTypes;
  if (line.minimumSizeKb) settings.minimumSizeKb = *line.minimumSizeKb;
  if (line.noWebAddressLog) settings.generateWebAddressLog = 0;
  if (line.autoIncrement) settings.autoIncrement = *line.autoIncrement;
  if (line.modernPages) settings.modernPages = *line.modernPages;
  if (line.minimumPictureWidth) settings.minimumPictureWidth = *line.minimumPictureWidth;
  if (line.minimumPictureHeight) settings.minimumPictureHeight = *line.minimumPictureHeight;
  if (line.keepDuplicates) settings.skipDuplicates = 0;
  if (line.skipKnownFiles) {
    settings.skipDuplicates = 1;
    settings.skipKnownFiles = 1;
  }
  if (line.parallelTransfers) settings.parallelTransfers = *line.parallelTransfers;
  if (line.http2Streams) settings.http2Streams = *line.http2Streams;
  if (line.compressedPages) settings.compressedPages = *line.compressedPages;
  if (line.renderedPages) settings.renderedPages = *line.renderedPages;
  return settings;
}

Settings SettingsToSave(const Settings& loaded, const Settings& afterRun, const CommandLine& line) {
  Settings saved = loaded;
  saved.recentAddresses = afterRun.recentAddresses;
  if (!line.destinationDir) saved.destinationDir = afterRun.destinationDir;
  if (!line.autoIncrement) saved.autoIncrement = afterRun.autoIncrement;
  return saved;
}

FileSnapshot::FileSnapshot(std::string path) : path_(std::move(path)) {
  struct stat st {};
  if (::lstat(path_.c_str(), &st) != 0) return;
  // Only a regular file is read (a FIFO would hold the run, a directory can't be read);
  // anything else is left as it is by Restore.
  kind_ = Kind::kOther;
  if (!S_ISREG(st.st_mode)) return;
  const int fd = ::open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return;
  char block[8192];
  ssize_t n = 0;
  while ((n = ::read(fd, block, sizeof block)) > 0) bytes_.append(block, static_cast<size_t>(n));
  ::close(fd);
  if (n == 0) kind_ = Kind::kRegular;
}

void FileSnapshot::Restore() const {
  if (kind_ == Kind::kAbsent) {
    struct stat st {};
    // Only the regular file the run made is removed.
    if (::lstat(path_.c_str(), &st) == 0 && S_ISREG(st.st_mode)) ::unlink(path_.c_str());
    return;
  }
  if (kind_ != Kind::kRegular) return;
  // Written beside it and renamed, so the file is never left half written; the
  // temporary name is new, never a link's target.
  const std::string temp = path_ + ".restore-" + std::to_string(::getpid());
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) return;
  size_t done = 0;
  while (done < bytes_.size()) {
    const ssize_t n = ::write(fd, bytes_.data() + done, bytes_.size() - done);
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  const bool ok = ::close(fd) == 0 && done == bytes_.size();
  if (!ok || std::rename(temp.c_str(), path_.c_str()) != 0) ::unlink(temp.c_str());
}

}  // namespace harvelo::cli
