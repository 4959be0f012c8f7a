// Reading what Inspector leaves in the temporary directory: inspector.n (the number of
// records) and inspector.out (four quoted fields a record: title, address, cookie,
// referrer).
#pragma once
#include <string>
#include <vector>

namespace harvelo {

struct CapturedPage {
  std::string address;
  std::string cookie;
  std::string referrer;
};

// The count in inspector.n: one decimal integer; 0 when the file does not open or holds
// no number.
int ReadInspectorCount(const std::string& path);

// The first record's address, cookie and referrer (its title passed over). False when
// the file does not open.
bool ReadFirstRecord(const std::string& path, CapturedPage& page);

// The title of every record, in file order (the list of the window-choice dialog).
std::vector<std::string> ReadRecordTitles(const std::string& path);

// The record at `index` (0-based): 4 x index fields and the title passed over, then the
// three values. False when the file does not open.
bool ReadRecordAt(const std::string& path, int index, CapturedPage& page);

// The first record whose address equals `address` byte for byte.
bool FindRecordByAddress(const std::string& path, const std::string& address, CapturedPage& page);

}  // namespace harvelo
