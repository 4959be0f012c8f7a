// Firefox's compressed JSON files (.jsonlz4): the magic "mozLz40\0", the decompressed
// size as 32-bit little-endian, then one LZ4 block.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace harvelo {

// A session store is a few megabytes at most; one announcing more than this expanded is
// not one, and is refused before anything is allocated.
inline constexpr std::uint32_t kMaxMozLz4Expanded = 64u * 1024 * 1024;
// The most a file holding that much can take compressed (LZ4's worst case, and framing).
inline constexpr size_t kMaxMozLz4File = kMaxMozLz4Expanded + kMaxMozLz4Expanded / 255 + 16 + 12;

// Decompresses `data`; false when the framing or the block is not valid, or it would
// expand beyond kMaxMozLz4Expanded.
bool DecodeMozLz4(const std::string& data, std::string& out);
// The other direction, for tests that build a session store.
std::string EncodeMozLz4(const std::string& text);

}  // namespace harvelo
