#include "engine/content_hash.h"

#include <sys/stat.h>
#include <xxhash.h>

#include <cstdio>
#include <cstring>

namespace harvelo {
namespace {

constexpr size_t kBlock = 64 * 1024;

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

void ContentHash::StateDeleter::operator()(XXH3_state_s* state) const {
  XXH3_freeState(state);
}

ContentHash::ContentHash() : state_(XXH3_createState()) {
  Reset();
}

ContentHash::~ContentHash() = default;

void ContentHash::Reset() {
  if (state_) XXH3_64bits_reset(state_.get());
  bytes_ = 0;
}

void ContentHash::Update(const char* data, size_t size) {
  if (state_) XXH3_64bits_update(state_.get(), data, size);
  bytes_ += size;
}

std::uint64_t ContentHash::Digest() const {
  return state_ ? XXH3_64bits_digest(state_.get()) : 0;
}

bool HashFileHead(const std::string& path, std::uint64_t& hash, std::uint64_t& size) {
  const File f(std::fopen(path.c_str(), "rb"));
  if (!f) return false;
  const std::unique_ptr<char[]> block = std::make_unique<char[]>(kHashedHead);
  const size_t n = std::fread(block.get(), 1, kHashedHead, f.get());
  if (std::ferror(f.get())) return false;
  struct stat st {};
  if (::fstat(::fileno(f.get()), &st) != 0) return false;
  ContentHash content;
  content.Update(block.get(), n);
  hash = content.Digest();
  size = static_cast<std::uint64_t>(st.st_size);
  return true;
}

bool SameFileContent(const std::string& a, const std::string& b) {
  const File fa(std::fopen(a.c_str(), "rb"));
  const File fb(std::fopen(b.c_str(), "rb"));
  if (!fa || !fb) return false;
  const std::unique_ptr<char[]> ba = std::make_unique<char[]>(kBlock);
  const std::unique_ptr<char[]> bb = std::make_unique<char[]>(kBlock);
  for (;;) {
    const size_t na = std::fread(ba.get(), 1, kBlock, fa.get());
    const size_t nb = std::fread(bb.get(), 1, kBlock, fb.get());
    if (na != nb || std::memcmp(ba.get(), bb.get(), na) != 0) return false;
    if (na == 0) return !std::ferror(fa.get()) && !std::ferror(fb.get());
  }
}

}  // namespace harvelo
