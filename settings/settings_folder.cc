#include "settings/settings_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "settings/settings_file_names.h"

namespace harvelo {
namespace {

bool HoldsSettingsFiles(const std::filesystem::path& dir) {
  std::error_code ec;
  for (const char* name : {kConfFileName, kRecentFileName, kCoordFileName, kLangFileName}) {
    if (std::filesystem::exists(dir / name, ec)) return true;
  }
  return false;
}

bool SameFolder(const std::string& a, const std::string& b) {
  std::error_code ec;
  return std::filesystem::equivalent(a, b, ec) && !ec;
}

// Every missing level is made private to the user, as the XDG convention asks.
void MakePrivateFolders(const std::filesystem::path& dir) {
  std::filesystem::path sofar;
  for (const auto& part : dir) {
    sofar /= part;
    if (::mkdir(sofar.c_str(), 0700) != 0 && errno != EEXIST) return;
  }
}

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

}  // namespace

std::string SettingsFolderFor(const std::string& workingDir, const std::string& home,
                              const std::string& xdgConfigHome) {
  if (home.empty() || HoldsSettingsFiles(workingDir) || !SameFolder(workingDir, home)) return "";
  // A relative XDG_CONFIG_HOME is to be ignored (XDG base directory rules).
  const std::filesystem::path config = xdgConfigHome.starts_with('/')
                                           ? std::filesystem::path(xdgConfigHome)
                                           : std::filesystem::path(home) / ".config";
  const std::filesystem::path folder = (config / "harvelo").lexically_normal();
  MakePrivateFolders(folder);
  std::string text = folder.string();
  if (!text.ends_with('/')) text += '/';
  return text;
}

std::string SettingsFolder() {
  std::error_code ec;
  const std::filesystem::path cwd = std::filesystem::current_path(ec);
  if (ec) return "";
  return SettingsFolderFor(cwd.string(), Environment("HOME"), Environment("XDG_CONFIG_HOME"));
}

}  // namespace harvelo
