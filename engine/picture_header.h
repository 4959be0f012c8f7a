// The pixel size of a picture read from the first bytes of its file: JPEG (its SOF
// segment), PNG (IHDR), GIF (the logical screen), WebP (VP8, VP8L, VP8X) and BMP.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace harvelo {

struct PictureSize {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
};

enum class HeaderResult {
  kNeedMore,  // the bytes so far begin a known format, but its size is further on
  kUnknown,   // not a format read here, or a header that makes no sense
  kFound,
};

// From the first bytes of a file (`head` may be any prefix of it). A size of 0 in either
// dimension is no size: kUnknown.
HeaderResult ReadPictureSize(std::string_view head, PictureSize& size);

// The readers behind it, each for a file that begins with its format's signature.
HeaderResult ReadJpegSize(std::string_view head, PictureSize& size);
HeaderResult ReadPngSize(std::string_view head, PictureSize& size);
HeaderResult ReadGifSize(std::string_view head, PictureSize& size);
HeaderResult ReadWebpSize(std::string_view head, PictureSize& size);
HeaderResult ReadBmpSize(std::string_view head, PictureSize& size);

// Reads the size of a file as it arrives, from at most its first kLimit bytes: a file
// whose size is not known by then stays unknown.
class PictureSizeReader {
 public:
  static constexpr size_t kLimit = 64 * 1024;

  void Reset();
  // Takes the next bytes of the file; returns the state after them.
  HeaderResult Feed(const char* data, size_t size);
  // The end of the file: what is still undecided stays unknown.
  HeaderResult Finish();
  HeaderResult state() const { return state_; }
  const PictureSize& size() const { return size_; }

 private:
  std::string head_;
  HeaderResult state_ = HeaderResult::kNeedMore;
  PictureSize size_;
};

}  // namespace harvelo
