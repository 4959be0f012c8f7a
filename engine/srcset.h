// The candidate list of a responsive image (the srcset and data-srcset attributes of IMG
// and SOURCE), read the way browsers read it: comma-separated candidates, each an
// address and optional descriptors ("480w", "2x", "2.5x"; "h" only with "w"); an address
// may itself hold commas (a CDN's "w_300,h_200" transformations).
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace harvelo {

struct ImageCandidate {
  std::string_view address;  // as written, within the text it was read from
  std::uint64_t width = 0;   // the "w" descriptor, 0 when absent
  double density = 1.0;      // the "x" descriptor; without one a candidate stands for 1x
};

// The candidates in the order written; a candidate whose descriptors a browser would
// refuse (two widths, "0w", "-1x", an unknown descriptor, "h" without "w") is left out.
std::vector<ImageCandidate> ParseSrcset(std::string_view text);
// The same into `out` (cleared first), whose storage is reused from one call to the next.
void ParseSrcset(std::string_view text, std::vector<ImageCandidate>& out);

// True when `a` is a larger variant than `b`: a width beats any density, a wider width
// a narrower one, a higher density a lower one (none counts as 1x).
bool IsLargerCandidate(const ImageCandidate& a, const ImageCandidate& b);

}  // namespace harvelo
