// The rules that turn what a person types on the command line into the texts the
// engine's fields hold, the same rules the window applies when a field loses the focus.
#pragma once
#include <optional>
#include <string>

namespace harvelo::cli {

// "jpg, gif" or ",JPG,GIF" -> ",JPG,GIF": upper case, each type after a comma, blanks
// and empty items dropped. Empty when the list names no type.
std::string NormaliseTargetTypes(const std::string& list);

// The destination field keeps a trailing '/': "x" -> "x/"; empty stays empty.
std::string DestinationFieldText(const std::string& dir);

// The prefix ends in '_' ("img" -> "img_"), so the running number stands apart; empty
// stays empty (the engine then asks for a prefix).
std::string PrefixFieldText(const std::string& prefix);

// http:// and https:// addresses as they are, "http://" before an address without a
// scheme; nothing for an empty address or another scheme (ftp://, file://, ...).
std::optional<std::string> NormaliseAddress(const std::string& address);

}  // namespace harvelo::cli
