// Which settings a console run uses and which it saves: the command line overrides the
// saved settings for the run only; what the run itself changes is kept.
#pragma once
#include <string>

#include "cli/command_line.h"
#include "settings/settings.h"

namespace harvelo::cli {

// The loaded settings with the command line's overrides applied.
Settings RunSettings(const Settings& loaded, const CommandLine& line);

// What goes back into HV_conf.cfg and HV_recent.cfg after the run: the loaded values for
// everything the command line overrode, the run's values otherwise (the engine keeps
// the destination field and the "+1" box in `afterRun`), and the run's recent addresses.
Settings SettingsToSave(const Settings& loaded, const Settings& afterRun, const CommandLine& line);

// A file's bytes as they were, to be put back after a run (or removed again when the
// file did not exist). Something else than a regular file of that name is left alone.
class FileSnapshot {
 public:
  explicit FileSnapshot(std::string path);
  void Restore() const;

 private:
  enum class Kind { kAbsent, kRegular, kOther };
  std::string path_;
  Kind kind_ = Kind::kAbsent;
  std::string bytes_;
};

}  // namespace harvelo::cli
