// The pictures the benchmarks serve: a JPEG start, then bytes that differ from every
// other picture's (Harvelo drops a body that repeats one it stored).
#pragma once
#include <cstddef>
#include <string>

namespace harvelo::bench {

inline std::string ImageBody(int i, size_t size) {
  std::string body(size, '\0');
  for (size_t k = 0; k < body.size(); ++k) body[k] = static_cast<char>((k * 31 + i * 7) & 0xFF);
  body.replace(0, 4, "\xFF\xD8\xFF\xE0");
  const std::string tag = "image " + std::to_string(i);
  body.replace(4, tag.size(), tag);
  return body;
}

}  // namespace harvelo::bench
