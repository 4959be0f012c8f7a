// Opens one more page in a browser with remote debugging, through the browser's own
// DevTools target (tests and benchmarks that need several pages open).
#pragma once
#include <string>

#include "devtools/devtools_connection.h"

namespace harvelo::testing {

inline bool OpenBrowserPage(int port, const std::string& url) {
  using devtools::CallResult;
  devtools::DevToolsConnection endpoint(port);
  std::string body, error;
  if (!endpoint.Connect() || endpoint.HttpGet("/json/version", body, error) != CallResult::kOk) {
    return false;
  }
  const auto version = nlohmann::json::parse(body, nullptr, false);
  if (!version.is_object()) return false;
  const std::string ws = version.value("webSocketDebuggerUrl", "");
  const auto scheme = ws.find("://");
  const auto slash = scheme == std::string::npos ? ws.npos : ws.find('/', scheme + 3);
  if (slash == std::string::npos) return false;
  devtools::DevToolsConnection browser(port);
  nlohmann::json result;
  return browser.OpenPage(ws.substr(slash), error) == CallResult::kOk &&
         browser.Call("Target.createTarget", {{"url", url}}, result, error) == CallResult::kOk;
}

}  // namespace harvelo::testing
