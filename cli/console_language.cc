#include "cli/console_language.h"

#include "platform/system_language.h"
#include "platform/thread_locale.h"
#include "settings/interface_language.h"
#include "settings/settings_file_names.h"

namespace harvelo::cli {

int ConsoleLocale(std::optional<int> forced, std::optional<int> stored, int systemLocale) {
  int value = forced ? *forced : stored.value_or(kLanguageSystem);
  if (value == kLanguageUnset) value = kLanguageSystem;
  return LocaleForLanguage(value, systemLocale);
}

void SettleConsoleLanguage(std::optional<int> forced, const std::string& dir) {
  std::optional<int> stored;
  if (!forced) {
    int value = kLanguageUnset;
    if (ReadLanguageFile(dir + kLangFileName, value)) stored = value;
  }
  SetInterfaceLanguage(forced ? *forced : stored.value_or(kLanguageSystem));
  SetThreadLocale(ConsoleLocale(forced, stored, SystemLocaleId()));
}

}  // namespace harvelo::cli
