#include "engine/picture_header.h"

#include <algorithm>

namespace harvelo {
namespace {

std::uint32_t Byte(std::string_view s, size_t i) {
  return static_cast<unsigned char>(s[i]);
}

std::uint32_t Be16(std::string_view s, size_t i) {
  return Byte(s, i) << 8 | Byte(s, i + 1);
}

std::uint32_t Be32(std::string_view s, size_t i) {
  return Be16(s, i) << 16 | Be16(s, i + 2);
}

std::uint32_t Le16(std::string_view s, size_t i) {
  return Byte(s, i) | Byte(s, i + 1) << 8;
}

std::uint32_t Le24(std::string_view s, size_t i) {
  return Le16(s, i) | Byte(s, i + 2) << 16;
}

std::uint32_t Le32(std::string_view s, size_t i) {
  return Le16(s, i) | Le16(s, i + 2) << 16;
}

HeaderResult Found(std::uint32_t width, std::uint32_t height, PictureSize& size) {
  if (width == 0 || height == 0) return HeaderResult::kUnknown;
  size.width = width;
  size.height = height;
  return HeaderResult::kFound;
}

// True when `head` and `signature` agree over the shorter of the two.
bool Agrees(std::string_view head, std::string_view signature) {
  const size_t n = std::min(head.size(), signature.size());
  return head.substr(0, n) == signature.substr(0, n);
}

constexpr std::string_view kJpeg("\xFF\xD8\xFF", 3);
constexpr std::string_view kPng("\x89PNG\r\n\x1A\n", 8);
constexpr std::string_view kGif87("GIF87a");
constexpr std::string_view kGif89("GIF89a");
constexpr std::string_view kRiff("RIFF");
constexpr std::string_view kBmp("BM");

// The start-of-frame markers that carry the frame's size: C0-CF but for DHT (C4), JPG
// (C8) and DAC (CC).
bool IsStartOfFrame(std::uint32_t marker) {
  return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

}  // namespace

HeaderResult ReadJpegSize(std::string_view head, PictureSize& size) {
  size_t pos = 2;  // past SOI
  for (;;) {
    if (pos >= head.size()) return HeaderResult::kNeedMore;
    if (Byte(head, pos) != 0xFF) return HeaderResult::kUnknown;
    // Any number of 0xFF fill bytes may stand before a marker.
    while (pos < head.size() && Byte(head, pos) == 0xFF) ++pos;
    if (pos >= head.size()) return HeaderResult::kNeedMore;
    const std::uint32_t marker = Byte(head, pos++);
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) continue;  // no length
    // The image data or its end before any frame header: nothing to read.
    if (marker == 0xD8 || marker == 0xD9 || marker == 0xDA || marker == 0x00) {
      return HeaderResult::kUnknown;
    }
    if (pos + 2 > head.size()) return HeaderResult::kNeedMore;
    const std::uint32_t length = Be16(head, pos);
    if (length < 2) return HeaderResult::kUnknown;
    if (IsStartOfFrame(marker)) {
      // length, precision, height, width
      if (length < 7) return HeaderResult::kUnknown;
      if (pos + 7 > head.size()) return HeaderResult::kNeedMore;
      return Found(Be16(head, pos + 5), Be16(head, pos + 3), size);
    }
    pos += length;
  }
}

HeaderResult ReadPngSize(std::string_view head, PictureSize& size) {
  // Signature, then the first chunk, which must be IHDR: length, type, width, height.
  if (head.size() < 24) {
    return head.size() <= 12 || Agrees(head.substr(12), "IHDR") ? HeaderResult::kNeedMore
                                                                : HeaderResult::kUnknown;
  }
  if (head.substr(12, 4) != "IHDR") return HeaderResult::kUnknown;
  const std::uint32_t width = Be32(head, 16);
  const std::uint32_t height = Be32(head, 20);
  // The format allows at most 2^31 - 1 in each dimension.
  if (width > 0x7FFFFFFFu || height > 0x7FFFFFFFu) return HeaderResult::kUnknown;
  return Found(width, height, size);
}

HeaderResult ReadGifSize(std::string_view head, PictureSize& size) {
  if (head.size() < 10) return HeaderResult::kNeedMore;
  return Found(Le16(head, 6), Le16(head, 8), size);
}

HeaderResult ReadWebpSize(std::string_view head, PictureSize& size) {
  if (head.size() < 16) {
    return head.size() <= 8 || Agrees(head.substr(8), "WEBP") ? HeaderResult::kNeedMore
                                                              : HeaderResult::kUnknown;
  }
  if (head.substr(8, 4) != "WEBP") return HeaderResult::kUnknown;
  const std::string_view chunk = head.substr(12, 4);
  if (chunk == "VP8 ") {
    // A key frame's tag (3 bytes), its start code, then 14-bit width and height.
    if (head.size() < 30) return HeaderResult::kNeedMore;
    if (head.substr(23, 3) != std::string_view("\x9D\x01\x2A", 3)) return HeaderResult::kUnknown;
    return Found(Le16(head, 26) & 0x3FFF, Le16(head, 28) & 0x3FFF, size);
  }
  if (chunk == "VP8L") {
    // Signature byte 0x2F, then width - 1 and height - 1 in 14 bits each.
    if (head.size() < 25) return HeaderResult::kNeedMore;
    if (Byte(head, 20) != 0x2F) return HeaderResult::kUnknown;
    const std::uint32_t bits = Le32(head, 21);
    return Found((bits & 0x3FFF) + 1, (bits >> 14 & 0x3FFF) + 1, size);
  }
  if (chunk == "VP8X") {
    // Flags (4 bytes), then the canvas's width - 1 and height - 1 in 24 bits each.
    if (head.size() < 30) return HeaderResult::kNeedMore;
    return Found(Le24(head, 24) + 1, Le24(head, 27) + 1, size);
  }
  return HeaderResult::kUnknown;
}

HeaderResult ReadBmpSize(std::string_view head, PictureSize& size) {
  if (head.size() < 18) return HeaderResult::kNeedMore;
  const std::uint32_t infoSize = Le32(head, 14);
  if (infoSize == 12) {  // the OS/2 core header: 16-bit sizes
    if (head.size() < 22) return HeaderResult::kNeedMore;
    return Found(Le16(head, 18), Le16(head, 20), size);
  }
  // "BM" alone is a weak signature: only the header sizes that exist are taken.
  constexpr std::uint32_t kInfoSizes[] = {16, 40, 52, 56, 64, 108, 124};
  if (std::find(std::begin(kInfoSizes), std::end(kInfoSizes), infoSize) == std::end(kInfoSizes)) {
    return HeaderResult::kUnknown;
  }
  if (head.size() < 26) return HeaderResult::kNeedMore;
  const auto width = static_cast<std::int32_t>(Le32(head, 18));
  const auto height = static_cast<std::int32_t>(Le32(head, 22));
  if (width <= 0) return HeaderResult::kUnknown;
  // A negative height is a picture stored top-down; its magnitude (2^31 at most) is the
  // height, computed without negating INT32_MIN.
  const std::uint32_t rows =
      height < 0 ? ~static_cast<std::uint32_t>(height) + 1 : static_cast<std::uint32_t>(height);
  return Found(static_cast<std::uint32_t>(width), rows, size);
}

HeaderResult ReadPictureSize(std::string_view head, PictureSize& size) {
  if (head.size() >= kJpeg.size() && head.starts_with(kJpeg)) return ReadJpegSize(head, size);
  if (head.size() >= kPng.size() && head.starts_with(kPng)) return ReadPngSize(head, size);
  if (head.size() >= kGif87.size() && (head.starts_with(kGif87) || head.starts_with(kGif89))) {
    return ReadGifSize(head, size);
  }
  if (head.size() >= kRiff.size() && head.starts_with(kRiff)) return ReadWebpSize(head, size);
  if (head.size() >= kBmp.size() && head.starts_with(kBmp)) return ReadBmpSize(head, size);
  // Too short to tell yet: still the beginning of one of the signatures?
  for (const std::string_view signature : {kJpeg, kPng, kGif87, kGif89, kRiff, kBmp}) {
    if (head.size() < signature.size() && signature.starts_with(head)) {
      return HeaderResult::kNeedMore;
    }
  }
  return HeaderResult::kUnknown;
}

void PictureSizeReader::Reset() {
  head_.clear();
  state_ = HeaderResult::kNeedMore;
  size_ = PictureSize{};
}

HeaderResult PictureSizeReader::Feed(const char* data, size_t size) {
  if (state_ != HeaderResult::kNeedMore) return state_;
  head_.append(data, std::min(size, kLimit - head_.size()));
  state_ = ReadPictureSize(head_, size_);
  if (state_ == HeaderResult::kNeedMore && head_.size() >= kLimit) state_ = HeaderResult::kUnknown;
  return state_;
}

HeaderResult PictureSizeReader::Finish() {
  if (state_ == HeaderResult::kNeedMore) state_ = HeaderResult::kUnknown;
  return state_;
}

}  // namespace harvelo
