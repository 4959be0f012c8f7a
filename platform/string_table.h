// The compiled-in string tables (English and Spanish) and LoadResString.
#pragma once
#include <span>
#include <string>

#include "platform/string_ids.h"

namespace harvelo {

struct StringEntry {
  int id;
  const char* text;
};

// The tables themselves, in id order (strings_en.cc, strings_es.cc).
std::span<const StringEntry> EnglishStrings();
std::span<const StringEntry> SpanishStrings();

// The text of `id` in the language of the locale (Spanish when its primary language is
// Spanish, English otherwise), or nullptr when the table has no such id.
const char* FindString(int id, int lcid);
// The same for the current thread locale.
const char* FindString(int id);

// Loads the text of `id` in the interface language into the next of a ring of ten
// buffers and returns it; the buffer is emptied when the id does not exist. A returned
// text stays valid until ten further loads.
const char* LoadResString(int id);

}  // namespace harvelo
