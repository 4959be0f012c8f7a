// Reading the raw response header block: the status and the announced length, and
// whether a block is the last one of a fetch (not an interim or a followed redirect).
#pragma once
#include <string>
#include <string_view>

namespace harvelo {

struct ResponseHead {
  int status = 0;         // 0 when no status could be read
  int contentLength = 0;  // 0 when absent or unreadable
};

// Searches the upper-cased block anywhere: the word after the first "HTTP/" and then a
// decimal number gives the status; the number after the first "CONTENT-LENGTH:" gives
// the length. Numbers beyond the range of int saturate.
ResponseHead ParseResponseHead(std::string_view rawBlock);

// True unless the block is an interim answer (1xx) or a redirect that will be followed
// (3xx with a Location header).
bool IsFinalResponseHead(std::string_view rawBlock);

// The header dump's name: outPath with the extension of its last path component
// replaced by ".headers" (appended when that component has no ".").
std::string HeaderDumpPath(const std::string& outPath);

}  // namespace harvelo
