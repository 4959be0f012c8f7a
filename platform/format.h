// printf-style formatting into a std::string (string-table texts are formats too).
#pragma once
#include <cstdarg>
#include <string>

namespace harvelo {

std::string StrPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string StrVPrintf(const char* format, va_list args);

// The same for a format that comes from the string table (not a literal).
std::string FormatText(const char* format, ...);

}  // namespace harvelo
