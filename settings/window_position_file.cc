#include "platform/text_file.h"
#include "settings/decimal_value.h"
#include "settings/quote_file.h"
#include "settings/settings.h"
#include "settings/settings_file_names.h"

namespace harvelo {

void LoadWindowPosition(WindowPosition& position, const std::string& dir) {
  // -1 in either coordinate leaves the window where the system placed it.
  position.x = -1;
  position.y = -1;
  QuoteFile file(dir + kCoordFileName);
  std::string field;
  if (file.ReadField(field)) position.x = DecimalValue(field);
  if (file.ReadField(field)) position.y = DecimalValue(field);
  if (file.ReadField(field)) position.alwaysOnTop = DecimalValue(field);
}

void SaveWindowPosition(const WindowPosition& position, const std::string& dir) {
  TextWriter writer;
  if (!writer.Open(dir + kCoordFileName, TextWriter::Mode::kReplaceAtomically)) return;
  writer.Printf("X-Pos: \"%d\"\n", position.x);
  writer.Printf("Y-Pos: \"%d\"\n", position.y);
  writer.Printf("Always on Top: \"%d\"\n", position.alwaysOnTop);
  writer.Close();
}

}  // namespace harvelo
