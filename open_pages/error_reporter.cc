#include "open_pages/error_reporter.h"

#include <cstdio>

#include "platform/process.h"

namespace harvelo::inspector {

void StderrReporter::Report(const std::string& text) {
  std::fprintf(stderr, "%s\n", text.c_str());
  std::fflush(stderr);
}

void MessageBoxReporter::Report(const std::string& text) {
  int status = 0;
  const std::vector<std::string> args{"xmessage", "-title",   "Inspector",
                                      "-center",  "-buttons", "OK:0",
                                      "-default", "OK",       Utf8ToLatin1(text)};
  if (SpawnAndWait("/usr/bin/xmessage", args, &status) == 1 && status == 0) return;
  StderrReporter().Report(text);
}

std::string Utf8ToLatin1(const std::string& utf8) {
  std::string out;
  for (size_t i = 0; i < utf8.size(); ++i) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if ((c & 0xE0) == 0xC0 && i + 1 < utf8.size()) {
      const unsigned code = ((c & 0x1Fu) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3Fu);
      out += code < 0x100 ? static_cast<char>(code) : '?';
      ++i;
    } else {
      // A longer sequence: pass over its continuation bytes.
      while (i + 1 < utf8.size() && (static_cast<unsigned char>(utf8[i + 1]) & 0xC0) == 0x80) ++i;
      out += '?';
    }
  }
  return out;
}

}  // namespace harvelo::inspector
