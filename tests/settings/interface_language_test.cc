#include "settings/interface_language.h"

#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>
#include <vector>

#include "platform/string_table.h"
#include "platform/system_language.h"
#include "platform/thread_locale.h"
#include "support/temp_dir.h"

namespace harvelo {
namespace {

using testing::Exists;
using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

struct ShownMessage {
  std::string text;
  MessageIcon icon;
  MessageButtons buttons;
  int localeAtTheTime;
};

class RecordingBoxes : public MessageBoxes {
 public:
  MessageAnswer ShowMessage(const std::string& text, MessageIcon icon,
                            MessageButtons buttons) override {
    shown.push_back({text, icon, buttons, GetThreadLocale()});
    return MessageAnswer::kOk;
  }
  std::vector<ShownMessage> shown;
};

// A language dialog that records the selection it opened with and closes with `answer`;
// with no answer it is closed with Escape, which keeps the initial selection.
struct FakeDialog {
  explicit FakeDialog(std::optional<int> answer = std::nullopt) : answer(answer) {}
  LanguageDialog callback() {
    return [this](int initial) {
      openedWith.push_back(initial);
      return answer.value_or(initial);
    };
  }
  std::optional<int> answer;
  std::vector<int> openedWith;
};

class InterfaceLanguageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedLocale_ = GetThreadLocale();
    savedLanguage_ = InterfaceLanguage();
    SetInterfaceLanguage(kLanguageUnset);
  }
  void TearDown() override {
    SetThreadLocale(savedLocale_);
    SetInterfaceLanguage(savedLanguage_);
  }
  std::string LangFile() const { return tmp_.file("HV_lang.cfg"); }

  TempDir tmp_;
  RecordingBoxes boxes_;

 private:
  int savedLocale_ = 0;
  int savedLanguage_ = 0;
};

TEST(LanguageFile, ReadsTheFirstTenCharactersOfTheFirstField) {
  TempDir tmp;
  const std::string path = tmp.file("HV_lang.cfg");
  int value = -7;
  EXPECT_FALSE(ReadLanguageFile(path, value)) << "no file";
  WriteBytes(path, "language: none\r\n");
  EXPECT_FALSE(ReadLanguageFile(path, value)) << "no field";
  EXPECT_EQ(value, -7);

  WriteBytes(path, "\"12345678901\"\r\n");
  ASSERT_TRUE(ReadLanguageFile(path, value));
  EXPECT_EQ(value, 1234567890);
  WriteBytes(path, "\"          2\"");
  ASSERT_TRUE(ReadLanguageFile(path, value));
  EXPECT_EQ(value, 0) << "ten blanks leave nothing to convert";
  WriteBytes(path, "\" 2\"");
  ASSERT_TRUE(ReadLanguageFile(path, value));
  EXPECT_EQ(value, 2);
  WriteBytes(path, "\"Spanish\"");
  ASSERT_TRUE(ReadLanguageFile(path, value));
  EXPECT_EQ(value, 0);
  WriteBytes(path, "\"99999999999999\"");
  ASSERT_TRUE(ReadLanguageFile(path, value));
  EXPECT_EQ(value, INT_MAX) << "ten nines are beyond int";

  ASSERT_TRUE(WriteLanguageFile(path, 2));
  EXPECT_EQ(ReadBytes(path), "\"2\"\r\n");
  ASSERT_TRUE(WriteLanguageFile(path, -1));
  EXPECT_EQ(ReadBytes(path), "\"-1\"\r\n");
  EXPECT_FALSE(WriteLanguageFile(tmp.dir() + "missing/HV_lang.cfg", 1));
}

TEST(LanguageFile, ValuesTurnIntoLocales) {
  EXPECT_EQ(LocaleForLanguage(0, 0x080A), kLocaleSpanish);  // Spanish (Mexico)
  EXPECT_EQ(LocaleForLanguage(0, 0x0C0A), kLocaleSpanish);  // Spanish (modern sort)
  EXPECT_EQ(LocaleForLanguage(0, 0x0407), kLocaleEnglish);  // German
  EXPECT_EQ(LocaleForLanguage(0, 0x0809), kLocaleEnglish);  // English (United Kingdom)
  EXPECT_EQ(LocaleForLanguage(1, 0x080A), kLocaleEnglish);
  EXPECT_EQ(LocaleForLanguage(2, 0x0407), kLocaleSpanish);
  EXPECT_EQ(LocaleForLanguage(3, 0x0407), 0x0407);
  EXPECT_EQ(LocaleForLanguage(-1, 0x0809), 0x0809);
}

