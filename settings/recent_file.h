// HV_recent.cfg: the address drop-down list, one quoted address per line, oldest first.
#pragma once
#include <string>
#include <vector>

namespace harvelo {

// The list keeps no more than this many addresses on disk.
inline constexpr size_t kMaxRecentAddresses = 30;

// Puts the file's newest kMaxRecentAddresses addresses (its last lines) on top of
// `addresses` (newest first), in file order, so the file's last line ends up on top.
// Nothing changes when the file cannot be opened.
void LoadRecentAddresses(std::vector<std::string>& addresses, const std::string& path);
// Writes the newest kMaxRecentAddresses entries, oldest first. False when the file
// could not be written completely; the earlier file then stays as it was.
bool SaveRecentAddresses(const std::vector<std::string>& addresses, const std::string& path);

}  // namespace harvelo
