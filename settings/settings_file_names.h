// The names of the settings files. All but the prefix file live in the working
// directory; the prefix file is kept inside each destination directory.
#pragma once

namespace harvelo {

inline constexpr char kConfFileName[] = "HV_conf.cfg";
inline constexpr char kRecentFileName[] = "HV_recent.cfg";
inline constexpr char kCoordFileName[] = "HV_coord.cfg";
inline constexpr char kLangFileName[] = "HV_lang.cfg";
inline constexpr char kPrefixFileName[] = "HV_pref.cfg";
inline constexpr char kUserAgentFileName[] = "HV_agentscout.cfg";

}  // namespace harvelo
