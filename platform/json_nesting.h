// A cheap look at JSON text before it is parsed: how deep its arrays and objects nest.
// A parsed value that nests without end is copied, compared and printed by recursion,
// which a hostile answer of a few hundred kilobytes turns into a stack overflow.
#pragma once
#include <string_view>

namespace harvelo {

// Deep enough for any answer a browser or session store really gives.
inline constexpr int kMaxJsonNesting = 512;

// False when arrays and objects nest deeper than `maxDepth` (strings are skipped with
// their escapes, so brackets inside them do not count). Says nothing about validity.
bool JsonNestingWithin(std::string_view json, int maxDepth = kMaxJsonNesting);

}  // namespace harvelo
