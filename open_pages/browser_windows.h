// The open browser pages as Inspector sees them, in three small wrappers: the page
// collection of the browser's DevTools endpoint (ShellWindows), one page (IE_Window) and
// the document a page shows (HTML_Document). A failing call reports its fixed text plus
// the error's own through the ErrorReporter and returns the call's failure value.
#pragma once
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "devtools/devtools_connection.h"
#include "devtools/page_list.h"
#include "open_pages/error_reporter.h"

namespace harvelo::inspector {

// The DevTools client is shared with the rendering of pages (devtools/).
using devtools::CallResult;
using devtools::DevToolsConnection;
using devtools::PageTarget;
using devtools::ParsePageList;

// What the whole pass shares: its deadline, and what became of the browser so far. A
// browser that failed is reported once, not once per page and call, and a browser that
// could not be reached is not asked again: the remaining pages are listed unasked.
struct PassState {
  std::chrono::steady_clock::time_point deadline;
  bool reported = false;     // the one message of the pass was shown
  bool unreachable = false;  // an exchange broke or timed out
  // Shows the first failure of the pass; later ones go unsaid.
  void Report(ErrorReporter& errors, const std::string& wrapper, const std::string& operation,
              CallResult result, const std::string& error);
};

// How long Inspector's whole pass over the browser may last.
inline constexpr std::chrono::milliseconds kPassTimeLimit{10000};

class HTML_Document {
 public:
  HTML_Document(std::unique_ptr<DevToolsConnection> page, std::string url, ErrorReporter& errors,
                std::shared_ptr<PassState> pass);
  ~HTML_Document();
  std::string GetTitle();     // "" after a failure
  std::string GetCookie();    // the cookies sent to the page's address, "name=value; ..."
  std::string GetReferrer();  // "" after a failure

 private:
  // Evaluates a script expression whose value is a string.
  std::string EvaluateString(const std::string& operation, const std::string& expression);
  void ReportFailure(const std::string& operation, CallResult result, const std::string& error);

  std::unique_ptr<DevToolsConnection> page_;
  std::string url_;
  ErrorReporter& errors_;
  std::shared_ptr<PassState> pass_;
};

class IE_Window {
 public:
  IE_Window(PageTarget target, int port, ErrorReporter& errors, std::shared_ptr<PassState> pass)
      : target_(std::move(target)), port_(port), errors_(errors), pass_(std::move(pass)) {}
  std::string GetLocationURL() const { return target_.url; }
  std::string GetLocationName() const { return target_.title; }
  // Opens the page's protocol connection; none (after its message) when it fails, and
  // none without a try once the browser proved unreachable.
  std::unique_ptr<HTML_Document> GetDocument();

 private:
  PageTarget target_;
  int port_;
  ErrorReporter& errors_;
  std::shared_ptr<PassState> pass_;
};

class ShellWindows {
 public:
  // Everything the pass asks the browser ends within `timeLimit` from here.
  ShellWindows(int port, ErrorReporter& errors,
               std::chrono::milliseconds timeLimit = kPassTimeLimit);
  // ConnectShellWindows: reaches the endpoint; false (silently) when nothing listens.
  bool Connect();
  // The number of pages: -1 when not connected, -2 after a failure.
  int GetCount();
  // The page at `index` of the list GetCount read; none when there is no such page.
  std::optional<IE_Window> Item(int index);

 private:
  int port_;
  ErrorReporter& errors_;
  std::shared_ptr<PassState> pass_;
  std::unique_ptr<DevToolsConnection> endpoint_;
  std::vector<PageTarget> pages_;
};

}  // namespace harvelo::inspector
