#include "settings/interface_language.h"

#include "platform/string_table.h"
#include "platform/text_file.h"
#include "platform/thread_locale.h"
#include "settings/decimal_value.h"
#include "settings/quote_file.h"
#include "settings/settings_file_names.h"

namespace harvelo {
namespace {

// Only the first characters of the stored value count.
constexpr size_t kLanguageFieldLimit = 10;

int& LanguageValue() {
  static int value = kLanguageUnset;
  return value;
}

}  // namespace

int InterfaceLanguage() {
  return LanguageValue();
}

void SetInterfaceLanguage(int value) {
  LanguageValue() = value;
}

bool ReadLanguageFile(const std::string& path, int& value) {
  QuoteFile file(path);
  char field[kLanguageFieldLimit + 1];
  if (!file.ReadField(field, kLanguageFieldLimit)) return false;
  value = DecimalValue(field);
  return true;
}

bool WriteLanguageFile(const std::string& path, int value) {
  TextWriter writer;
  if (!writer.Open(path, TextWriter::Mode::kReplaceAtomically)) return false;
  writer.Printf("\"%d\"\n", value);
  return writer.Close();
}

int LocaleForLanguage(int value, int currentLocale) {
  switch (value) {
    case kLanguageSystem:
      return IsSpanishLocale(currentLocale) ? kLocaleSpanish : kLocaleEnglish;
    case kLanguageEnglish:
      return kLocaleEnglish;
    case kLanguageSpanish:
      return kLocaleSpanish;
    default:
      return currentLocale;
  }
}

void SelectInterfaceLanguage(bool changeMode, const LanguageDialog& dialog, MessageBoxes& boxes,
                             const std::string& dir) {
  const std::string path = dir + kLangFileName;
  int& value = LanguageValue();
  if (!changeMode && value == kLanguageUnset) {
    int stored = kLanguageUnset;
    if (ReadLanguageFile(path, stored)) value = stored;
  }

  bool changed = false;
  if (changeMode || value == kLanguageUnset) {
    const int initial = changeMode && value != kLanguageUnset ? value : kLanguageSystem;
    // Without a dialog to show, the choice is the one it would open with.
    const int selection = dialog ? dialog(initial) : initial;
    changed = changeMode && selection != value;
    value = selection;
    // Written after every showing, so a first start is not asked again; a file that
    // cannot be written goes unreported and the choice holds for this run only.
    WriteLanguageFile(path, value);
  }

  SetThreadLocale(LocaleForLanguage(value, GetThreadLocale()));

  // After the locale, so the message comes in the newly chosen language.
  if (changed) {
    boxes.ShowMessage(LoadResString(IDS_RESTART_FOR_LANGUAGE), MessageIcon::kInformation,
                      MessageButtons::kOk);
  }
}

}  // namespace harvelo
