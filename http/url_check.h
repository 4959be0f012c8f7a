// Which addresses a fetch may open: only absolute http and https addresses (no guessed
// scheme), whichever way the transfer is run.
#pragma once
#include <cstdint>
#include <string>

namespace harvelo {

// 0 when url may be fetched, else the WinInet code the fetch fails with.
std::uint32_t CheckFetchableUrl(const std::string& url);

}  // namespace harvelo
