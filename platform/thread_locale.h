// The locale that chooses the interface language of every text loaded from the
// string table. It starts as the system's and is changed once at start-up (and by a
// language change), always on the interface thread.
#pragma once

namespace harvelo {

constexpr int kLocaleEnglish = 0x0409;  // 1033
constexpr int kLocaleSpanish = 0x040A;  // 1034

int GetThreadLocale();
void SetThreadLocale(int lcid);

// True when the locale's primary language (its low byte) is Spanish.
inline bool IsSpanishLocale(int lcid) {
  return (lcid & 0xFF) == 0x0A;
}

}  // namespace harvelo
