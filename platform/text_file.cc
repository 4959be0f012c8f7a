#include "platform/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "platform/format.h"

namespace harvelo {
namespace {

constexpr size_t kBlockSize = 64 * 1024;

// Opens path (flags without O_NONBLOCK) only when it is a regular file: -1 otherwise.
// The open does not wait for a FIFO's other end, and blocks normally afterwards.
int OpenRegular(const std::string& path, int flags, mode_t mode = 0) {
  const int fd = ::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC, mode);
  if (fd < 0) return -1;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return -1;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

std::FILE* OpenStream(int fd, const char* mode) {
  if (fd < 0) return nullptr;
  std::FILE* f = ::fdopen(fd, mode);
  if (f == nullptr) ::close(fd);
  return f;
}

}  // namespace

bool TextReader::Open(const std::string& path, bool anyKind) {
  Close();
  file_.reset(anyKind ? std::fopen(path.c_str(), "rb")
                      : OpenStream(OpenRegular(path, O_RDONLY), "rb"));
  if (file_ == nullptr) return false;
  block_ = std::make_unique<char[]>(kBlockSize);
  return true;
}

bool TextReader::OpenMemory(std::string_view data) {
  Close();
  memory_.assign(data.data(), data.size());
  memory_open_ = true;
  buf_ = memory_.data();
  len_ = memory_.size();
  pos_ = 0;
  return true;
}

void TextReader::Close() {
  file_.reset();
  memory_open_ = false;
  memory_.clear();
  block_.reset();
  buf_ = nullptr;
  pos_ = len_ = 0;
  putback_ = -1;
}

bool TextReader::Fill() {
  if (file_ == nullptr) return false;
  const size_t n = std::fread(block_.get(), 1, kBlockSize, file_.get());
  buf_ = block_.get();
  pos_ = 0;
  len_ = n;
  return n > 0;
}

void TextReader::SkipTo(char stop) {
  if (putback_ >= 0) {
    if (putback_ == static_cast<unsigned char>(stop)) return;
    putback_ = -1;
  }
  for (;;) {
    if (pos_ == len_ && !Fill()) return;
    if (const void* hit = std::memchr(buf_ + pos_, stop, len_ - pos_)) {
      pos_ = static_cast<size_t>(static_cast<const char*>(hit) - buf_);
      return;
    }
    pos_ = len_;
  }
}

bool TextReader::ReadLine(std::string& line, size_t maxChars) {
  line.clear();
  while (line.size() < maxChars) {
    const int c = Get();
    if (c == EOF) break;
    line.push_back(static_cast<char>(c));
    if (c == '\n') break;
  }
  return !line.empty();
}

bool TextWriter::Open(const std::string& path, Mode mode) {
  Close();
  failed_ = false;
  last_ = '\0';
  path_ = path;
  temp_path_.clear();
  struct stat st {};
  const bool exists = ::lstat(path.c_str(), &st) == 0;
  if (mode == Mode::kReplaceAtomically) {
    // The rename replaces a link itself, never its target; anything else but a regular
    // file is not ours to replace.
    if (exists && !S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode)) return false;
    static std::atomic<unsigned> counter{0};
    temp_path_ = StrPrintf("%s.tmp-%ld-%u", path.c_str(), static_cast<long>(getpid()), counter++);
    const int fd = ::open(temp_path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
      temp_path_.clear();
      return false;
    }
    file_.reset(fdopen(fd, "wb"));
    if (file_ == nullptr) {
      ::close(fd);
      ::unlink(temp_path_.c_str());
      temp_path_.clear();
      return false;
    }
    return true;
  }
  if (mode == Mode::kCreateNew) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    file_.reset(OpenStream(fd, "wb"));
    return file_ != nullptr;
  }
  // Not even opened when it is plainly something else (a device may act on an open).
  if (exists && !S_ISREG(st.st_mode)) return false;
  const bool append = mode == Mode::kAppend;
  const int flags = O_CREAT | O_NOFOLLOW | (append ? O_APPEND : O_TRUNC);
  // Read access too, for the last character of an appended file, when it is allowed.
  int fd = OpenRegular(path, O_RDWR | flags, 0666);
  if (fd < 0 && errno == EACCES) fd = OpenRegular(path, O_WRONLY | flags, 0666);
  if (fd < 0) return false;
  if (append && ::fstat(fd, &st) == 0 && st.st_size > 0) {
    // An existing file that ends in CR must not have its CR doubled by a leading LF.
    char c = '\0';
    if (::pread(fd, &c, 1, st.st_size - 1) == 1) last_ = c;
  }
  file_.reset(OpenStream(fd, append ? "ab" : "wb"));
  return file_ != nullptr;
}

bool TextWriter::Flush() {
  if (file_ == nullptr) return false;
  if (std::fflush(file_.get()) != 0) failed_ = true;
  return !failed_;
}

bool TextWriter::Write(std::string_view text) {
  if (file_ == nullptr) return false;
  std::string out;
  out.reserve(text.size() + text.size() / 16 + 2);
  for (const char c : text) {
    if (c == '\n' && last_ != '\r') out.push_back('\r');
    out.push_back(c);
    last_ = c;
  }
  if (std::fwrite(out.data(), 1, out.size(), file_.get()) != out.size()) failed_ = true;
  return !failed_;
}

bool TextWriter::Printf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  const std::string text = StrVPrintf(format, args);
  va_end(args);
  return Write(text);
}

bool TextWriter::PrintfText(const char* format, ...) {
  va_list args;
  va_start(args, format);
  const std::string text = StrVPrintf(format, args);
  va_end(args);
  return Write(text);
}

bool TextWriter::Close() {
  if (file_ == nullptr) return !failed_;
  if (std::fflush(file_.get()) != 0 || std::ferror(file_.get()) != 0) failed_ = true;
  if (!temp_path_.empty() && !failed_ && ::fsync(fileno(file_.get())) != 0) failed_ = true;
  if (std::fclose(file_.release()) != 0) failed_ = true;
  if (!temp_path_.empty()) {
    if (failed_ || std::rename(temp_path_.c_str(), path_.c_str()) != 0) {
      failed_ = true;
      ::unlink(temp_path_.c_str());
    }
    temp_path_.clear();
  }
  return !failed_;
}

bool ReadTextFile(const std::string& path, std::string& out) {
  out.clear();
  TextReader reader;
  if (!reader.Open(path)) return false;
  for (int c = reader.Get(); c != EOF; c = reader.Get()) out.push_back(static_cast<char>(c));
  return true;
}

}  // namespace harvelo
