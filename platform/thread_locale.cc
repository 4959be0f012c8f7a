#include "platform/thread_locale.h"

#include "platform/system_language.h"

namespace harvelo {
namespace {

int& CurrentLocale() {
  static int lcid = SystemLocaleId();
  return lcid;
}

}  // namespace

int GetThreadLocale() {
  return CurrentLocale();
}
void SetThreadLocale(int lcid) {
  CurrentLocale() = lcid;
}

}  // namespace harvelo
