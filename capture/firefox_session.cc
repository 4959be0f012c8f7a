#include "capture/firefox_session.h"

#include <nlohmann/json.hpp>

#include "capture/moz_lz4.h"
#include "platform/json_nesting.h"
#include "platform/regular_file.h"

namespace harvelo {

namespace {

// The element chosen by a 1-based index (Firefox's convention); out of range or not a
// number: the last one, which is where Firefox itself falls back.
const nlohmann::json* Chosen(const nlohmann::json& list, const nlohmann::json& oneBased) {
  if (!list.is_array() || list.empty()) return nullptr;
  if (oneBased.is_number_integer()) {
    const auto i = oneBased.get<long long>();
    if (i >= 1 && i <= static_cast<long long>(list.size()))
      return &list[static_cast<size_t>(i - 1)];
  }
  return &list.back();
}

const nlohmann::json& Field(const nlohmann::json& object, const char* name) {
  static const nlohmann::json none;
  if (!object.is_object()) return none;
  const auto it = object.find(name);
  return it == object.end() ? none : *it;
}

}  // namespace

bool CurrentPageOfSession(const std::string& json, SessionPage& page) {
  if (!JsonNestingWithin(json)) return false;
  const auto session = nlohmann::json::parse(json, nullptr, /*allow_exceptions=*/false);
  const auto* window = Chosen(Field(session, "windows"), Field(session, "selectedWindow"));
  if (window == nullptr) return false;
  const auto* tab = Chosen(Field(*window, "tabs"), Field(*window, "selected"));
  if (tab == nullptr) return false;
  const auto* entry = Chosen(Field(*tab, "entries"), Field(*tab, "index"));
  if (entry == nullptr || !Field(*entry, "url").is_string()) return false;
  page.url = Field(*entry, "url").get<std::string>();
  page.title = Field(*entry, "title").is_string() ? Field(*entry, "title").get<std::string>() : "";
  return true;
}

bool ReadCurrentPage(const std::string& profileDir, SessionPage& page,
                     const std::atomic<bool>* stop) {
  std::string data;
  if (!ReadRegularFile(profileDir + "sessionstore-backups/recovery.jsonlz4", kMaxMozLz4File, data,
                       stop)) {
    return false;
  }
  std::string json;
  if (!DecodeMozLz4(data, json)) return false;
  data = std::string();
  if (stop != nullptr && stop->load()) return false;
  return CurrentPageOfSession(json, page);
}

}  // namespace harvelo
