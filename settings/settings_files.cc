// Loading and saving the settings as a whole. Every file is written to a temporary name
// and renamed over the old one only when complete, so an interrupted save (full disk,
// killed process) leaves the previous settings intact instead of a truncated file.
#include "settings/conf_file.h"
#include "settings/recent_file.h"
#include "settings/settings.h"
#include "settings/settings_file_names.h"
#include "settings/user_agent_file.h"

namespace harvelo {

void LoadSettings(Settings& settings, const std::string& dir) {
  if (ReadConfFile(settings, dir + kConfFileName)) ParseDebugOptions(settings);
  settings.userAgent = ReadUserAgentFile(dir + kUserAgentFileName);
  LoadRecentAddresses(settings.recentAddresses, dir + kRecentFileName);
}

void SaveSettings(const Settings& settings, const std::string& dir) {
  // A file that cannot be written is skipped without a word; the next one is still tried.
  WriteConfFile(settings, dir + kConfFileName);
  SaveRecentAddresses(settings.recentAddresses, dir + kRecentFileName);
}

}  // namespace harvelo
