// The desktop's "open" for a document or an address (the user's browser, viewer...).
#pragma once
#include <string>

namespace harvelo {

// Hands `target` to the desktop's opener (xdg-open) in a detached process and returns
// at once; whether the opener succeeds is not examined.
void ShellOpen(const std::string& target);

// The same with another opener program, for tests. Returns 1 when the opener started.
int ShellOpenWith(const std::string& opener, const std::string& target);

}  // namespace harvelo
