#include "platform/text_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cstdarg>
#include <cstdio>

#include "platform/format.h"

namespace harvelo {
namespace {

constexpr size_t kBlockSize = 64 * 1024;

}  // namespace

bool TextReader::Open(const std::string& path) {
  Close();
  file_.reset(std::fopen(path.c_str(), "rb"));
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
  if (mode == Mode::kReplaceAtomically) {
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
  file_.reset(std::fopen(path.c_str(), mode == Mode::kAppend ? "ab" : "wb"));
  if (file_ != nullptr && mode == Mode::kAppend) {
    // An existing file that ends in CR must not have its CR doubled by a leading LF.
    std::FILE* probe = std::fopen(path.c_str(), "rb");
    if (probe != nullptr) {
      if (std::fseek(probe, -1, SEEK_END) == 0) {
        const int c = std::fgetc(probe);
        if (c != EOF) last_ = static_cast<char>(c);
      }
      std::fclose(probe);
    }
  }
  return file_ != nullptr;
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
