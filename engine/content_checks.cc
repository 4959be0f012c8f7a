#include "engine/content_checks.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace harvelo {

std::function<std::function<bool(const char*, size_t)>()> PictureCutoffMaker(
    const Settings& settings) {
  const auto width = static_cast<std::uint32_t>(std::max(settings.minimumPictureWidth, 0));
  const auto height = static_cast<std::uint32_t>(std::max(settings.minimumPictureHeight, 0));
  if (width == 0 && height == 0) return {};
  return [width, height] {
    // The same reader as the run's, fed the same bytes: it decides at the same byte.
    auto reader = std::make_shared<PictureSizeReader>();
    return [reader, width, height](const char* data, size_t size) {
      if (reader->Feed(data, size) != HeaderResult::kFound) return false;
      return reader->size().width < width || reader->size().height < height;
    };
  };
}

const std::string* ContentChecks::StoredFrom(const Settings& settings,
                                             const std::string& address) const {
  if (!AddressesOnce(settings)) return nullptr;
  const auto it = addresses_.find(address);
  return it != addresses_.end() ? &it->second : nullptr;
}

void ContentChecks::Remember(const std::string& address, const std::string& file) {
  addresses_.insert_or_assign(address, file);
}

void ContentChecks::Begin(const Settings& settings) {
  minWidth_ = static_cast<std::uint32_t>(std::max(settings.minimumPictureWidth, 0));
  minHeight_ = static_cast<std::uint32_t>(std::max(settings.minimumPictureHeight, 0));
  sizeCheck_ = minWidth_ > 0 || minHeight_ > 0;
  duplicates_ = settings.skipDuplicates != 0;
  known_ = duplicates_ && settings.skipKnownFiles != 0;
  header_.Reset();
  hash_.Reset();
  fed_ = 0;
}

void ContentChecks::Feed(const char* data, size_t size) {
  fed_ += size;
  if (sizeCheck_) header_.Feed(data, size);
  if (duplicates_ && hash_.bytes() < kHashedHead) {
    hash_.Update(data, std::min<size_t>(size, kHashedHead - hash_.bytes()));
  }
}

bool ContentChecks::TooSmall(const PictureSize& size) const {
  return size.width < minWidth_ || size.height < minHeight_;
}

bool ContentChecks::PictureTooSmall() const {
  return sizeCheck_ && header_.state() == HeaderResult::kFound && TooSmall(header_.size());
}

// A fetch that did not hand over its bytes as they came (or handed over more, from an
// attempt that started again) is checked from the file it left.
void ContentChecks::ReadBackFromFile(const std::string& path) {
  header_.Reset();
  hash_.Reset();
  fed_ = 0;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) return;
  std::vector<char> block(64 * 1024);
  size_t n = 0;
  // The header and the hashed head both lie within the first block.
  if ((n = std::fread(block.data(), 1, block.size(), f)) > 0) Feed(block.data(), n);
  std::fclose(f);
}

ContentChecks::Verdict ContentChecks::Finish(const std::string& path,
                                             const std::string& destinationDir,
                                             std::string& copyOf) {
  if (!sizeCheck_ && !duplicates_) return Verdict::kKeep;
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return Verdict::kKeep;
  const auto size = static_cast<std::uint64_t>(st.st_size);
  if (fed_ != size) ReadBackFromFile(path);
  if (sizeCheck_ && header_.Finish() == HeaderResult::kFound && TooSmall(header_.size())) {
    return Verdict::kTooSmall;
  }
  if (!duplicates_) return Verdict::kKeep;
  const std::uint64_t digest = hash_.Digest();
  if (auto copy = stored_.FindCopy(path, size, digest, known_ ? &destinationDir : nullptr)) {
    copyOf = *copy;
    return Verdict::kDuplicate;
  }
  stored_.Add(path, size, digest);
  return Verdict::kKeep;
}

}  // namespace harvelo
