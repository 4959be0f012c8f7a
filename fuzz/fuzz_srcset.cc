// Feeds arbitrary bytes to the srcset reader and to the page scan with pages read as they
// are written today. Byte 0 picks which: even, the rest is a srcset value, whose
// candidates must be pieces of it that read back the same when written out again; odd,
// the rest is a page, scanned with a small or a large tag buffer.
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "engine/html_file.h"
#include "engine/page_scan.h"
#include "engine/srcset.h"
#include "engine/tag_attributes.h"

namespace {

using namespace harvelo;

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

std::string Written(const std::vector<ImageCandidate>& candidates) {
  std::string out;
  char number[64];
  for (const ImageCandidate& c : candidates) {
    out += c.address;
    if (c.width != 0) {
      std::snprintf(number, sizeof number, " %" PRIu64 "w", c.width);
    } else {
      std::snprintf(number, sizeof number, " %.17gx", c.density);
    }
    out += number;
    out += ", ";
  }
  return out;
}

void FuzzSrcset(std::string_view text) {
  const std::vector<ImageCandidate> candidates = ParseSrcset(text);
  for (const ImageCandidate& c : candidates) {
    Check(!c.address.empty());
    Check(text.find(c.address) != std::string_view::npos);
    Check(c.address.front() != ',' && c.address.back() != ',');
    for (const char ch : c.address) Check(!IsSpace(ch));
    Check(c.density >= 0 || c.width != 0);
    Check(!IsLargerCandidate(c, c));
  }
  const std::string written = Written(candidates);  // the new candidates point into it
  const std::vector<ImageCandidate> again = ParseSrcset(written);
  Check(again.size() == candidates.size());
  for (size_t i = 0; i < again.size(); ++i) {
    Check(again[i].address == candidates[i].address);
    Check(again[i].width == candidates[i].width);
    Check(again[i].width != 0 || again[i].density == candidates[i].density);
  }
  // Decoding never lengthens a value.
  Check(DecodeCharacterReferences(text).size() <= text.size());
}

void FuzzModernScan(std::string_view page, bool smallBuffer) {
  const std::string types = ",JPG,JPEG,PNG,,";
  const std::string address = "http://example.com/gallery/index.html";
  std::string title;
  CNameList links, images, pages, queue;
  PageScanTarget target{&types, &address, &title, &links, &images, &pages, &queue, "", "", {}};
  target.modernPages = true;
  HTMLFile file(smallBuffer ? 64 : kModernTagBufferSize);
  file.OpenMemory(page);
  ScanPage(file, target);
  // Every picture brings at most one page, and is one entry.
  Check(pages.Count() <= images.Count());
  for (; images.Count() > 0; images.PopFront()) {
    Check(images.FrontKind() == ResourceEntry && images.FrontText()[0] != '\0');
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  if ((data[0] & 1) == 0) {
    FuzzSrcset(rest);
  } else {
    FuzzModernScan(rest, (data[0] & 2) != 0);
  }
  return 0;
}
