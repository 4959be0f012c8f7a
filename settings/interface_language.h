// The interface language: chosen once (the language dialog on the very first start),
// kept in HV_lang.cfg, and turned into the thread locale that selects the English or
// Spanish string table.
#pragma once
#include <functional>
#include <string>

#include "platform/message_box.h"

namespace harvelo {

// Values of InterfaceLanguage.
inline constexpr int kLanguageUnset = -1;   // not chosen yet: the dialog is shown
inline constexpr int kLanguageSystem = 0;   // follow the system's language
inline constexpr int kLanguageEnglish = 1;  // English
inline constexpr int kLanguageSpanish = 2;  // Spanish

// The process-wide language value, kLanguageUnset until settled.
int InterfaceLanguage();
void SetInterfaceLanguage(int value);

// The first field of the language file, at most 10 characters, converted to decimal.
// False when the file is absent or holds no field.
bool ReadLanguageFile(const std::string& path, int& value);
// One "\"%d\"\n" line; false when the file could not be written.
bool WriteLanguageFile(const std::string& path, int value);

// The locale a language value stands for, given the current thread locale: 0 gives
// Spanish when the current locale's language is Spanish and English otherwise, 1 English,
// 2 Spanish, and any other value the current locale unchanged.
int LocaleForLanguage(int value, int currentLocale);

// Shows the language dialog with `initialSelection` checked and returns the selection it
// was closed with (Escape or the close box: `initialSelection` itself).
using LanguageDialog = std::function<int(int initialSelection)>;

// Start-up mode (changeMode false): settles the language from HV_lang.cfg in `dir`, or
// from the dialog when there is no stored value. Change mode: always shows the dialog,
// starting from the current value. After every showing the value is written back to the
// file. Then the matching thread locale is applied; a language changed in change mode is
// followed by an information message (in the new language) asking for a restart.
void SelectInterfaceLanguage(bool changeMode, const LanguageDialog& dialog, MessageBoxes& boxes,
                             const std::string& dir = "");

}  // namespace harvelo
