// The file prefix's auto-increment after a gallery page, so that the next gallery's
// files start with a new prefix.
#pragma once
#include <string>

namespace harvelo {

// Advances the prefix like a counter, from its second-to-last character towards the
// first: '0'-'8', 'a'-'y', 'A'-'Y' step to the next and end it; '9', 'z', 'Z' wrap to
// '0', 'a', 'A' and carry on; any other character ends it unchanged. A carry past the
// first character is dropped. The last character (the separator, as in "AAA_") never
// changes. AAA_ -> AAB_, AAZ_ -> ABA_, ZZZ_ -> AAA_, pic9_ -> pid0_, a-9_ -> a-0_.
void AdvancePrefix(std::string& prefix);

}  // namespace harvelo
