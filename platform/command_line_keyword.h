// The companion programs act only when their command line holds a keyword.
#pragma once

namespace harvelo {

// True when the command line, its words joined by blanks, holds `keyword` anywhere
// (case-sensitive).
bool CommandLineHolds(int argc, const char* const* argv, const char* keyword);

}  // namespace harvelo
