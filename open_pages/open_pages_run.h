// Inspector's one pass: every open page with an on-line address becomes one record of
// inspector.out, and inspector.n tells how many were written.
#pragma once
#include <string>

#include "open_pages/browser_windows.h"

namespace harvelo::inspector {

// True when the upper-cased address begins with "HTTP:/" or "HTTPS:/".
bool IsOnlineAddress(const std::string& address);

using devtools::DevToolsPort;

// One record line: "\"title\" \"address\" \"cookie\" \"referrer\"\n", each value written
// by QuotedField, so that the window reads every field back exactly.
std::string RecordLine(const std::string& title, const std::string& address,
                       const std::string& cookie, const std::string& referrer);

// Writes tempDir + "inspector.out" and then tempDir + "inspector.n" (text mode) from the
// pages of `windows`. Returns the number of records, or -1 when inspector.out could not
// be created (nothing is written then).
int WriteInspectorFiles(ShellWindows& windows, const std::string& tempDir);

}  // namespace harvelo::inspector
