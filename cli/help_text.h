// What harvelo-cli says about its own use.
#pragma once
#include <string>

namespace harvelo::cli {

// The full --help text.
std::string HelpText();
// The short reminder printed after a usage error.
std::string UsageText();

}  // namespace harvelo::cli
