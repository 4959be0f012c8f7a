// The type test shared by the page scan and the run driver: the target types are
// upper-case extensions, each preceded by a comma (",JPG,JPEG,MPG,MPEG").
#pragma once
#include <string_view>

namespace harvelo {

// True when "," + `upperExtension` occurs anywhere in `types`: a plain substring search,
// so the leading comma anchors an extension to its start, a prefix of an entry matches
// too, and an empty extension (an address ending in '.') matches any non-empty list.
bool HasTargetType(std::string_view types, std::string_view upperExtension);

// The run driver's test of a queued address: the upper-cased text after its last '.' is
// a target type (an address without a '.' is a page).
bool IsDirectResource(std::string_view address, std::string_view types);

}  // namespace harvelo
