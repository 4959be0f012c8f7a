#include "devtools/page_list.h"

#include <cstdlib>

#include <nlohmann/json.hpp>

#include "platform/json_nesting.h"

namespace harvelo::devtools {
namespace {

std::string StringField(const nlohmann::json& object, const char* name) {
  if (!object.is_object()) return "";
  const auto it = object.find(name);
  return it != object.end() && it->is_string() ? it->get<std::string>() : "";
}

// "ws://127.0.0.1:9222/devtools/page/ID" -> "/devtools/page/ID". Only the path is kept:
// the page is always reached on the loopback address it was listed on.
std::string SocketPath(const std::string& address) {
  const auto scheme = address.find("://");
  if (scheme == std::string::npos) return "";
  const auto slash = address.find('/', scheme + 3);
  return slash == std::string::npos ? "" : address.substr(slash);
}

}  // namespace

int DevToolsPort() {
  const char* text = std::getenv("HARVELO_DEVTOOLS_PORT");
  if (text == nullptr || *text == '\0') return 9222;
  char* end = nullptr;
  const long port = std::strtol(text, &end, 10);
  return *end == '\0' && port > 0 && port < 65536 ? static_cast<int>(port) : 9222;
}

bool ParsePageList(const std::string& json, std::vector<PageTarget>& pages) {
  pages.clear();
  if (!JsonNestingWithin(json)) return false;
  const auto list = nlohmann::json::parse(json, nullptr, /*allow_exceptions=*/false);
  if (!list.is_array()) return false;
  for (const auto& entry : list) {
    if (StringField(entry, "type") != "page") continue;
    pages.push_back({StringField(entry, "url"), StringField(entry, "title"),
                     SocketPath(StringField(entry, "webSocketDebuggerUrl"))});
  }
  return true;
}

}  // namespace harvelo::devtools
