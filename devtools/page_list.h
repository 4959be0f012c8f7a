// The pages a Chromium-family browser has open, as its DevTools endpoint lists them.
#pragma once
#include <string>
#include <vector>

namespace harvelo::devtools {

// The DevTools port: HARVELO_DEVTOOLS_PORT when it holds a port number, else 9222.
int DevToolsPort();

// One entry of the browser's page list.
struct PageTarget {
  std::string url;
  std::string title;
  std::string socket_path;  // path of its webSocketDebuggerUrl; empty when it has none
};

// The "page" entries of a /json/list answer, in its order. False when it is not a list
// (or nests deeper than any page list does).
bool ParsePageList(const std::string& json, std::vector<PageTarget>& pages);

}  // namespace harvelo::devtools
