// Where the window keeps HV_conf.cfg, HV_recent.cfg, HV_coord.cfg, HV_lang.cfg (and reads
// HV_agentscout.cfg). A start from a folder that already holds settings files keeps using
// them; a start in the home folder (what a desktop menu does) uses the XDG configuration
// folder instead, so that the home folder stays as it was.
#pragma once
#include <string>

namespace harvelo {

// The settings folder for a start in `workingDir`: "" (the working directory, bare file
// names) when it holds one of the four settings files or is not `home`; otherwise
// `xdgConfigHome` (when absolute, else `home`/.config) + "/harvelo/", created with mode
// 0700 when missing. An empty `home` always gives "".
std::string SettingsFolderFor(const std::string& workingDir, const std::string& home,
                              const std::string& xdgConfigHome);

// The same for this process: its working directory, $HOME and $XDG_CONFIG_HOME.
std::string SettingsFolder();

}  // namespace harvelo
