// The interface language of a console run. There is no language dialog: a language
// that was never chosen follows the system's, like the choice "Window's default".
#pragma once
#include <optional>
#include <string>

namespace harvelo::cli {

// The locale for the run: `forced` (--lang) wins over `stored` (HV_lang.cfg); neither,
// or a stored -1 (unset), counts as 0, which follows `systemLocale`.
int ConsoleLocale(std::optional<int> forced, std::optional<int> stored, int systemLocale);

// Reads HV_lang.cfg in `dir` unless forced, and applies the locale to every text the
// engine loads from now on. HV_lang.cfg itself is never written.
void SettleConsoleLanguage(std::optional<int> forced, const std::string& dir = "");

}  // namespace harvelo::cli
