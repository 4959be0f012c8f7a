// The rules that normalise what a person types: the window applies them when a field
// loses the keyboard focus, the console to its options, so that both give the same
// run. Each returns the text the field should show; an empty text stays empty.
#pragma once
#include <string>

namespace harvelo {

// Address field: "http://" goes before a text that does not already begin with a scheme
// and "://" (in any letter case), so "example.net/a" becomes "http://example.net/a" while
// "https://x", "HTTP://x" and "ftp://x" stay as they are.
std::string AddressRule(const std::string& text);

// Destination directory: one '/' is appended when the text does not end in one.
std::string DestinationRule(const std::string& text);

// File prefix: one '_' is appended when the text does not end in one.
std::string PrefixRule(const std::string& text);

// Resource types of the configuration dialog: the characters . \ ? / : + | ; * and space
// are removed, the text is split at commas, empty pieces vanish, the rest is joined with
// single commas and turned to upper case (".jpg, .Gif ,,png" -> "JPG,GIF,PNG").
std::string ResourceTypesRule(const std::string& text);

// The target types as the settings hold them: each type of ResourceTypesRule after a
// comma (",JPG,GIF"); empty when the text names no type.
std::string TargetTypesSetting(const std::string& text);

// True for an address the run can fetch: its scheme is http or https, in any case.
bool IsWebAddress(const std::string& address);

}  // namespace harvelo
