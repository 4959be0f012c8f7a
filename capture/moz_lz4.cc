#include "capture/moz_lz4.h"

#include <lz4.h>

#include <cstdint>

namespace harvelo {

namespace {

constexpr char kMagic[] = "mozLz40";  // with its terminating zero: 8 bytes
constexpr size_t kHeader = 12;
constexpr std::uint32_t kMaxSize = kMaxMozLz4Expanded;

}  // namespace

bool DecodeMozLz4(const std::string& data, std::string& out) {
  out.clear();
  if (data.size() < kHeader || data.compare(0, 8, std::string(kMagic, 8)) != 0) return false;
  std::uint32_t size = 0;
  for (int i = 3; i >= 0; --i)
    size = (size << 8) | static_cast<unsigned char>(data[8 + static_cast<size_t>(i)]);
  if (size > kMaxSize || data.size() - kHeader > static_cast<size_t>(LZ4_MAX_INPUT_SIZE))
    return false;
  out.resize(size);
  const int got =
      LZ4_decompress_safe(data.data() + kHeader, out.data(),
                          static_cast<int>(data.size() - kHeader), static_cast<int>(size));
  if (got < 0) {
    out.clear();
    return false;
  }
  out.resize(static_cast<size_t>(got));
  return true;
}

std::string EncodeMozLz4(const std::string& text) {
  std::string out(kMagic, 8);
  const auto size = static_cast<std::uint32_t>(text.size());
  for (int i = 0; i < 4; ++i) out += static_cast<char>((size >> (8 * i)) & 0xFF);
  std::string block(static_cast<size_t>(LZ4_compressBound(static_cast<int>(text.size()))), '\0');
  const int n = LZ4_compress_default(text.data(), block.data(), static_cast<int>(text.size()),
                                     static_cast<int>(block.size()));
  out.append(block.data(), static_cast<size_t>(n > 0 ? n : 0));
  return out;
}

}  // namespace harvelo
