// The version every program reports (--version) and the package carries; set once, in
// the top-level CMakeLists.txt.
#pragma once

namespace harvelo {

extern const char* const kProgramVersion;

}  // namespace harvelo
