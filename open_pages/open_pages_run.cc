#include "open_pages/open_pages_run.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

#include "platform/text_file.h"
#include "settings/quoted_field.h"

namespace harvelo::inspector {

bool IsOnlineAddress(const std::string& address) {
  std::string upper = address.substr(0, 7);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper.starts_with("HTTP:/") || upper.starts_with("HTTPS:/");
}

std::string RecordLine(const std::string& title, const std::string& address,
                       const std::string& cookie, const std::string& referrer) {
  return QuotedField(title) + " " + QuotedField(address) + " " + QuotedField(cookie) + " " +
         QuotedField(referrer) + "\n";
}

int WriteInspectorFiles(ShellWindows& windows, const std::string& tempDir) {
  TextWriter out;
  // Both files are made new: one that is already there (planted, or a link elsewhere) is
  // never written through.
  if (!out.Open(tempDir + "inspector.out", TextWriter::Mode::kCreateNew)) return -1;
  int records = 0;
  const int count = windows.Connect() ? windows.GetCount() : 0;
  for (int i = 0; i < count; ++i) {
    auto window = windows.Item(i);
    if (!window) continue;
    const std::string address = window->GetLocationURL();
    if (!IsOnlineAddress(address)) continue;
    if (auto document = window->GetDocument()) {
      const std::string referrer = document->GetReferrer();
      const std::string cookie = document->GetCookie();
      const std::string title = document->GetTitle();
      out.Write(RecordLine(title, address, cookie, referrer));
    } else {
      out.Write(RecordLine(window->GetLocationName(), address, "", ""));
    }
    ++records;
  }
  out.Close();
  TextWriter n;
  if (n.Open(tempDir + "inspector.n", TextWriter::Mode::kCreateNew)) {
    n.Printf("%d\n", records);
    n.Close();
  }
  return records;
}

}  // namespace harvelo::inspector
