// Reader of the quoted-field text format shared by the settings files and the files the
// companion programs hand over: a field is everything between a double quote and the
// next one; whatever lies outside the quotes (labels, blanks, line ends) is skipped.
// Inside a field two double quotes in a row stand for one (QuotedField writes them);
// writers always follow a field with a blank or a line end, so an empty field "" stays
// an empty field. Reads are sequential.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

#include "platform/text_file.h"

namespace harvelo {

class QuoteFile {
 public:
  QuoteFile() = default;
  // Opens `path` as Open does; the reader stays closed when it cannot.
  explicit QuoteFile(const std::string& path) { Open(path); }

  // Closes any open file, then opens `path` in text mode. True when it opened.
  bool Open(const std::string& path);
  // Reads `data` as if it were the contents of a file (fuzzers, tests).
  bool OpenMemory(std::string_view data);
  void Close() { reader_.Close(); }
  bool IsOpen() const { return reader_.IsOpen(); }

  // Reads the next field into `buffer`, which holds at least maxLen + 1 characters, and
  // terminates it. A field longer than maxLen yields its first maxLen characters and the
  // rest, closing quote included, stays unread. False when no file is open or the file
  // ends before an opening quote; a field cut short by the end of the file succeeds.
  bool ReadField(char* buffer, size_t maxLen);
  // Reads the next field whole. `text` is emptied first, so a failed read leaves it empty.
  bool ReadField(std::string& text);
  // Passes over the next field: returns '"' when a whole field was passed, EOF (-1) when
  // the file ended first, 0 when no file is open.
  int SkipField();

 private:
  // Reads up to and including the next opening quote; false at the end of the file.
  bool FindOpeningQuote();
  // The next character of the field's value: '"' for a doubled quote, EOF at the closing
  // quote (consumed) or at the end of the file.
  int NextInField();

  TextReader reader_;
};

}  // namespace harvelo
