#include "settings/recent_file.h"

#include <algorithm>
#include <deque>

#include "platform/text_file.h"
#include "settings/quote_file.h"
#include "settings/quoted_field.h"

namespace harvelo {

void LoadRecentAddresses(std::vector<std::string>& addresses, const std::string& path) {
  QuoteFile file;
  if (!file.Open(path)) return;
  // Only the newest entries (the file's last) are kept: a file grown by hand or by a
  // hostile program must not fill the drop-down list with thousands of lines.
  std::deque<std::string> read;
  for (std::string field; file.ReadField(field);) {
    if (read.size() == kMaxRecentAddresses) read.pop_front();
    read.push_back(std::move(field));
  }
  // Each address goes on top in turn: the file's order reversed, above what was there.
  std::reverse(read.begin(), read.end());
  addresses.insert(addresses.begin(), std::make_move_iterator(read.begin()),
                   std::make_move_iterator(read.end()));
}

bool SaveRecentAddresses(const std::vector<std::string>& addresses, const std::string& path) {
  TextWriter writer;
  if (!writer.Open(path, TextWriter::Mode::kReplaceAtomically)) return false;
  const size_t n = std::min(addresses.size(), kMaxRecentAddresses);
  for (size_t i = n; i-- > 0;) writer.Write(QuotedField(addresses[i]) + "\n");
  return writer.Close();
}

}  // namespace harvelo
