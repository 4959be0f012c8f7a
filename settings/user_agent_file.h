// HV_agentscout.cfg, written by agentscout: its first field is the browser's user agent.
#pragma once
#include <optional>
#include <string>

namespace harvelo {

// The first field of the file (possibly empty), or none when the file is absent or
// holds no field; the fetcher's own default then applies.
std::optional<std::string> ReadUserAgentFile(const std::string& path);

}  // namespace harvelo
