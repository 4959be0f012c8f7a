// The picture-size readers on real headers, and on truncated, lying and huge ones.
#include "engine/picture_header.h"

#include <gtest/gtest.h>

#include <string>

namespace harvelo {
namespace {

std::string Be16(unsigned v) {
  return {static_cast<char>(v >> 8), static_cast<char>(v & 0xFF)};
}
std::string Be32(unsigned v) {
  return Be16(v >> 16) + Be16(v & 0xFFFF);
}
std::string Le16(unsigned v) {
  return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
}
std::string Le32(unsigned v) {
  return Le16(v & 0xFFFF) + Le16(v >> 16);
}

// A JPEG with an EXIF segment of `exifBytes` before its baseline frame header.
std::string Jpeg(unsigned width, unsigned height, size_t exifBytes = 14) {
  std::string s("\xFF\xD8", 2);
  s += std::string("\xFF\xE1", 2) + Be16(static_cast<unsigned>(exifBytes + 2)) +
       std::string(exifBytes, 'e');
  s += std::string("\xFF\xDB", 2) + Be16(67) + std::string(65, 'q');  // quantisation table
  s += std::string("\xFF\xFF\xC2", 3) + Be16(17) + "\x08" + Be16(height) + Be16(width) +
       std::string(12, 'c');  // fill byte, then a progressive frame
  s += std::string("\xFF\xDA", 2) + Be16(8) + std::string(6, 's') + std::string(500, 'd');
  return s;
}

std::string Png(unsigned width, unsigned height) {
  return std::string("\x89PNG\r\n\x1A\n", 8) + Be32(13) + "IHDR" + Be32(width) + Be32(height) +
         "\x08\x06\x00\x00\x00" + "crc!" + std::string(100, 'z');
}

std::string Gif(unsigned width, unsigned height) {
  return "GIF89a" + Le16(width) + Le16(height) + std::string("\xF7\x00\x00", 3);
}

std::string Riff(const std::string& chunk, const std::string& data) {
  return "RIFF" + Le32(static_cast<unsigned>(data.size() + 12)) + "WEBP" + chunk +
         Le32(static_cast<unsigned>(data.size())) + data;
}
std::string WebpLossy(unsigned width, unsigned height) {
  return Riff("VP8 ", std::string("\x50\x2A\x01\x9D\x01\x2A", 6) + Le16(width) + Le16(height) +
                          std::string(40, 'v'));
}
std::string WebpLossless(unsigned width, unsigned height) {
  const unsigned bits = (width - 1) | (height - 1) << 14;
  return Riff("VP8L", "\x2F" + Le32(bits) + std::string(40, 'l'));
}
std::string WebpExtended(unsigned width, unsigned height) {
  const std::string w = Le32(width - 1).substr(0, 3);
  const std::string h = Le32(height - 1).substr(0, 3);
  return Riff("VP8X", std::string(4, '\0') + w + h + std::string(40, 'x'));
}

std::string Bmp(int width, int height, unsigned infoSize = 40) {
  return "BM" + Le32(1000) + Le32(0) + Le32(54) + Le32(infoSize) +
         Le32(static_cast<unsigned>(width)) + Le32(static_cast<unsigned>(height)) +
         std::string(40, 'b');
}

std::string Read(const std::string& file) {
  PictureSize size;
  switch (ReadPictureSize(file, size)) {
    case HeaderResult::kNeedMore:
      return "more";
    case HeaderResult::kUnknown:
      return "unknown";
    case HeaderResult::kFound:
      return std::to_string(size.width) + "x" + std::to_string(size.height);
  }
  return "?";
}

TEST(PictureHeaderTest, EachFormatGivesItsSize) {
  EXPECT_EQ(Read(Jpeg(1600, 1200)), "1600x1200");
  EXPECT_EQ(Read(Png(16, 16)), "16x16");
  EXPECT_EQ(Read(Gif(1, 1)), "1x1");
  EXPECT_EQ(Read(WebpLossy(800, 600)), "800x600");
  EXPECT_EQ(Read(WebpLossless(16383, 2)), "16383x2");
  EXPECT_EQ(Read(WebpExtended(5000, 3000)), "5000x3000");
  EXPECT_EQ(Read(Bmp(640, 480)), "640x480");
  EXPECT_EQ(Read(Bmp(640, -480)), "640x480");  // stored top-down
  EXPECT_EQ(Read("BM" + Le32(0) + Le32(0) + Le32(26) + Le32(12) + Le16(32) + Le16(24)), "32x24");
  // A Huffman table (C4, among the frame markers' numbers) before the frame header is
  // passed over, not read as a frame.
  const std::string huffmanFirst = std::string("\xFF\xD8\xFF\xC4", 4) + Be16(21) +
                                   std::string(1, '\0') + Be16(1281) + Be16(1) +
                                   std::string(14, 'h') + std::string("\xFF\xC0", 2) + Be16(17) +
                                   "\x08" + Be16(256) + Be16(512) + std::string(12, 'c');
  EXPECT_EQ(Read(huffmanFirst), "512x256");
}

TEST(PictureHeaderTest, EveryTruncationAsksForMoreUntilTheSizeIsThere) {
  for (const std::string& file :
       {Jpeg(1600, 1200, 3000), Png(16, 16), Gif(1, 1), WebpLossy(800, 600), WebpLossless(9, 9),
        WebpExtended(7, 7), Bmp(640, 480)}) {
    const std::string whole = Read(file);
    bool found = false;
    for (size_t n = 0; n <= file.size(); ++n) {
      const std::string prefix = Read(file.substr(0, n));
      if (prefix != "more") {
        ASSERT_EQ(prefix, whole) << n;
        found = true;
      } else {
        ASSERT_FALSE(found) << "asked for more after answering, at " << n;
      }
    }
    EXPECT_TRUE(found);
  }
}

TEST(PictureHeaderTest, LyingAndBrokenHeadersAreUnknownNotGuessed) {
  EXPECT_EQ(Read("<html>"), "unknown");
  EXPECT_EQ(Read(""), "more");
  EXPECT_EQ(Read("GIF8"), "more");
  EXPECT_EQ(Read("GIF90a1234"), "unknown");
  // A zero dimension is no size.
  EXPECT_EQ(Read(Png(0, 10)), "unknown");
  EXPECT_EQ(Read(Gif(10, 0)), "unknown");
  EXPECT_EQ(Read(Jpeg(0, 10)), "unknown");
  // PNG whose first chunk is not IHDR; beyond the format's 2^31 - 1.
  std::string png = Png(5, 5);
  png.replace(12, 4, "IDAT");
  EXPECT_EQ(Read(png), "unknown");
  EXPECT_EQ(Read(Png(0x80000000u, 1)), "unknown");
  // JPEG: a segment length below 2, a stray byte where a marker belongs, the image data
  // before any frame header.
  EXPECT_EQ(Read(std::string("\xFF\xD8\xFF\xE0\x00\x01", 6)), "unknown");
  EXPECT_EQ(Read(std::string("\xFF\xD8\xFF\xE0\x00\x02X", 7)), "unknown");
  EXPECT_EQ(Read(std::string("\xFF\xD8\xFF\xDA\x00\x08", 6)), "unknown");
  // A segment length that points far beyond the data: more is asked, nothing invented.
  EXPECT_EQ(Read(std::string("\xFF\xD8\xFF\xE1\xFF\xFF", 6) + std::string(100, 'x')), "more");
  // RIFF that is not WebP (a WAV file), WebP without its start code or signature.
  EXPECT_EQ(Read("RIFF" + Le32(100) + "WAVEfmt "), "unknown");
  std::string lossy = WebpLossy(8, 8);
  lossy[23] = 0;
  EXPECT_EQ(Read(lossy), "unknown");
  std::string lossless = WebpLossless(8, 8);
  lossless[20] = 0;
  EXPECT_EQ(Read(lossless), "unknown");
  // "BM" text, a BMP with a negative width or an unknown header size.
  EXPECT_EQ(Read("BMW is a car maker, 1234567890"), "unknown");
  EXPECT_EQ(Read(Bmp(-5, 5)), "unknown");
  EXPECT_EQ(Read(Bmp(5, 5, 41)), "unknown");
}

TEST(PictureHeaderTest, HugeDimensionsAreReadWithoutOverflow) {
  EXPECT_EQ(Read(Jpeg(65535, 65535)), "65535x65535");
  EXPECT_EQ(Read(Png(0x7FFFFFFFu, 0x7FFFFFFFu)), "2147483647x2147483647");
  EXPECT_EQ(Read(Bmp(0x7FFFFFFF, INT32_MIN)), "2147483647x2147483648");
  EXPECT_EQ(Read(WebpExtended(1u << 24, 1u << 24)), "16777216x16777216");
}

TEST(PictureHeaderTest, TheReaderDecidesWithinTheFirst64KB) {
  // The frame header right before the limit is read; one past it is not.
  const size_t before = PictureSizeReader::kLimit - 200;
  for (const auto& [exif, expected] :
       {std::pair{before, HeaderResult::kFound},
        std::pair{PictureSizeReader::kLimit - 10, HeaderResult::kUnknown}}) {
    const std::string file = Jpeg(20, 20, exif) + std::string(100000, 'd');
    PictureSizeReader reader;
    HeaderResult state = HeaderResult::kNeedMore;
    size_t fed = 0;
    for (; fed < file.size() && state == HeaderResult::kNeedMore; fed += 2048) {
      state = reader.Feed(file.data() + fed, std::min<size_t>(2048, file.size() - fed));
    }
    EXPECT_EQ(state, expected);
    EXPECT_LE(fed, PictureSizeReader::kLimit + 2048);
  }
  // A file that ends before its header is complete is unknown, and stays so.
  PictureSizeReader reader;
  EXPECT_EQ(reader.Feed("\x89PNG", 4), HeaderResult::kNeedMore);
  EXPECT_EQ(reader.Finish(), HeaderResult::kUnknown);
  EXPECT_EQ(reader.Feed("\r\n\x1A\n", 4), HeaderResult::kUnknown);
}

}  // namespace
}  // namespace harvelo
