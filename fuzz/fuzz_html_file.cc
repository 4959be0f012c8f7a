// Feeds arbitrary bytes to HTMLFile as a stored page and checks every token against a plain
// model of the tokenizer (the bytes with CR LF read as one newline, tokens cut to the
// buffer), then scans the same page into the link lists. Input: byte 0 picks the buffer
// size (512, or 1 to 64 to bring the limits close), byte 1 picks which attribute to take
// from each tag, the rest is the page.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_set>

#include "engine/html_file.h"
#include "engine/page_scan.h"
#include "engine/text_limits.h"

namespace {

using namespace harvelo;

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

char Upper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string UpperOf(std::string s) {
  for (char& c : s) c = Upper(c);
  return s;
}

// What a C string holds: everything before the first NUL.
std::string CString(const std::string& s) {
  return s.substr(0, s.find('\0'));
}

struct ModelToken {
  int kind = kTokenEnd;
  int closing = 0;
  std::string text;  // as stored, NULs included
};

class Model {
 public:
  Model(std::string_view bytes, size_t room) : room_(room) {
    for (size_t i = 0; i < bytes.size(); ++i) {
      if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
      text_.push_back(bytes[i]);
    }
  }

  bool Next(ModelToken& t) {
    while (pos_ < text_.size() && IsBlank(text_[pos_])) ++pos_;
    t = ModelToken{};
    if (pos_ == text_.size()) return false;
    std::string whole;
    if (text_[pos_] == '<') {
      const size_t close = text_.find('>', pos_);
      const size_t end = close == std::string::npos ? text_.size() : close + 1;
      whole = text_.substr(pos_, end - pos_);
      pos_ = end;
    } else {
      size_t end = pos_;
      while (end < text_.size() && !IsBlank(text_[end]) && text_[end] != '<') ++end;
      whole = text_.substr(pos_, end - pos_);
      pos_ = end < text_.size() && IsBlank(text_[end]) ? end + 1 : end;
    }
    t.text = whole.substr(0, room_);
    if (whole[0] != '<') {
      t.kind = kTokenText;
      return true;
    }
    static const char* const kNames[] = {"HTML",  "HEAD", "BODY", "TITLE",    "A",     "IMG",
                                         "TABLE", "TR",   "TD",   "FRAMESET", "FRAME", "BASE"};
    const std::string stored = CString(t.text);
    t.closing = stored.size() > 1 && stored[1] == '/' ? 2 : 1;
    const std::string name = stored.empty() ? "" : UpperOf(stored.substr(t.closing));
    t.kind = kTokenOtherTag;
    for (int i = 0; i < 12; ++i) {
      if (name.compare(0, std::strlen(kNames[i]), kNames[i]) == 0) {
        t.kind = i + kTokenHtml;
        break;
      }
    }
    return true;
  }

 private:
  std::string text_;
  size_t pos_ = 0;
  size_t room_;
};

// The value of `attribute` in a stored tag, or false when the tag has none.
bool ModelExtract(const std::string& token, const std::string& attribute, std::string& value) {
  const std::string text = CString(token);
  const size_t at = UpperOf(text).find(attribute);
  if (at == std::string::npos) return false;
  size_t start = at + attribute.size();
  char stop = '>';
  if (start < text.size() && (text[start] == '"' || text[start] == '\'')) stop = text[start++];
  const size_t end = text.find(stop, start);
  value = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const int bufferSize = data[0] < 128 ? 512 : 1 + data[0] % 64;
  const uint8_t pick = data[1];
  const std::string_view page(reinterpret_cast<const char*>(data) + 2, size - 2);

  HTMLFile file(bufferSize);
  Check(file.bufferSize() == bufferSize);
  file.OpenMemory(page);
  Model model(page, static_cast<size_t>(bufferSize) - 1);
  ModelToken expected;
  int count = 0;
  while (model.Next(expected)) {
    Check(file.NextToken() == 1);
    Check(file.kind == expected.kind);
    Check(file.closing == expected.closing);
    Check(std::memcmp(file.token(), expected.text.data(), expected.text.size()) == 0);
    Check(file.token()[expected.text.size()] == '\0');
    if (file.kind != kTokenText) {
      const std::string attribute = (pick >> (count % 8)) & 1 ? "SRC=" : "HREF=";
      std::string value;
      const bool has = ModelExtract(expected.text, attribute, value);
      const int result = attribute == "SRC=" ? file.ExtractSrc() : file.ExtractHref();
      Check(result == (has ? 1 : 0));
      Check(CString(file.token()) == (has ? value : CString(expected.text)));
      Check(CString(file.work()) == UpperOf(CString(expected.text)));
    }
    ++count;
  }
  Check(file.NextToken() == 0);
  Check(file.kind == kTokenEnd && file.closing == 0 && file.token()[0] == '\0');

  // The whole scan: every image that brings a page is listed, so there are never more
  // pages than images.
  const std::string types = ",JPG,JPEG,MPG,MPEG,,";
  const std::string address = "http://example.com/gallery/index.html";
  std::string title;
  CNameList links, images, pages, queue;
  PageScanTarget target{&types, &address, &title, &links, &images,
                        &pages, &queue,   "c=1",  "",     nullptr};
  // The run has processed this page already: a frame of it, or a frame met twice, is not
  // queued again.
  const std::string self = "http://example.com/gallery/self.html";
  std::unordered_set<std::string> reached = {self};
  target.reachedPages = &reached;
  HTMLFile scan(bufferSize);
  scan.OpenMemory(page);
  ScanPage(scan, target);
  Check(pages.Count() <= images.Count());
  Check(title.size() <= kMaxKeptText);
  std::unordered_set<std::string> queued;
  for (; queue.Count() > 0; queue.PopFront()) {
    Check(queue.FrontKind() == PageEntry && queue.FrontReferrer() == nullptr);
    Check(std::strcmp(queue.FrontCookie(), "c=1") == 0);
    Check(queue.FrontText() != self && queued.insert(queue.FrontText()).second);
    Check(reached.contains(queue.FrontText()));
  }
  return 0;
}
