// The system's language, as a Windows-style locale identifier (LCID): the low byte is
// the primary language (0x09 English, 0x0A Spanish, ...), the byte above the country.
#pragma once
#include <string>

namespace harvelo {

// From LC_ALL, then LC_MESSAGES, then LANG (the first that is set and not empty).
int SystemLocaleId();

// The rule behind it, for tests: "es_MX.UTF-8" -> 0x080A, "de_DE" -> 0x0407,
// "C", "" or an unknown language -> 0x0409 (English, United States).
int LocaleIdFromName(const std::string& name);

}  // namespace harvelo
