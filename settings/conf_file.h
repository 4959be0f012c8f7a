// HV_conf.cfg: the seven labelled lines of the configuration.
#pragma once
#include <string>

#include "settings/settings.h"

namespace harvelo {

// Applies the fields present in the file: the two text settings (target types, debug
// options) are always replaced, so a missing field empties them; the others change only
// when their field was read. False, with nothing changed, when the file cannot be opened.
bool ReadConfFile(Settings& settings, const std::string& path);
// False when the file could not be written completely; the earlier file then stays.
bool WriteConfFile(const Settings& settings, const std::string& path);

}  // namespace harvelo
