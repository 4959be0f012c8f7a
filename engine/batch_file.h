// Batch files: plain text, one address per line.
#pragma once
#include <string>
#include <vector>

namespace harvelo {

// Reads every line of the file in text mode (a CR LF pair reads as one newline), each
// without its newline and otherwise untouched: an empty line gives an empty address,
// and a line of any length stays one address (of its first kMaxKeptText characters).
// False when the file can't be opened.
bool ReadBatchFile(const std::string& path, std::vector<std::string>& lines);

}  // namespace harvelo
