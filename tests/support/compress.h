// Compressing a body as a server sends it with Content-Encoding gzip, br or zstd.
#pragma once
#include <brotli/encode.h>
#include <zlib.h>
#include <zstd.h>

#include <string>

namespace harvelo::testing {

inline std::string Gzip(const std::string& data) {
  z_stream z{};
  // 15 + 16: a gzip wrapper rather than zlib's.
  if (deflateInit2(&z, 9, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK) return {};
  std::string out(deflateBound(&z, data.size()) + 32, '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  z.avail_in = static_cast<uInt>(data.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

inline std::string Brotli(const std::string& data) {
  size_t size = BrotliEncoderMaxCompressedSize(data.size());
  std::string out(size, '\0');
  if (!BrotliEncoderCompress(BROTLI_DEFAULT_QUALITY, BROTLI_DEFAULT_WINDOW, BROTLI_MODE_TEXT,
                             data.size(), reinterpret_cast<const uint8_t*>(data.data()), &size,
                             reinterpret_cast<uint8_t*>(out.data()))) {
    return {};
  }
  out.resize(size);
  return out;
}

inline std::string Zstd(const std::string& data) {
  std::string out(ZSTD_compressBound(data.size()), '\0');
  const size_t size = ZSTD_compress(out.data(), out.size(), data.data(), data.size(), 3);
  if (ZSTD_isError(size)) return {};
  out.resize(size);
  return out;
}

// "gzip", "br" or "zstd".
inline std::string Compress(const std::string& encoding, const std::string& data) {
  if (encoding == "gzip") return Gzip(data);
  if (encoding == "br") return Brotli(data);
  return Zstd(data);
}

}  // namespace harvelo::testing
