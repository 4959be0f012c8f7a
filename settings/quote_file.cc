#include "settings/quote_file.h"

namespace harvelo {

bool QuoteFile::Open(const std::string& path) {
  return reader_.Open(path);
}

bool QuoteFile::OpenMemory(std::string_view data) {
  return reader_.OpenMemory(data);
}

bool QuoteFile::FindOpeningQuote() {
  for (;;) {
    const int c = reader_.Get();
    if (c == EOF) return false;
    if (c == '"') return true;
  }
}

int QuoteFile::NextInField() {
  const int c = reader_.Get();
  if (c != '"') return c;
  const int next = reader_.Get();
  if (next == '"') return '"';
  reader_.Unget(next);
  return EOF;
}

bool QuoteFile::ReadField(char* buffer, size_t maxLen) {
  if (!IsOpen() || !FindOpeningQuote()) return false;
  size_t stored = 0;
  // The limit is tested before reading, so a full buffer leaves the closing quote unread.
  while (stored < maxLen) {
    const int c = NextInField();
    if (c == EOF) break;
    buffer[stored++] = static_cast<char>(c);
  }
  buffer[stored] = '\0';
  return true;
}

bool QuoteFile::ReadField(std::string& text) {
  text.clear();
  if (!IsOpen() || !FindOpeningQuote()) return false;
  for (int c = NextInField(); c != EOF; c = NextInField()) text.push_back(static_cast<char>(c));
  return true;
}

int QuoteFile::SkipField() {
  if (!IsOpen()) return 0;
  if (!FindOpeningQuote()) return EOF;
  for (;;) {
    const int c = reader_.Get();
    if (c == EOF) return EOF;
    if (c != '"') continue;
    const int next = reader_.Get();
    if (next == '"') continue;
    reader_.Unget(next);
    return '"';
  }
}

}  // namespace harvelo
