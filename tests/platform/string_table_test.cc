#include "platform/string_table.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>
#include <vector>

#include "platform/thread_locale.h"
#include "support/temp_dir.h"

namespace harvelo {
namespace {

constexpr int kAllIds[] = {
#define HARVELO_ID_VALUE(name, id) id,
    HARVELO_STRING_IDS(HARVELO_ID_VALUE)
#undef HARVELO_ID_VALUE
};

// The printf conversions of a text, in order: length modifier and conversion letter
// ("d", "s", "lu", "lX"); "%%" is not a conversion.
std::vector<std::string> Conversions(const std::string& text) {
  std::vector<std::string> out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') continue;
    size_t j = i + 1;
    if (j < text.size() && text[j] == '%') {
      i = j;
      continue;
    }
    while (j < text.size() &&
           std::string_view("-+ #0123456789.*").find(text[j]) != std::string_view::npos)
      ++j;
    std::string conv;
    while (j < text.size() && std::string_view("hlLqjzt").find(text[j]) != std::string_view::npos)
      conv += text[j++];
    if (j < text.size()) conv += text[j];
    out.push_back(conv);
    i = j;
  }
  return out;
}

TEST(StringTable, BothLanguagesHoldEveryIdTheCodeUses) {
  for (const int id : kAllIds) {
    EXPECT_NE(FindString(id, kLocaleEnglish), nullptr) << "English lacks string " << id;
    EXPECT_NE(FindString(id, kLocaleSpanish), nullptr) << "Spanish lacks string " << id;
  }
}

TEST(StringTable, TablesAreSortedUniqueAndHoldNoUnknownId) {
  const std::set<int> known(std::begin(kAllIds), std::end(kAllIds));
  for (const auto table : {EnglishStrings(), SpanishStrings()}) {
    EXPECT_EQ(table.size(), known.size());
    for (size_t i = 0; i < table.size(); ++i) {
      EXPECT_TRUE(known.count(table[i].id)) << "unknown id " << table[i].id;
      if (i > 0) {
        EXPECT_LT(table[i - 1].id, table[i].id) << "table out of order at " << table[i].id;
      }
    }
  }
}

TEST(StringTable, SpanishConversionsMatchTheEnglishOnesInNumberOrderAndKind) {
  for (const int id : kAllIds) {
    const char* en = FindString(id, kLocaleEnglish);
    const char* es = FindString(id, kLocaleSpanish);
    if (en == nullptr || es == nullptr) continue;
    EXPECT_EQ(Conversions(en), Conversions(es)) << "string " << id << ": \"" << es << "\"";
  }
}

TEST(StringTable, ConversionParserSeesWhatPrintfSees) {
  EXPECT_EQ(Conversions("%lu (0x%lX) %s %03d 100%%"),
            (std::vector<std::string>{"lu", "lX", "s", "d"}));
  EXPECT_NE(Conversions("%d %s"), Conversions("%s %d"));
}

TEST(StringTable, QuotedTextsAreExact) {
  EXPECT_STREQ(FindString(IDS_LOG_IN_PROGRESS, kLocaleEnglish), "In Progress");
  EXPECT_STREQ(FindString(IDS_CANNOT_DOWNLOAD_SOURCE, kLocaleEnglish),
               "Cannot download URL's source text.\nWinInet Code: %lu (0x%lX)\nErr Desc.: "
               "%s\nErr Context: %s");
  EXPECT_STREQ(FindString(IDS_HELP_PATH, kLocaleEnglish), "Help/help_en.html");
  EXPECT_STREQ(FindString(IDS_HELP_PATH, kLocaleSpanish), "Help/help_esp.html");
  EXPECT_STREQ(FindString(IDS_WADDR_CREATED_WITH, kLocaleEnglish),
               "Created with Harvelo version 1.0.\n");
  // Every country variant of Spanish takes the Spanish table.
  EXPECT_STREQ(FindString(IDS_LOG_STOPPED, 0x080A), "Detenido");
  EXPECT_STREQ(FindString(IDS_LOG_STOPPED, 0x0407), "Stopped");
}

TEST(LoadResString, FollowsTheThreadLocale) {
  const int saved = GetThreadLocale();
  SetThreadLocale(kLocaleSpanish);
  EXPECT_STREQ(LoadResString(IDS_TITLE_DONE), "HV: Listo.");
  SetThreadLocale(kLocaleEnglish);
  EXPECT_STREQ(LoadResString(IDS_TITLE_DONE), "HV: Done.");
  SetThreadLocale(saved);
}

TEST(LoadResString, TheEleventhLoadReusesTheBufferOfTheFirst) {
  const int saved = GetThreadLocale();
  SetThreadLocale(kLocaleEnglish);
  const char* first = LoadResString(IDS_LOG_OK);
  std::vector<const char*> next;
  for (int i = 0; i < 9; ++i) next.push_back(LoadResString(IDS_LOG_ERROR));
  EXPECT_STREQ(first, "Ok");  // still valid after nine more
  for (const char* p : next) EXPECT_NE(p, first);
  const char* eleventh = LoadResString(IDS_TITLE_STOPPED);
  EXPECT_EQ(eleventh, first);
  EXPECT_STREQ(first, "HV: Stopped.");
  EXPECT_STREQ(LoadResString(9999), "");  // an unknown id empties the buffer
  SetThreadLocale(saved);
}

// String ids reach the table only through the IDS_ names, which the tests above check
// in both languages; a bare number would slip past them.
TEST(StringTable, CodeNeverLoadsAStringByBareNumber) {
  const std::regex bare(R"((LoadResString|FindString|ShowMessageById|MessageById)\s*\(\s*[0-9])");
  int scanned = 0;
  for (const char* folder : {"platform", "settings", "http", "engine", "cli", "app", "capture"}) {
    const std::filesystem::path dir = std::filesystem::path(HARVELO_SOURCE_DIR) / folder;
    if (!std::filesystem::exists(dir)) continue;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir)) {
      const auto ext = entry.path().extension();
      if (ext != ".cc" && ext != ".h") continue;
      const std::string text = testing::ReadBytes(entry.path().string());
      ++scanned;
      EXPECT_FALSE(std::regex_search(text, bare)) << entry.path();
    }
  }
  EXPECT_GT(scanned, 10);
}

}  // namespace
}  // namespace harvelo
