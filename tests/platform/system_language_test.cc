#include "platform/system_language.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/thread_locale.h"

namespace harvelo {
namespace {

TEST(SystemLanguage, LocaleNamesMapToWindowsLocaleIds) {
  EXPECT_EQ(LocaleIdFromName("es_MX.UTF-8"), 0x080A);
  EXPECT_EQ(LocaleIdFromName("es_ES"), 0x0C0A);
  EXPECT_EQ(LocaleIdFromName("es_UY.UTF-8"), 0x040A);
  EXPECT_EQ(LocaleIdFromName("es"), 0x040A);
  EXPECT_EQ(LocaleIdFromName("de_DE.UTF-8"), 0x0407);
  EXPECT_EQ(LocaleIdFromName("en_GB.UTF-8"), 0x0809);
  EXPECT_EQ(LocaleIdFromName("C"), 0x0409);
  EXPECT_EQ(LocaleIdFromName("POSIX"), 0x0409);
  EXPECT_EQ(LocaleIdFromName("est_EE"), 0x0409);  // not Spanish
  EXPECT_TRUE(IsSpanishLocale(LocaleIdFromName("es_AR.UTF-8")));
  EXPECT_FALSE(IsSpanishLocale(LocaleIdFromName("en_US.UTF-8")));
}

TEST(SystemLanguage, LcAllWinsOverLcMessagesOverLang) {
  const char* vars[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
  std::string saved[3];
  bool had[3];
  for (int i = 0; i < 3; ++i) {
    const char* v = std::getenv(vars[i]);
    had[i] = v != nullptr;
    if (had[i]) saved[i] = v;
  }
  setenv("LANG", "de_DE.UTF-8", 1);
  setenv("LC_MESSAGES", "es_MX.UTF-8", 1);
  setenv("LC_ALL", "", 1);
  EXPECT_EQ(SystemLocaleId(), 0x080A);
  setenv("LC_ALL", "en_GB", 1);
  EXPECT_EQ(SystemLocaleId(), 0x0809);
  unsetenv("LC_ALL");
  unsetenv("LC_MESSAGES");
  EXPECT_EQ(SystemLocaleId(), 0x0407);
  for (int i = 0; i < 3; ++i) {
    if (had[i]) {
      setenv(vars[i], saved[i].c_str(), 1);
    } else {
      unsetenv(vars[i]);
    }
  }
}

}  // namespace
}  // namespace harvelo
