// Files that a process names after itself (its process id in the file name) and that
// outlive it when it is killed: which of them belong to processes that are gone.
#pragma once
#include <sys/types.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace harvelo {

// The names in `directory` ("" for the working directory) whose owner, as `owner` reads
// it from the name (0: not such a file), is a process other than this one that no
// longer exists. A live process's files, another run's, are never among them.
std::vector<std::string> FilesOfGoneProcesses(
    const std::string& directory, const std::function<pid_t(std::string_view name)>& owner);

// The decimal process id `digits` holds, or 0 when it holds anything else.
pid_t ProcessIdFrom(std::string_view digits);

}  // namespace harvelo
