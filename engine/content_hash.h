// A fast 64-bit hash of a file's content, computed block by block as the file arrives
// (XXH3). Equal hashes only nominate a copy: the bytes are compared before anything is
// removed.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

struct XXH3_state_s;

namespace harvelo {

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

// The hash and size of a whole file; false when it can't be read.
bool HashFile(const std::string& path, std::uint64_t& hash, std::uint64_t& size);

// True when both files can be read and hold the same bytes.
bool SameFileContent(const std::string& a, const std::string& b);

}  // namespace harvelo
