#include "capture/open_pages_files.h"

#include "settings/decimal_value.h"
#include "settings/quote_file.h"

namespace harvelo {

namespace {

void ReadValues(QuoteFile& file, CapturedPage& page) {
  file.ReadField(page.address);
  file.ReadField(page.cookie);
  file.ReadField(page.referrer);
}

}  // namespace

int ReadInspectorCount(const std::string& path) {
  std::string text;
  if (!ReadTextFile(path, text)) return 0;
  return DecimalValue(text);
}

bool ReadFirstRecord(const std::string& path, CapturedPage& page) {
  return ReadRecordAt(path, 0, page);
}

std::vector<std::string> ReadRecordTitles(const std::string& path) {
  std::vector<std::string> titles;
  QuoteFile file(path);
  std::string title;
  while (file.ReadField(title)) {
    titles.push_back(title);
    for (int i = 0; i < 3; ++i) file.SkipField();
  }
  return titles;
}

bool ReadRecordAt(const std::string& path, int index, CapturedPage& page) {
  QuoteFile file(path);
  if (!file.IsOpen()) return false;
  for (int i = 0; i < 4 * index + 1; ++i) file.SkipField();
  ReadValues(file, page);
  return true;
}

bool FindRecordByAddress(const std::string& path, const std::string& address, CapturedPage& page) {
  QuoteFile file(path);
  std::string title, candidate, cookie, referrer;
  while (file.ReadField(title)) {
    file.ReadField(candidate);
    file.ReadField(cookie);
    file.ReadField(referrer);
    if (candidate == address) {
      page = {candidate, cookie, referrer};
      return true;
    }
  }
  return false;
}

}  // namespace harvelo
