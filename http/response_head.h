// Reading the raw response header block: the status and the announced length, and
// whether a block is the last one of a fetch (not an interim or a followed redirect).
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace harvelo {

struct ResponseHead {
  int status = 0;         // 0 when no status could be read
  int contentLength = 0;  // 0 when absent or unreadable
  bool encoded = false;   // a Content-Encoding other than identity: the body is compressed
};

// Searches the upper-cased block anywhere: the word after the first "HTTP/" and then a
// decimal number gives the status; the number after the first "CONTENT-LENGTH:" gives
// the length. Numbers beyond the range of int saturate. A "CONTENT-ENCODING:" header
// naming anything but "identity" marks the body encoded.
ResponseHead ParseResponseHead(std::string_view rawBlock);

// The media type of the block's Content-Type header, lower case, without its parameters
// and blanks ("image/jpeg" of "Content-Type: Image/JPEG; q=1"); empty without one.
std::string ResponseContentType(std::string_view rawBlock);

// True unless the block is an interim answer (1xx) or a redirect that will be followed
// (3xx with a Location header).
bool IsFinalResponseHead(std::string_view rawBlock);

// A hostile server's endless header block is not kept whole: the status line and the
// first headers are what is read of it.
inline constexpr size_t kMaxResponseBlock = 64 * 1024;

// What one header line did to the response being read.
enum class HeadLine {
  kMore,      // a line inside a head
  kFinal,     // the blank line ending the final response's head
  kFollowed,  // the blank line ending an interim answer or a redirect that is followed
};

// Adds a header line, as curl hands it over, to `block`, the raw head of the latest
// response (a status line starts a new one; at most kMaxResponseBlock bytes are kept),
// and says whether it ended a head. Every fetch reads its heads through this, so that
// a head is judged the same whichever path fetched it.
HeadLine TakeHeaderLine(std::string& block, std::string_view line);

// The header dump's name: outPath with the extension of its last path component
// replaced by ".headers" (appended when that component has no ".").
std::string HeaderDumpPath(const std::string& outPath);

}  // namespace harvelo
