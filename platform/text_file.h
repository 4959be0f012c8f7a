// Text-mode files. Reading: a CR LF pair reads as one '\n' (a lone CR stays).
// Writing: every line break is written as CR LF, so that files are the same on every
// platform. Text is bytes.
#pragma once
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

namespace harvelo {

struct FileCloser {
  void operator()(std::FILE* f) const {
    if (f != nullptr) std::fclose(f);
  }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

class TextReader {
 public:
  TextReader() = default;
  explicit TextReader(const std::string& path) { Open(path); }

  // Closes any open file, then opens `path` for reading. True when it opened. Unless
  // `anyKind`, only a regular file is read: a directory, FIFO or device named like the
  // file reads as absent (a FIFO would hold the program forever).
  bool Open(const std::string& path, bool anyKind = false);
  // Reads from a copy of `data` instead of a file (fuzzers, tests).
  bool OpenMemory(std::string_view data);
  void Close();
  bool IsOpen() const { return file_ != nullptr || memory_open_; }

  // The next character (0 to 255), or EOF at the end of the file or when closed.
  int Get() {
    if (putback_ >= 0) return std::exchange(putback_, -1);
    if (pos_ == len_ && !Fill()) return EOF;
    const unsigned char c = static_cast<unsigned char>(buf_[pos_++]);
    if (c == '\r') {
      if (pos_ == len_ && !Fill()) return '\r';
      if (buf_[pos_] == '\n') {
        ++pos_;
        return '\n';
      }
    }
    return c;
  }
  // Puts back one character (the last one read), to be returned by the next Get.
  void Unget(int c) {
    if (c != EOF) putback_ = c;
  }

  // The characters that the next Gets return as they are, read already: what is left of
  // the block read last, once no character is put back (a CR in it may still become part
  // of a line break). Skip(n) passes over the first n of them.
  std::string_view Buffered() const {
    return putback_ >= 0 || buf_ == nullptr ? std::string_view()
                                            : std::string_view(buf_ + pos_, len_ - pos_);
  }
  void Skip(size_t n) { pos_ += n; }
  // Passes over everything up to the next `stop` (read next), or to the end; `stop` is
  // neither CR nor LF.
  void SkipTo(char stop);

  // Like fgets: reads characters until a '\n' (stored) or until `maxChars` are stored.
  // False when the file ended before any character was read.
  bool ReadLine(std::string& line, size_t maxChars);

 private:
  bool Fill();

  FilePtr file_;
  bool memory_open_ = false;
  std::string memory_;
  std::unique_ptr<char[]> block_;
  const char* buf_ = nullptr;
  size_t pos_ = 0;
  size_t len_ = 0;
  int putback_ = -1;
};

class TextWriter {
 public:
  enum class Mode {
    kReplace,            // create or truncate, write in place
    kAppend,             // append at the end, creating the file when missing
    kReplaceAtomically,  // write a temporary file beside it, rename it over on Close
    kCreateNew,          // create it new for this user alone (0600); fails when anything
                         // of that name is there already, a link included
  };

  TextWriter() = default;
  TextWriter(const TextWriter&) = delete;
  TextWriter& operator=(const TextWriter&) = delete;
  ~TextWriter() { Close(); }

  // Only a regular file is written, or one created: a directory, FIFO or device named
  // like the file, and in kReplace and kAppend a symbolic link (whose target may be
  // another file of the user's), count as a file that can't be written.
  bool Open(const std::string& path, Mode mode);
  bool IsOpen() const { return file_ != nullptr; }
  // Hands what was written so far to the system (not synced to the disk).
  bool Flush();

  // Writes text, turning each '\n' that is not already preceded by '\r' into CR LF.
  // False (and the writer remembers the failure) when the write failed.
  bool Write(std::string_view text);
  bool Printf(const char* format, ...) __attribute__((format(printf, 2, 3)));
  // Printf for a format that comes from the string table.
  bool PrintfText(const char* format, ...);

  // Flushes and closes. In kReplaceAtomically the temporary file replaces the target
  // only when every write succeeded; otherwise it is removed and the old file stays.
  // True when everything was written.
  bool Close();

 private:
  FilePtr file_;
  std::string path_;
  std::string temp_path_;
  bool failed_ = false;
  char last_ = '\0';
};

// Reads a whole file in text mode; false when it cannot be opened.
bool ReadTextFile(const std::string& path, std::string& out);

}  // namespace harvelo
