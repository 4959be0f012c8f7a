#include "platform/string_table.h"

#include <algorithm>
#include <array>

#include "platform/thread_locale.h"

namespace harvelo {
namespace {

const char* Lookup(std::span<const StringEntry> table, int id) {
  const auto it = std::lower_bound(table.begin(), table.end(), id,
                                   [](const StringEntry& e, int key) { return e.id < key; });
  return it != table.end() && it->id == id ? it->text : nullptr;
}

}  // namespace

const char* FindString(int id, int lcid) {
  return Lookup(IsSpanishLocale(lcid) ? SpanishStrings() : EnglishStrings(), id);
}

const char* FindString(int id) {
  return FindString(id, GetThreadLocale());
}

const char* LoadResString(int id) {
  static std::array<std::string, 10> ring;
  static size_t next = 0;
  std::string& slot = ring[next];
  next = (next + 1) % ring.size();
  const char* text = FindString(id);
  slot = text != nullptr ? text : "";
  return slot.c_str();
}

}  // namespace harvelo
