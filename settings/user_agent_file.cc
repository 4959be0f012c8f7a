#include "settings/user_agent_file.h"

#include "settings/quote_file.h"

namespace harvelo {

std::optional<std::string> ReadUserAgentFile(const std::string& path) {
  QuoteFile file(path);
  std::string agent;
  if (!file.ReadField(agent)) return std::nullopt;
  return agent;
}

}  // namespace harvelo
