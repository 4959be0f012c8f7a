#include "devtools/shown_page.h"

namespace harvelo::devtools {
namespace {

// Resource timing names what the page loaded; IMG elements and Image objects come as
// "img", what style sheets ask for (CSS backgrounds) as "css".
constexpr char kPicturesScript[] =
    "JSON.stringify(performance.getEntriesByType('resource')"
    ".filter(e => e.initiatorType === 'img' || e.initiatorType === 'css')"
    ".sort((a, b) => a.startTime - b.startTime).map(e => e.name))";

}  // namespace

std::string StringField(const nlohmann::json& object, const char* name) {
  if (!object.is_object()) return "";
  const auto it = object.find(name);
  return it != object.end() && it->is_string() ? it->get<std::string>() : "";
}

std::string CookieFileLine(const nlohmann::json& cookie) {
  const std::string domain = StringField(cookie, "domain");
  const bool subdomains = domain.starts_with('.');
  const auto flag = [&](const char* name) {
    const auto it = cookie.find(name);
    return it != cookie.end() && it->is_boolean() && it->get<bool>();
  };
  const auto expires = cookie.find("expires");
  const double when = expires != cookie.end() && expires->is_number() ? expires->get<double>() : 0;
  // A session cookie, or one without a date, lives as long as the run (0).
  const long long expiry = flag("session") || when <= 0 ? 0 : static_cast<long long>(when);
  return (flag("httpOnly") ? "#HttpOnly_" : "") + domain + "\t" + (subdomains ? "TRUE" : "FALSE") +
         "\t" + StringField(cookie, "path") + "\t" + (flag("secure") ? "TRUE" : "FALSE") + "\t" +
         std::to_string(expiry) + "\t" + StringField(cookie, "name") + "\t" +
         StringField(cookie, "value");
}

bool Evaluate(DevToolsConnection& tab, const std::string& expression, nlohmann::json& value,
              std::string& error, bool awaitPromise) {
  nlohmann::json result;
  if (tab.Call(
          "Runtime.evaluate",
          {{"expression", expression}, {"returnByValue", true}, {"awaitPromise", awaitPromise}},
          result, error) != CallResult::kOk) {
    return false;
  }
  if (result.contains("exceptionDetails")) {
    error = StringField(result["exceptionDetails"], "text");
    return false;
  }
  value = result.contains("result") && result["result"].contains("value")
              ? result["result"]["value"]
              : nlohmann::json();
  return true;
}

bool ReadShownPage(DevToolsConnection& tab, const std::vector<std::string>& cookieUrls,
                   RenderedPage& page, std::string& error) {
  nlohmann::json html, pictures;
  if (!Evaluate(tab, "document.documentElement.outerHTML", html, error) ||
      !Evaluate(tab, kPicturesScript, pictures, error)) {
    return false;
  }
  if (!html.is_string() || !pictures.is_string()) {
    error = "the page gave no document";
    return false;
  }
  page.html = html.get<std::string>();
  const auto list = nlohmann::json::parse(pictures.get<std::string>(), nullptr, false);
  if (list.is_array()) {
    for (const auto& name : list) {
      if (name.is_string()) page.pictures.push_back(name.get<std::string>());
    }
  }
  nlohmann::json result;
  const auto rc = cookieUrls.empty()
                      ? tab.Call("Network.getAllCookies", nlohmann::json::object(), result, error)
                      : tab.Call("Network.getCookies", {{"urls", cookieUrls}}, result, error);
  if (rc != CallResult::kOk) return false;
  if (result.contains("cookies") && result["cookies"].is_array()) {
    for (const auto& c : result["cookies"]) page.cookies.push_back(CookieFileLine(c));
  }
  return true;
}

}  // namespace harvelo::devtools
