// Starting a child program and waiting for it.
#pragma once
#include <string>
#include <vector>

namespace harvelo {

// Starts `path` (no search path is consulted when it holds a '/') with the argument
// vector `args` (args[0] is the program name) and waits until it ends.
// Returns 1 when the child could be started; its exit status (or 128 + signal number
// when it was killed) then goes to *exitStatus. Returns 0 when it could not be started.
// `environment` holds "NAME=value" entries set for the child on top of this process's.
int SpawnAndWait(const std::string& path, const std::vector<std::string>& args, int* exitStatus,
                 const std::vector<std::string>& environment = {});

}  // namespace harvelo
