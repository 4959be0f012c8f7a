// Inspector: started by Harvelo with "MSIE" on its command line, it writes the open
// browser pages (title, address, cookie, referrer) to inspector.out and their number to
// inspector.n in the temporary folder Harvelo names, and ends with status 0.
#include <cstdlib>
#include <string>

#include "open_pages/open_pages_run.h"
#include "platform/command_line_keyword.h"
#include "platform/directories.h"

int main(int argc, char** argv) {
  using namespace harvelo::inspector;
  if (!harvelo::CommandLineHolds(argc, argv, "MSIE")) return 0;
  const char* display = std::getenv("DISPLAY");
  StderrReporter to_stderr;
  MessageBoxReporter to_box;
  ErrorReporter& errors =
      display != nullptr && *display != '\0' ? static_cast<ErrorReporter&>(to_box) : to_stderr;
  ShellWindows windows(DevToolsPort(), errors);
  // Harvelo names its own private folder; without one, this process's own folder.
  const char* handed = std::getenv(harvelo::kTempDirectoryVariable);
  const std::string dir = handed != nullptr && harvelo::IsPrivateDirectory(handed)
                              ? harvelo::WithTrailingSlash(handed)
                              : harvelo::TempDirectory();
  if (!dir.empty()) WriteInspectorFiles(windows, dir);
  return 0;
}
