#include "platform/system_language.h"

#include <cstdlib>

namespace harvelo {
namespace {

struct LocaleRow {
  const char* name;  // language, or language_COUNTRY
  int lcid;
};

// Longer (country) rows first: the first row that matches wins.
constexpr LocaleRow kLocales[] = {
    {"es_MX", 0x080A}, {"es_ES", 0x0C0A}, {"es_AR", 0x2C0A}, {"es_CO", 0x240A}, {"es_CL", 0x340A},
    {"es_PE", 0x280A}, {"es_VE", 0x200A}, {"en_GB", 0x0809}, {"en_AU", 0x0C09}, {"en_CA", 0x1009},
    {"es", 0x040A},    {"en", 0x0409},    {"de", 0x0407},    {"fr", 0x040C},    {"it", 0x0410},
    {"pt", 0x0416},    {"nl", 0x0413},    {"ca", 0x0403},
};

bool StartsWith(const std::string& text, const std::string& head) {
  return text.compare(0, head.size(), head) == 0;
}

}  // namespace

int LocaleIdFromName(const std::string& name) {
  for (const auto& row : kLocales) {
    const std::string key = row.name;
    if (!StartsWith(name, key)) continue;
    // "es" must not match "est", only "es", "es_..", "es.." or "es@..".
    if (name.size() == key.size()) return row.lcid;
    const char next = name[key.size()];
    if (next == '_' || next == '.' || next == '@') return row.lcid;
  }
  return 0x0409;
}

int SystemLocaleId() {
  for (const char* var : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(var);
    if (value != nullptr && *value != '\0') return LocaleIdFromName(value);
  }
  return 0x0409;
}

}  // namespace harvelo
