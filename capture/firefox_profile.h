// Finds Firefox's default profile directory from profiles.ini and installs.ini.
#pragma once
#include <string>

namespace harvelo {

// `firefoxDir`: the directory holding profiles.ini (normally ~/.mozilla/firefox/). The
// default is the first Default= of installs.ini, else of an [Install...] section of
// profiles.ini, else the [Profile...] marked Default=1, else the only or first profile.
// Relative paths are taken from firefoxDir. Returns "" when there is none; else the
// directory, ending in '/'.
std::string DefaultFirefoxProfile(const std::string& firefoxDir);

// ~/.mozilla/firefox/ from $HOME ("" without a home).
std::string FirefoxDirectory();

}  // namespace harvelo
