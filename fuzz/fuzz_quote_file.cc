// Feeds arbitrary bytes to QuoteFile through every read form and checks each result
// against a plain model of the format: the bytes with CR LF read as one newline, fields
// taken between quotes, a doubled quote inside a field standing for one. Input: byte 0 picks the
// buffer limit (0 to 32), byte 1 seeds the sequence of operations, the rest is the file.
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "settings/decimal_value.h"
#include "settings/quote_file.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

// The reader's view of the file, read by position with the same rules as QuoteFile.
class Model {
 public:
  explicit Model(std::string_view bytes) {
    for (size_t i = 0; i < bytes.size(); ++i) {
      if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
      text_.push_back(bytes[i]);
    }
  }
  bool FindOpeningQuote() {
    const size_t q = text_.find('"', pos_);
    if (q == std::string::npos) {
      pos_ = text_.size();
      return false;
    }
    pos_ = q + 1;
    return true;
  }
  bool ReadField(std::string& out, size_t maxLen) {
    out.clear();
    if (!FindOpeningQuote()) return false;
    while (out.size() < maxLen && pos_ < text_.size()) {
      const char c = text_[pos_++];
      if (c == '"' && !DoubledQuote()) break;
      out.push_back(c);
    }
    return true;
  }
  int SkipField() {
    if (!FindOpeningQuote()) return EOF;
    for (;;) {
      const size_t q = text_.find('"', pos_);
      if (q == std::string::npos) {
        pos_ = text_.size();
        return EOF;
      }
      pos_ = q + 1;
      if (!DoubledQuote()) return '"';
    }
  }

 private:
  // After a quote inside a field: a second one right after it is one literal quote.
  bool DoubledQuote() {
    if (pos_ >= text_.size() || text_[pos_] != '"') return false;
    ++pos_;
    return true;
  }

  std::string text_;
  size_t pos_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const size_t maxLen = data[0] % 33;
  uint32_t state = data[1] * 2654435761u + 1;
  const std::string_view content(reinterpret_cast<const char*>(data + 2), size - 2);

  harvelo::QuoteFile file;
  Check(!file.IsOpen());
  Check(file.OpenMemory(content));
  Model model(content);

  // Exactly maxLen + 1 characters, so that a write past the limit is caught.
  const auto buffer = std::make_unique<char[]>(maxLen + 1);
  std::string text = "stale";
  std::string expected;
  bool ended = false;
  for (int step = 0; step < 4096 && !ended; ++step) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    switch (state % 3) {
      case 0: {
        const bool got = file.ReadField(buffer.get(), maxLen);
        const bool want = model.ReadField(expected, maxLen);
        Check(got == want);
        if (got) {
          const size_t len = std::strlen(buffer.get());
          Check(len <= maxLen);
          Check(std::string_view(buffer.get(), len) ==
                std::string_view(expected).substr(0, expected.find('\0')));
          harvelo::DecimalValue(buffer.get());
        }
        ended = !got;
        break;
      }
      case 1: {
        const bool got = file.ReadField(text);
        const bool want = model.ReadField(expected, std::string::npos);
        Check(got == want);
        Check(text == (got ? expected : std::string()));
        if (got) harvelo::DecimalValue(text);
        ended = !got;
        break;
      }
      default: {
        const int got = file.SkipField();
        Check(got == model.SkipField());
        ended = got == EOF;
        break;
      }
    }
  }

  // At the end every form fails, and a closed reader fails the same way.
  if (ended) {
    Check(!file.ReadField(text) && text.empty());
    Check(file.SkipField() == EOF);
  }
  file.Close();
  Check(!file.IsOpen());
  text = "stale";
  Check(!file.ReadField(text) && text.empty());
  Check(!file.ReadField(buffer.get(), maxLen));
  Check(file.SkipField() == 0);
  return 0;
}