TEST_F(InterfaceLanguageTest, StoredSpanishIsAppliedWithoutTheDialog) {
  WriteBytes(LangFile(), "\"2\"\r\n");
  SetThreadLocale(kLocaleEnglish);
  FakeDialog dialog;
  SelectInterfaceLanguage(false, dialog.callback(), boxes_, tmp_.dir());
  EXPECT_TRUE(dialog.openedWith.empty());
  EXPECT_EQ(InterfaceLanguage(), 2);
  EXPECT_EQ(GetThreadLocale(), kLocaleSpanish);
  EXPECT_STREQ(LoadResString(IDS_RESTART_FOR_LANGUAGE),
               FindString(IDS_RESTART_FOR_LANGUAGE, kLocaleSpanish));
  EXPECT_TRUE(boxes_.shown.empty());
  EXPECT_EQ(ReadBytes(LangFile()), "\"2\"\r\n") << "not rewritten without a dialog";
}

TEST_F(InterfaceLanguageTest, SystemDefaultFollowsTheSystemLanguage) {
  WriteBytes(LangFile(), "\"0\"\r\n");
  SetThreadLocale(LocaleIdFromName("es_MX.UTF-8"));
  SelectInterfaceLanguage(false, FakeDialog().callback(), boxes_, tmp_.dir());
  EXPECT_EQ(GetThreadLocale(), kLocaleSpanish);

  SetInterfaceLanguage(kLanguageUnset);
  SetThreadLocale(LocaleIdFromName("de_DE.UTF-8"));
  SelectInterfaceLanguage(false, FakeDialog().callback(), boxes_, tmp_.dir());
  EXPECT_EQ(GetThreadLocale(), kLocaleEnglish);
  EXPECT_TRUE(boxes_.shown.empty());
}

TEST_F(InterfaceLanguageTest, FirstStartAsksOnceAndRemembersTheChoice) {
  SetThreadLocale(0x0407);
  FakeDialog dialog(1);
  SelectInterfaceLanguage(false, dialog.callback(), boxes_, tmp_.dir());
  EXPECT_EQ(dialog.openedWith, std::vector<int>{0}) << "opens on Window's default";
  EXPECT_EQ(InterfaceLanguage(), 1);
  EXPECT_EQ(GetThreadLocale(), kLocaleEnglish);
  EXPECT_EQ(ReadBytes(LangFile()), "\"1\"\r\n");
  EXPECT_TRUE(boxes_.shown.empty()) << "no restart message at start-up";

  // The next start reads the file and does not ask.
  SetInterfaceLanguage(kLanguageUnset);
  FakeDialog second;
  SelectInterfaceLanguage(false, second.callback(), boxes_, tmp_.dir());
  EXPECT_TRUE(second.openedWith.empty());
  EXPECT_EQ(InterfaceLanguage(), 1);
}

TEST_F(InterfaceLanguageTest, FirstStartClosedWithEscapeStoresWindowsDefault) {
  SetThreadLocale(0x0C0A);
  FakeDialog dialog;
  SelectInterfaceLanguage(false, dialog.callback(), boxes_, tmp_.dir());
  EXPECT_EQ(InterfaceLanguage(), 0);
  EXPECT_EQ(GetThreadLocale(), kLocaleSpanish);
  EXPECT_EQ(ReadBytes(LangFile()), "\"0\"\r\n");
}

TEST_F(InterfaceLanguageTest, AStoredMinusOneOrAnEmptyFileAsksAgain) {
  for (const char* content : {"\"-1\"\r\n", "", "HV_lang\r\n"}) {
    SetInterfaceLanguage(kLanguageUnset);
    WriteBytes(LangFile(), content);
    FakeDialog dialog(2);
    SelectInterfaceLanguage(false, dialog.callback(), boxes_, tmp_.dir());
    EXPECT_EQ(dialog.openedWith.size(), 1u) << content;
    EXPECT_EQ(ReadBytes(LangFile()), "\"2\"\r\n") << content;
  }
}

TEST_F(InterfaceLanguageTest, StartUpWithTheValueAlreadySettledSkipsTheFile) {
  WriteBytes(LangFile(), "\"2\"\r\n");
  SetInterfaceLanguage(1);
  SelectInterfaceLanguage(false, FakeDialog().callback(), boxes_, tmp_.dir());
  EXPECT_EQ(GetThreadLocale(), kLocaleEnglish);
}

