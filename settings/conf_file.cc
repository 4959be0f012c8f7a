#include "settings/conf_file.h"

#include <algorithm>

#include "platform/text_file.h"
#include "settings/decimal_value.h"
#include "settings/quote_file.h"
#include "settings/quoted_field.h"

namespace harvelo {
namespace {

void ReadInt(QuoteFile& file, int& value) {
  std::string field;
  if (file.ReadField(field)) value = DecimalValue(field);
}

}  // namespace

bool ReadConfFile(Settings& settings, const std::string& path) {
  QuoteFile file;
  if (!file.Open(path)) return false;
  std::string field;
  if (file.ReadField(field)) settings.destinationDir = field;
  ReadInt(file, settings.autoIncrement);
  file.ReadField(settings.targetTypes);
  ReadInt(file, settings.generateWebAddressLog);
  ReadInt(file, settings.browserKind);
  ReadInt(file, settings.minimumSizeKb);
  file.ReadField(settings.debugOptions);
  ReadInt(file, settings.modernPages);
  ReadInt(file, settings.minimumPictureWidth);
  ReadInt(file, settings.minimumPictureHeight);
  ReadInt(file, settings.skipDuplicates);
  ReadInt(file, settings.skipKnownFiles);
  ReadInt(file, settings.parallelTransfers);
  settings.parallelTransfers =
      std::clamp(settings.parallelTransfers, kMinParallelTransfers, kMaxParallelTransfers);
  ReadInt(file, settings.http2Streams);
  settings.http2Streams = std::clamp(settings.http2Streams, 0, kMaxHttp2Streams);
  ReadInt(file, settings.compressedPages);
  ReadInt(file, settings.renderedPages);
  settings.renderedPages = std::clamp(settings.renderedPages, 0, kMaxRenderedPagesMode);
  ReadInt(file, settings.renderScreens);
  settings.renderScreens = std::clamp(settings.renderScreens, 1, kMaxRenderScreens);
  ReadInt(file, settings.renderSeconds);
  settings.renderSeconds = std::clamp(settings.renderSeconds, 1, kMaxRenderSeconds);
  return true;
}

bool WriteConfFile(const Settings& settings, const std::string& path) {
  TextWriter writer;
  if (!writer.Open(path, TextWriter::Mode::kReplaceAtomically)) return false;
  writer.Write("Dest. Dir:      " + QuotedField(settings.destinationDir) + "\n");
  writer.Printf("AutoInc:        \"%d\"\n", settings.autoIncrement);
  writer.Write("Target F-Types: " + QuotedField(settings.targetTypes) + "\n");
  writer.Printf("Gen webaddr:    \"%d\"\n", settings.generateWebAddressLog);
  writer.Printf("Browser Id:     \"%d\"\n", settings.browserKind);
  writer.Printf("File Min Size:  \"%d\"\n", settings.minimumSizeKb);
  writer.Write("Debug Ops:      " + QuotedField(settings.debugOptions) + "\n");
  writer.Printf("Modern Pages:   \"%d\"\n", settings.modernPages);
  writer.Printf("Min Pic Width:  \"%d\"\n", settings.minimumPictureWidth);
  writer.Printf("Min Pic Height: \"%d\"\n", settings.minimumPictureHeight);
  writer.Printf("Skip Dupes:     \"%d\"\n", settings.skipDuplicates);
  writer.Printf("Skip Known:     \"%d\"\n", settings.skipKnownFiles);
  writer.Printf("Parallel:       \"%d\"\n", settings.parallelTransfers);
  writer.Printf("H2 Streams:     \"%d\"\n", settings.http2Streams);
  writer.Printf("Compress Pages: \"%d\"\n", settings.compressedPages);
  writer.Printf("Rendered Pages: \"%d\"\n", settings.renderedPages);
  writer.Printf("Render Screens: \"%d\"\n", settings.renderScreens);
  writer.Printf("Render Seconds: \"%d\"\n", settings.renderSeconds);
  return writer.Close();
}

}  // namespace harvelo
