#include "platform/text_file.h"
#include "settings/quote_file.h"
#include "settings/quoted_field.h"
#include "settings/settings.h"
#include "settings/settings_file_names.h"

namespace harvelo {

// The directory text and the file name are joined as they are: the window keeps a
// trailing separator on the destination directory.
std::string LoadPrefix(const std::string& destinationDir) {
  std::string prefix = "AAA_";
  QuoteFile file(destinationDir + kPrefixFileName);
  std::string field;
  if (file.ReadField(field)) prefix = field;
  return prefix;
}

void SavePrefix(const std::string& destinationDir, const std::string& prefix) {
  TextWriter writer;
  if (!writer.Open(destinationDir + kPrefixFileName, TextWriter::Mode::kReplaceAtomically)) return;
  writer.Write(QuotedField(prefix) + "\n");
  writer.Close();
}

}  // namespace harvelo
