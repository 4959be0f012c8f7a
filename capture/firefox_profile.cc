#include "capture/firefox_profile.h"

#include <cstdlib>
#include <vector>

#include "platform/directories.h"
#include "platform/text_file.h"

namespace harvelo {

namespace {

struct IniSection {
  std::string name;
  std::vector<std::pair<std::string, std::string>> keys;
  std::string Get(const std::string& key) const {
    for (const auto& [k, v] : keys) {
      if (k == key) return v;
    }
    return "";
  }
};

std::string Trim(const std::string& s) {
  const auto b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return "";
  return s.substr(b, s.find_last_not_of(" \t\r\n") - b + 1);
}

std::vector<IniSection> ReadIni(const std::string& path) {
  std::vector<IniSection> sections;
  std::string text;
  if (!ReadTextFile(path, text)) return sections;
  size_t pos = 0;
  while (pos < text.size()) {
    auto end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    const std::string line = Trim(text.substr(pos, end - pos));
    pos = end + 1;
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      sections.push_back({line.substr(1, line.size() - 2), {}});
    } else if (const auto eq = line.find('='); eq != std::string::npos && !sections.empty()) {
      sections.back().keys.emplace_back(Trim(line.substr(0, eq)), Trim(line.substr(eq + 1)));
    }
  }
  return sections;
}

std::string ProfilePath(const std::string& firefoxDir, const std::string& path, bool relative) {
  if (path.empty()) return "";
  return WithTrailingSlash(relative && path.front() != '/' ? firefoxDir + path : path);
}

}  // namespace

std::string DefaultFirefoxProfile(const std::string& firefoxDir) {
  const std::string dir = WithTrailingSlash(firefoxDir);
  // installs.ini names each installation's own default, which is what a running
  // Firefox of today uses.
  for (const auto& section : ReadIni(dir + "installs.ini")) {
    if (const auto path = section.Get("Default"); !path.empty())
      return ProfilePath(dir, path, true);
  }
  const auto profiles = ReadIni(dir + "profiles.ini");
  for (const auto& section : profiles) {
    if (section.name.starts_with("Install")) {
      if (const auto path = section.Get("Default"); !path.empty())
        return ProfilePath(dir, path, true);
    }
  }
  const IniSection* chosen = nullptr;
  for (const auto& section : profiles) {
    if (!section.name.starts_with("Profile")) continue;
    if (chosen == nullptr || section.Get("Default") == "1") chosen = &section;
    if (section.Get("Default") == "1") break;
  }
  if (chosen == nullptr) return "";
  return ProfilePath(dir, chosen->Get("Path"), chosen->Get("IsRelative") != "0");
}

std::string FirefoxDirectory() {
  const char* home = std::getenv("HOME");
  if (home == nullptr || *home == '\0') return "";
  return WithTrailingSlash(home) + ".mozilla/firefox/";
}

}  // namespace harvelo
