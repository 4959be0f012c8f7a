// Firefox's compressed JSON files (.jsonlz4): the magic "mozLz40\0", the decompressed
// size as 32-bit little-endian, then one LZ4 block.
#pragma once
#include <string>

namespace harvelo {

// Decompresses `data`; false when the framing or the block is not valid.
bool DecodeMozLz4(const std::string& data, std::string& out);
// The other direction, for tests that build a session store.
std::string EncodeMozLz4(const std::string& text);

}  // namespace harvelo
