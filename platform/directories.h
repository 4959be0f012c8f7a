// Program and temporary directories, fixed once at start-up. Both end in '/'.
#pragma once
#include <string>

namespace harvelo {

// Directory of the running executable (from /proc/self/exe), ending in '/'.
const std::string& ProgramDirectory();
// $TMPDIR when set and not empty, else "/tmp", ending in '/'.
const std::string& TempDirectory();

// The pure rules behind the two, for tests: cut a path right after its last '/';
// append one '/' to a non-empty directory that lacks it.
std::string DirectoryOfPath(const std::string& path);
std::string WithTrailingSlash(const std::string& dir);

}  // namespace harvelo
