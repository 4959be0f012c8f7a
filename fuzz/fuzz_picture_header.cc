// Feeds arbitrary bytes to the picture-size readers: each reader directly, the dispatch
// over every prefix (an answer, once given, never changes as more bytes come), and the
// reader of a file as it arrives, in pieces whose sizes byte 0 picks.
#include <cstdint>
#include <string_view>

#include "engine/picture_header.h"

namespace {

using namespace harvelo;

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

bool Same(const PictureSize& a, const PictureSize& b) {
  return a.width == b.width && a.height == b.height;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const size_t piece = 1 + data[0] % 97;
  const std::string_view file(reinterpret_cast<const char*>(data) + 1, size - 1);

  PictureSize size0;
  for (auto reader : {ReadJpegSize, ReadPngSize, ReadGifSize, ReadWebpSize, ReadBmpSize}) {
    if (reader(file, size0) == HeaderResult::kFound) Check(size0.width > 0 && size0.height > 0);
  }

  PictureSize whole;
  const HeaderResult result = ReadPictureSize(file, whole);
  if (result == HeaderResult::kFound) Check(whole.width > 0 && whole.height > 0);
  bool answered = false;
  for (size_t n = 0; n <= file.size(); ++n) {
    // Every short prefix, and a sample of the longer ones, keeps each input quick.
    if (n > 512 && n % 97 != 0 && n != file.size()) continue;
    PictureSize prefix;
    const HeaderResult r = ReadPictureSize(file.substr(0, n), prefix);
    if (r == HeaderResult::kNeedMore) {
      Check(!answered);
      continue;
    }
    answered = true;
    Check(r == result);
    if (r == HeaderResult::kFound) Check(Same(prefix, whole));
  }

  PictureSizeReader arriving;
  for (size_t at = 0; at < file.size(); at += piece) {
    arriving.Feed(file.data() + at, std::min(piece, file.size() - at));
  }
  const HeaderResult end = arriving.Finish();
  if (file.size() <= PictureSizeReader::kLimit) {
    Check(end == (result == HeaderResult::kNeedMore ? HeaderResult::kUnknown : result));
    if (end == HeaderResult::kFound) Check(Same(arriving.size(), whole));
  }
  return 0;
}
