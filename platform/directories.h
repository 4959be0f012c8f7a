// Program and temporary directories, fixed once at start-up. Both end in '/'.
#pragma once
#include <string>

namespace harvelo {

// Directory of the running executable (from /proc/self/exe), ending in '/'.
const std::string& ProgramDirectory();
// This process's own temporary folder, ending in '/': made new with mkdtemp (mode 0700)
// under $XDG_RUNTIME_DIR when that is the user's private folder, else under $TMPDIR or
// "/tmp", and removed with what it holds when the process ends. Files another user
// planted can't be in it, and two running programs never share it. Empty when it could
// not be made.
const std::string& TempDirectory();

// The environment variable by which Harvelo names its temporary folder to the companion
// program it starts, so that the child writes where the parent reads.
inline constexpr char kTempDirectoryVariable[] = "HARVELO_TEMP_DIR";
// True when `dir` is a directory (not a link) owned by this user that no one else may
// enter or write (no group or other permission bits).
bool IsPrivateDirectory(const std::string& dir);

// The pure rules behind the two, for tests: cut a path right after its last '/';
// append one '/' to a non-empty directory that lacks it.
std::string DirectoryOfPath(const std::string& path);
std::string WithTrailingSlash(const std::string& dir);

}  // namespace harvelo
