// What a run checks of each resource's bytes as they arrive: the picture's size against
// the minimum picture size, and whether the same bytes were stored before (by this run,
// or, when asked, already in the destination directory).
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>

#include "engine/content_hash.h"
#include "engine/picture_header.h"
#include "engine/stored_content.h"
#include "settings/settings.h"

namespace harvelo {

// For a transfer that runs ahead of the run: a reader of its body that answers true at
// the bytes where the run's own check will cancel it as a picture too small. Empty when
// the minimum picture size is off.
std::function<std::function<bool(const char*, size_t)>()> PictureCutoffMaker(
    const Settings& settings);

class ContentChecks {
 public:
  enum class Verdict { kKeep, kTooSmall, kDuplicate };

  // A new run: the files of the runs before no longer count as the run's own.
  void StartRun() {
    stored_.Clear();
    addresses_.clear();
  }

  // With Skip Dupes each address is asked for once a run: the file that the run stored
  // from `address` (or found its bytes equal to), which then stands for it without a
  // request; else null.
  static bool AddressesOnce(const Settings& settings) { return settings.skipDuplicates != 0; }
  const std::string* StoredFrom(const Settings& settings, const std::string& address) const;
  // `address` gave the bytes of `file`, kept by the run.
  void Remember(const std::string& address, const std::string& file);

  // A resource begins; the checks follow the settings as they are now.
  void Begin(const Settings& settings);
  // The next bytes of its body, as they are written.
  void Feed(const char* data, size_t size);
  // True once the header read so far shows a picture below the minimum size: the
  // transfer can be cancelled at once.
  bool PictureTooSmall() const;

  // The body is complete in `path` (a 2xx response). Bytes that did not pass through
  // Feed are read from the file. kDuplicate sets `copyOf` to the file with the same
  // bytes; kKeep records the file as stored by the run.
  Verdict Finish(const std::string& path, const std::string& destinationDir, std::string& copyOf);

 private:
  bool TooSmall(const PictureSize& size) const;
  void ReadBackFromFile(const std::string& path);

  std::uint32_t minWidth_ = 0;
  std::uint32_t minHeight_ = 0;
  bool sizeCheck_ = false;
  bool duplicates_ = false;
  bool known_ = false;
  std::uint64_t fed_ = 0;  // bytes of the current body seen by Feed
  PictureSizeReader header_;
  ContentHash hash_;
  StoredContent stored_;
  std::unordered_map<std::string, std::string> addresses_;  // address -> stored file
};

}  // namespace harvelo
