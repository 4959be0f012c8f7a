#include "engine/html_file.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>

namespace harvelo {
namespace {

// Searched in this order; a tag's kind is its position + 3. FRAMESET stands before FRAME
// so that it is not taken for a FRAME by the prefix comparison.
constexpr std::string_view kTagNames[] = {"HTML",  "HEAD", "BODY", "TITLE",    "A",     "IMG",
                                          "TABLE", "TR",   "TD",   "FRAMESET", "FRAME", "BASE"};

// The names' positions in kTagNames by their first letter, in search order, -1 ending
// each list: a tag is compared only with the names that begin as it does.
struct NamesByLetter {
  std::int8_t ids[26][std::size(kTagNames) + 1];
};
constexpr NamesByLetter MakeNamesByLetter() {
  NamesByLetter table{};
  for (auto& row : table.ids) {
    for (auto& id : row) id = -1;
  }
  for (size_t i = 0; i < std::size(kTagNames); ++i) {
    auto& row = table.ids[kTagNames[i][0] - 'A'];
    size_t k = 0;
    while (row[k] >= 0) ++k;
    row[k] = static_cast<std::int8_t>(i);
  }
  return table;
}
constexpr NamesByLetter kNamesByLetter = MakeNamesByLetter();

inline bool IsBlank(int c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

inline char Upper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// True when `name` begins with `table` (an upper-case name), ignoring case.
bool BeginsWithName(const char* name, std::string_view table) {
  for (size_t i = 0; i < table.size(); ++i) {
    if (name[i] == '\0' || Upper(name[i]) != table[i]) return false;
  }
  return true;
}

}  // namespace

HTMLFile::HTMLFile(int bufferSize) : buffer_size_(0) {
  if (bufferSize < 1) return;
  try {
    token_.assign(static_cast<size_t>(bufferSize), '\0');
    work_.assign(static_cast<size_t>(bufferSize), '\0');
    buffer_size_ = bufferSize;
  } catch (const std::bad_alloc&) {
    token_.clear();
    work_.clear();
  }
}

bool HTMLFile::Open(const std::string& path) {
  return file_.Open(path);
}

bool HTMLFile::OpenMemory(std::string_view text) {
  return file_.OpenMemory(text);
}

void HTMLFile::Close() {
  file_.Close();
}

int HTMLFile::NextToken(bool wantText) {
  if (buffer_size_ == 0) return 0;
  char* const out = token_.data();
  const size_t room = static_cast<size_t>(buffer_size_) - 1;

  int c = file_.Get();
  while (IsBlank(c)) c = file_.Get();
  if (c == EOF) {
    kind = kTokenEnd;
    closing = 0;
    out[0] = '\0';
    return 0;
  }

  size_t n = 0;
  if (c == '<') {
    // A tag runs over blanks and line breaks up to and including the first '>'.
    for (;;) {
      if (n < room) out[n++] = static_cast<char>(c);
      if (c == '>') break;
      // What is read already up to the '>' (or a CR) at once.
      const std::string_view ahead = file_.Buffered();
      size_t take = ahead.size();
      if (const void* end = std::memchr(ahead.data(), '>', take)) {
        take = static_cast<size_t>(static_cast<const char*>(end) - ahead.data());
      }
      if (const void* cr = std::memchr(ahead.data(), '\r', take)) {
        take = static_cast<size_t>(static_cast<const char*>(cr) - ahead.data());
      }
      const size_t stored = std::min(take, room - n);
      if (stored > 0) std::memcpy(out + n, ahead.data(), stored);
      n += stored;
      file_.Skip(take);
      c = file_.Get();
      if (c == EOF) break;
    }
    out[n] = '\0';
    // With a buffer too small for the '<' nothing was stored and there is no name.
    const char* name = n > 0 ? out + 1 : out;
    closing = 1;
    if (n > 1 && out[1] == '/') {
      closing = 2;
      name = out + 2;
    }
    kind = kTokenOtherTag;
    const char first = Upper(*name);
    if (first >= 'A' && first <= 'Z') {
      for (const std::int8_t* id = kNamesByLetter.ids[first - 'A']; *id >= 0; ++id) {
        if (BeginsWithName(name, kTagNames[*id])) {
          kind = *id + kTokenHtml;
          break;
        }
      }
    }
    return 1;
  }

  kind = kTokenText;
  closing = 0;
  if (!wantText) {
    file_.SkipTo('<');
    out[0] = '\0';
    return 1;
  }
  // A text word ends at a blank (consumed), at '<' (left for the next token) or at the end.
  for (;;) {
    if (n < room) out[n++] = static_cast<char>(c);
    // What is read already up to a blank, '<' or CR at once.
    const std::string_view ahead = file_.Buffered();
    size_t take = 0;
    while (take < ahead.size() && !IsBlank(ahead[take]) && ahead[take] != '<') ++take;
    const size_t stored = std::min(take, room - n);
    if (stored > 0) std::memcpy(out + n, ahead.data(), stored);
    n += stored;
    file_.Skip(take);
    c = file_.Get();
    if (c == EOF || IsBlank(c)) break;
    if (c == '<') {
      file_.Unget(c);
      break;
    }
  }
  out[n] = '\0';
  return 1;
}

const char* HTMLFile::UpperTokenToWork() {
  if (buffer_size_ == 0) return "";
  const char* in = token_.data();
  char* out = work_.data();
  // token is always terminated inside its buffer, and work is as large.
  while ((*out++ = Upper(*in++)) != '\0') {
  }
  return work_.data();
}

int HTMLFile::Extract(const char* attribute, size_t attributeLength) {
  if (buffer_size_ == 0) return 0;
  UpperTokenToWork();
  const char* const upper = work_.data();
  const char* found = std::strstr(upper, attribute);
  if (found == nullptr) return 0;

  // work is an upper-cased copy of token, so the same offsets hold in both.
  char* const text = token_.data();
  const size_t length = std::strlen(text);
  size_t start = static_cast<size_t>(found - upper) + attributeLength;
  char stop = '>';
  if (text[start] == '"' || text[start] == '\'') {
    stop = text[start];
    ++start;
  }
  const char* end = static_cast<const char*>(std::memchr(text + start, stop, length - start));
  const size_t valueLength =
      end != nullptr ? static_cast<size_t>(end - (text + start)) : length - start;
  std::memmove(text, text + start, valueLength);
  text[valueLength] = '\0';
  return 1;
}

int HTMLFile::ExtractHref() {
  return Extract("HREF=", 5);
}

int HTMLFile::ExtractSrc() {
  return Extract("SRC=", 4);
}

}  // namespace harvelo
