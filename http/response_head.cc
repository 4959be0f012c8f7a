#include "http/response_head.h"

#include <cctype>
#include <climits>

namespace harvelo {
namespace {

bool IsBlank(char c) {
  return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// Like scanf's " %d": skips white space, reads an optional sign and decimal digits.
// Out-of-range values saturate instead of overflowing.
bool ScanInt(std::string_view text, size_t pos, int& value) {
  while (pos < text.size() && IsBlank(text[pos])) ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
    negative = text[pos] == '-';
    ++pos;
  }
  if (pos >= text.size() || !std::isdigit(static_cast<unsigned char>(text[pos]))) return false;
  long long n = 0;
  for (; pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos])); ++pos) {
    if (n <= INT_MAX) n = n * 10 + (text[pos] - '0');
  }
  if (negative) n = -n;
  value = n > INT_MAX ? INT_MAX : n < INT_MIN ? INT_MIN : static_cast<int>(n);
  return true;
}

// Case-insensitive search, as if the block had been upper-cased first.
size_t FindUpper(std::string_view block, std::string_view upperNeedle) {
  if (upperNeedle.size() > block.size()) return std::string_view::npos;
  for (size_t i = 0; i + upperNeedle.size() <= block.size(); ++i) {
    size_t j = 0;
    while (j < upperNeedle.size() &&
           std::toupper(static_cast<unsigned char>(block[i + j])) == upperNeedle[j]) {
      ++j;
    }
    if (j == upperNeedle.size()) return i;
  }
  return std::string_view::npos;
}

}  // namespace

ResponseHead ParseResponseHead(std::string_view rawBlock) {
  ResponseHead head;
  size_t pos = FindUpper(rawBlock, "HTTP/");
  if (pos != std::string_view::npos) {
    // "%*s": skip blanks, then one word.
    while (pos < rawBlock.size() && IsBlank(rawBlock[pos])) ++pos;
    while (pos < rawBlock.size() && !IsBlank(rawBlock[pos])) ++pos;
    int status = 0;
    if (ScanInt(rawBlock, pos, status)) head.status = status;
  }
  constexpr std::string_view kLength = "CONTENT-LENGTH:";
  pos = FindUpper(rawBlock, kLength);
  if (pos != std::string_view::npos) {
    int length = 0;
    if (ScanInt(rawBlock, pos + kLength.size(), length)) head.contentLength = length;
  }
  constexpr std::string_view kEncoding = "CONTENT-ENCODING:";
  pos = FindUpper(rawBlock, kEncoding);
  if (pos != std::string_view::npos) {
    pos += kEncoding.size();
    while (pos < rawBlock.size() && (rawBlock[pos] == ' ' || rawBlock[pos] == '\t')) ++pos;
    const std::string_view value = rawBlock.substr(pos, rawBlock.find_first_of("\r\n", pos) - pos);
    head.encoded = !value.empty() && FindUpper(value, "IDENTITY") != 0;
  }
  return head;
}

std::string ResponseContentType(std::string_view rawBlock) {
  constexpr std::string_view kName = "CONTENT-TYPE:";
  for (size_t pos = rawBlock.find('\n'); pos != std::string_view::npos;
       pos = rawBlock.find('\n', pos + 1)) {
    if (FindUpper(rawBlock.substr(pos + 1, kName.size()), kName) != 0) continue;
    std::string type;
    for (size_t i = pos + 1 + kName.size(); i < rawBlock.size(); ++i) {
      const char c = rawBlock[i];
      if (c == ';' || c == '\r' || c == '\n') break;
      if (!IsBlank(c))
        type.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    }
    return type;
  }
  return std::string();
}

bool IsFinalResponseHead(std::string_view rawBlock) {
  const int status = ParseResponseHead(rawBlock).status;
  if (status >= 100 && status < 200) return false;
  if (status >= 300 && status < 400) {
    // A Location header at the start of a line means the redirect is followed.
    for (size_t pos = rawBlock.find('\n'); pos != std::string_view::npos;
         pos = rawBlock.find('\n', pos + 1)) {
      if (FindUpper(rawBlock.substr(pos + 1, 9), "LOCATION:") == 0) return false;
    }
  }
  return true;
}

HeadLine TakeHeaderLine(std::string& block, std::string_view line) {
  if (line.starts_with("HTTP/")) block.clear();
  if (block.size() < kMaxResponseBlock) block.append(line);
  if (line != "\r\n" && line != "\n") return HeadLine::kMore;
  return IsFinalResponseHead(block) ? HeadLine::kFinal : HeadLine::kFollowed;
}

std::string HeaderDumpPath(const std::string& outPath) {
  const size_t slash = outPath.rfind('/');
  const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const size_t dot = outPath.rfind('.');
  if (dot == std::string::npos || dot < nameStart) return outPath + ".headers";
  return outPath.substr(0, dot) + ".headers";
}

}  // namespace harvelo
