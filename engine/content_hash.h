// A fast 64-bit hash (XXH3) of the head of a file's content, computed block by block as
// the file arrives. With the size it nominates a copy; the bytes are compared before
// anything is removed. Only the head is hashed: hashing every byte of a large file cost a
// sixth of a loopback fetch's time, and files of one size that agree over their first
// 64 KB are rare enough for the comparison to settle.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

struct XXH3_state_s;

namespace harvelo {

// How much of a file's beginning the hash covers.
constexpr size_t kHashedHead = 64 * 1024;

class ContentHash {
 public:
  ContentHash();
  ~ContentHash();
  ContentHash(const ContentHash&) = delete;
  ContentHash& operator=(const ContentHash&) = delete;

  void Reset();
  void Update(const char* data, size_t size);
  std::uint64_t Digest() const;
  std::uint64_t bytes() const { return bytes_; }

 private:
  struct StateDeleter {
    void operator()(XXH3_state_s* state) const;
  };
  std::unique_ptr<XXH3_state_s, StateDeleter> state_;
  std::uint64_t bytes_ = 0;
};

// The hash of a file's first kHashedHead bytes, and its whole size; false when it can't
// be read.
bool HashFileHead(const std::string& path, std::uint64_t& hash, std::uint64_t& size);

// True when both files can be read and hold the same bytes.
bool SameFileContent(const std::string& a, const std::string& b);

}  // namespace harvelo
