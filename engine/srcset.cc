#include "engine/srcset.h"

#include <cmath>
#include <cstdlib>
#include <iterator>

namespace harvelo {
namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// One or more digits, nothing else. Saturates instead of overflowing.
bool NonNegativeInteger(std::string_view text, std::uint64_t& value) {
  if (text.empty()) return false;
  value = 0;
  for (const char c : text) {
    if (!IsDigit(c)) return false;
    const std::uint64_t digit = static_cast<std::uint64_t>(c - '0');
    value = value > (UINT64_MAX - digit) / 10 ? UINT64_MAX : value * 10 + digit;
  }
  return true;
}

// An optional '-', digits and/or '.' followed by digits, an optional exponent: the
// grammar of a floating-point number in HTML (no '+', no "inf", no hexadecimal).
bool FloatingPointNumber(std::string_view text, double& value) {
  size_t i = 0;
  if (i < text.size() && text[i] == '-') ++i;
  size_t digits = 0;
  while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    size_t fraction = 0;
    while (i < text.size() && IsDigit(text[i])) ++i, ++fraction;
    if (fraction == 0) return false;
    digits += fraction;
  }
  if (digits == 0) return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    size_t exponent = 0;
    while (i < text.size() && IsDigit(text[i])) ++i, ++exponent;
    if (exponent == 0) return false;
  }
  if (i != text.size()) return false;
  // strtod reads this grammar exactly; the copy gives it its terminating NUL.
  const std::string copy(text);
  value = std::strtod(copy.c_str(), nullptr);
  return std::isfinite(value);
}

// A valid candidate has at most two descriptors ("w" and "h"); a third makes it invalid.
struct Descriptors {
  std::string_view items[3];
  size_t count = 0;
  bool tooMany = false;
  void Add(std::string_view d) {
    if (count == std::size(items)) {
      tooMany = true;
    } else {
      items[count++] = d;
    }
  }
};

// Applies the descriptors of one candidate; false when a browser would drop it.
bool ReadDescriptors(const Descriptors& descriptors, ImageCandidate& c) {
  if (descriptors.tooMany) return false;
  bool hasWidth = false;
  bool hasDensity = false;
  bool hasHeight = false;
  for (size_t i = 0; i < descriptors.count; ++i) {
    const std::string_view d = descriptors.items[i];
    const char last = d.back();
    const std::string_view number = d.substr(0, d.size() - 1);
    if (last == 'w') {
      if (hasWidth || hasDensity) return false;
      if (!NonNegativeInteger(number, c.width) || c.width == 0) return false;
      hasWidth = true;
    } else if (last == 'x') {
      if (hasWidth || hasDensity || hasHeight) return false;
      if (!FloatingPointNumber(number, c.density) || c.density < 0) return false;
      hasDensity = true;
    } else if (last == 'h') {
      std::uint64_t height = 0;
      if (hasHeight || hasDensity) return false;
      if (!NonNegativeInteger(number, height) || height == 0) return false;
      hasHeight = true;
    } else {
      return false;
    }
  }
  return !hasHeight || hasWidth;
}

}  // namespace

std::vector<ImageCandidate> ParseSrcset(std::string_view text) {
  std::vector<ImageCandidate> candidates;
  ParseSrcset(text, candidates);
  return candidates;
}

void ParseSrcset(std::string_view text, std::vector<ImageCandidate>& candidates) {
  candidates.clear();
  Descriptors descriptors;
  size_t pos = 0;
  const size_t n = text.size();
  for (;;) {
    while (pos < n && (IsSpace(text[pos]) || text[pos] == ',')) ++pos;
    if (pos >= n) return;

    const size_t urlStart = pos;
    while (pos < n && !IsSpace(text[pos])) ++pos;
    std::string_view url = text.substr(urlStart, pos - urlStart);
    descriptors = Descriptors{};

    if (url.back() == ',') {
      // "a.jpg," has no descriptors: the commas end the candidate.
      while (!url.empty() && url.back() == ',') url.remove_suffix(1);
    } else {
      while (pos < n && IsSpace(text[pos])) ++pos;
      // The descriptor tokenizer: blanks separate descriptors, a comma ends the candidate
      // except inside parentheses.
      enum class State { kIn, kParens, kAfter } state = State::kIn;
      size_t start = pos;
      auto flush = [&](size_t end) {
        if (end > start) descriptors.Add(text.substr(start, end - start));
      };
      for (;; ++pos) {
        if (pos >= n) {
          if (state != State::kAfter) flush(pos);
          break;
        }
        const char c = text[pos];
        if (state == State::kIn) {
          if (IsSpace(c)) {
            flush(pos);
            state = State::kAfter;
          } else if (c == ',') {
            flush(pos);
            ++pos;
            break;
          } else if (c == '(') {
            state = State::kParens;
          }
        } else if (state == State::kParens) {
          if (c == ')') state = State::kIn;
        } else if (!IsSpace(c)) {
          state = State::kIn;
          start = pos;
          --pos;  // the character begins the next descriptor
        }
      }
    }
    if (url.empty()) continue;
    ImageCandidate candidate;
    candidate.address = url;
    if (ReadDescriptors(descriptors, candidate)) candidates.push_back(candidate);
  }
}

bool IsLargerCandidate(const ImageCandidate& a, const ImageCandidate& b) {
  if ((a.width != 0) != (b.width != 0)) return a.width != 0;
  if (a.width != 0) return a.width > b.width;
  return a.density > b.density;
}

}  // namespace harvelo
