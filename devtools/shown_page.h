// Reading what a browser tab shows now: its document after its scripts ran, the
// pictures it loaded, and the browser's cookies for them.
#pragma once
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "devtools/devtools_connection.h"
#include "engine/page_renderer.h"

namespace harvelo::devtools {

// The "string" field of a JSON object, or "".
std::string StringField(const nlohmann::json& object, const char* name);

// A browser cookie (Network.getCookies) as a line of the Netscape cookie-file format.
std::string CookieFileLine(const nlohmann::json& cookie);

// Runtime.evaluate of `expression` on `tab`, its value into `value`. False with `error`
// when the call failed or the script threw.
bool Evaluate(DevToolsConnection& tab, const std::string& expression, nlohmann::json& value,
              std::string& error, bool awaitPromise = false);

// Fills `page` from the tab: the document, the pictures (IMG elements and what style
// sheets asked for) in the order they were asked for, and the cookies of `cookieUrls`
// (all of the browser's when empty). False with `error` when the tab did not answer.
bool ReadShownPage(DevToolsConnection& tab, const std::vector<std::string>& cookieUrls,
                   RenderedPage& page, std::string& error);

}  // namespace harvelo::devtools