TEST_F(InterfaceLanguageTest, AnOutOfRangeValueLeavesTheLocaleAlone) {
  WriteBytes(LangFile(), "\"5\"\r\n");
  SetThreadLocale(0x0407);
  FakeDialog dialog;
  SelectInterfaceLanguage(false, dialog.callback(), boxes_, tmp_.dir());
  EXPECT_TRUE(dialog.openedWith.empty());
  EXPECT_EQ(InterfaceLanguage(), 5);
  EXPECT_EQ(GetThreadLocale(), 0x0407);

  // The change dialog opens with that value (no button checked); Escape keeps it.
  FakeDialog change;
  SelectInterfaceLanguage(true, change.callback(), boxes_, tmp_.dir());
  EXPECT_EQ(change.openedWith, std::vector<int>{5});
  EXPECT_EQ(ReadBytes(LangFile()), "\"5\"\r\n");
  EXPECT_EQ(GetThreadLocale(), 0x0407);
  EXPECT_TRUE(boxes_.shown.empty());
}

TEST_F(InterfaceLanguageTest, ChangeModeWithTheSameLanguageRewritesTheFileSilently) {
  SetInterfaceLanguage(2);
  SetThreadLocale(kLocaleSpanish);
  WriteBytes(LangFile(), "Lang: \"2\" (edited by hand)");
  FakeDialog dialog(2);
  SelectInterfaceLanguage(true, dialog.callback(), boxes_, tmp_.dir());
  EXPECT_EQ(dialog.openedWith, std::vector<int>{2});
  EXPECT_EQ(ReadBytes(LangFile()), "\"2\"\r\n");
  EXPECT_TRUE(boxes_.shown.empty());
}

TEST_F(InterfaceLanguageTest, ChangeModeClosedWithEscapeRewritesThePreviousValue) {
  SetInterfaceLanguage(1);
  SetThreadLocale(kLocaleEnglish);
  FakeDialog dialog;
  SelectInterfaceLanguage(true, dialog.callback(), boxes_, tmp_.dir());
  EXPECT_EQ(dialog.openedWith, std::vector<int>{1});
  EXPECT_EQ(InterfaceLanguage(), 1);
  EXPECT_EQ(ReadBytes(LangFile()), "\"1\"\r\n");
  EXPECT_TRUE(boxes_.shown.empty());
}

TEST_F(InterfaceLanguageTest, ChangingTheLanguageAsksForARestartInTheNewLanguage) {
  SetInterfaceLanguage(1);
  SetThreadLocale(kLocaleEnglish);
  WriteBytes(LangFile(), "\"1\"\r\n");
  SelectInterfaceLanguage(true, FakeDialog(2).callback(), boxes_, tmp_.dir());
  EXPECT_EQ(InterfaceLanguage(), 2);
  EXPECT_EQ(GetThreadLocale(), kLocaleSpanish);
  EXPECT_EQ(ReadBytes(LangFile()), "\"2\"\r\n");
  ASSERT_EQ(boxes_.shown.size(), 1u);
  const ShownMessage& m = boxes_.shown[0];
  EXPECT_EQ(m.text, FindString(IDS_RESTART_FOR_LANGUAGE, kLocaleSpanish));
  EXPECT_NE(m.text, FindString(IDS_RESTART_FOR_LANGUAGE, kLocaleEnglish));
  EXPECT_EQ(m.icon, MessageIcon::kInformation);
  EXPECT_EQ(m.buttons, MessageButtons::kOk);
  EXPECT_EQ(m.localeAtTheTime, kLocaleSpanish);
}

TEST_F(InterfaceLanguageTest, ChangeModeBeforeAnyChoiceOpensOnWindowsDefault) {
  FakeDialog dialog(2);
  SelectInterfaceLanguage(true, dialog.callback(), boxes_, tmp_.dir());
  EXPECT_EQ(dialog.openedWith, std::vector<int>{0});
  // -1 to 2 is a change.
  EXPECT_EQ(boxes_.shown.size(), 1u);
}

TEST_F(InterfaceLanguageTest, AnUnwritableFileStillAppliesTheChoiceForThisRun) {
  SetThreadLocale(kLocaleEnglish);
  const std::string missing = tmp_.dir() + "missing/";
  SelectInterfaceLanguage(false, FakeDialog(2).callback(), boxes_, missing);
  EXPECT_EQ(InterfaceLanguage(), 2);
  EXPECT_EQ(GetThreadLocale(), kLocaleSpanish);
  EXPECT_FALSE(Exists(missing));
  EXPECT_TRUE(boxes_.shown.empty());
}

}  // namespace
}  // namespace harvelo
