// The header dump of one fetch: a text file beside the output file with the raw
// request and response header blocks.
#pragma once
#include <optional>
#include <string>

namespace harvelo {

// Writes the dump for outPath (see HeaderDumpPath), replacing any earlier one. A missing
// block is written as its failure line. A dump that can't be created is skipped.
void WriteHeaderDump(const std::string& outPath, const std::optional<std::string>& requestBlock,
                     const std::optional<std::string>& responseBlock);

}  // namespace harvelo
