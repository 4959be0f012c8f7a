// The configuration, language and About dialogs, and the start-up that shows the
// language dialog on the first start.
#include <wx/checkbox.h>
#include <wx/radiobut.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "app/about_dialog.h"
#include "app/config_dialog.h"
#include "app/language_dialog.h"
#include "app/main_window.h"
#include "app/owner_drawn_button.h"
#include "app/startup.h"
#include "app/up_down_control.h"
#include "app_fixture.h"
#include "engine/control_ids.h"
#include "settings/interface_language.h"
#include "settings/settings.h"

namespace harvelo::testing {
namespace {

app::ConfigValues Defaults() {
  app::ConfigValues values;
  values.resourceTypes = "JPG,JPEG,MPG,MPEG";
  values.webAddressLog = 1;
  values.browserIndex = 1;
  values.minimumSizeKb = 20;
  values.debugOptions = "";
  return values;
}

class ConfigDialogTest : public ::testing::Test {
 protected:
  app::ConfigDialog& Open(const app::ConfigValues& values) {
    dialog_ = new app::ConfigDialog(nullptr, values, settings_.dir());
    dialog_->Show();
    dialog_->Raise();
    SettleUntil([this] { return dialog_->IsActive(); }, 2000);
    return *dialog_;
  }
  void TearDown() override {
    delete dialog_;
    Settle(20);
  }
  wxTextCtrl* Edit(int id) { return static_cast<wxTextCtrl*>(dialog_->FindWindow(id)); }
  bool Radio(int id) { return static_cast<wxRadioButton*>(dialog_->FindWindow(id))->GetValue(); }
  void FocusTo(int id) {
    dialog_->FindWindow(id)->SetFocus();
    Settle(40);
  }

  TempDir settings_;
  ScriptedDialogs dialogs_;
  app::ConfigDialog* dialog_ = nullptr;
};

TEST_F(ConfigDialogTest, ShowsTheValuesAndHandsThemBackOnOk) {
  app::ConfigDialog& dialog = Open(Defaults());
  EXPECT_EQ(app::Utf8(Edit(1024)->GetValue()), "JPG,JPEG,MPG,MPEG");
  EXPECT_EQ(app::Utf8(Edit(1030)->GetValue()), "20");
  EXPECT_FALSE(Radio(1020));
  EXPECT_TRUE(Radio(1021));
  EXPECT_TRUE(static_cast<wxCheckBox*>(dialog.FindWindow(1023))->GetValue());
  EXPECT_TRUE(static_cast<wxCheckBox*>(dialog.FindWindow(1050))->GetValue());
  EXPECT_EQ(app::Utf8(dialog.Button(1)->Caption()), "Ok");
  EXPECT_EQ(app::Utf8(dialog.Button(2)->Caption()), "Cancel");
  EXPECT_EQ(app::Utf8(dialog.Button(4)->Caption()), "&Change");

  static_cast<wxRadioButton*>(dialog.FindWindow(1022))->SetValue(true);
  Edit(1030)->ChangeValue("5000");  // typed values are not limited by the arrows
  Edit(1025)->ChangeValue("trace");
  Edit(1051)->ChangeValue("300");
  Edit(1052)->ChangeValue("200");
  static_cast<wxCheckBox*>(dialog.FindWindow(1023))->SetValue(false);
  static_cast<wxCheckBox*>(dialog.FindWindow(1054))->SetValue(true);
  EXPECT_EQ(app::Utf8(Edit(1055)->GetValue()), "6");
  Edit(1055)->ChangeValue("17");  // more than 16 at a time is refused
  dialog.Button(1)->Click();
  EXPECT_FALSE(dialog.Finished());
  ASSERT_EQ(dialogs_.boxes.size(), 1u);
  static_cast<app::UpDownControl*>(dialog.FindWindow(1056))->Step(+1);
  EXPECT_EQ(app::Utf8(Edit(1055)->GetValue()), "16");
  // HTTP/2 streams: 0 to 128, the arrows kept within them.
  EXPECT_EQ(app::Utf8(Edit(1057)->GetValue()), "100");
  Edit(1057)->ChangeValue("129");
  dialog.Button(1)->Click();
  EXPECT_FALSE(dialog.Finished());
  ASSERT_EQ(dialogs_.boxes.size(), 2u);
  static_cast<app::UpDownControl*>(dialog.FindWindow(1058))->Step(+1);
  EXPECT_EQ(app::Utf8(Edit(1057)->GetValue()), "128");
  EXPECT_TRUE(static_cast<wxCheckBox*>(dialog.FindWindow(1059))->GetValue());
  static_cast<wxCheckBox*>(dialog.FindWindow(1059))->SetValue(false);
  // Rendered pages: the stored choice shown, another taken; the bounds are numbers too.
  EXPECT_TRUE(Radio(1061));
  static_cast<wxRadioButton*>(dialog.FindWindow(1062))->SetValue(true);
  EXPECT_EQ(app::Utf8(Edit(1063)->GetValue()), "20");
  Edit(1064)->ChangeValue("0");  // a page is given at least a second
  dialog.Button(1)->Click();
  EXPECT_FALSE(dialog.Finished());
  ASSERT_EQ(dialogs_.boxes.size(), 3u);
  Edit(1064)->ChangeValue("30");
  dialog.Button(1)->Click();
  EXPECT_TRUE(dialog.Finished());
  EXPECT_EQ(dialog.GetReturnCode(), wxID_OK);
  const app::ConfigValues& out = dialog.Values();
  EXPECT_EQ(out.resourceTypes, "JPG,JPEG,MPG,MPEG");
  EXPECT_EQ(out.browserIndex, 2);
  EXPECT_EQ(out.minimumSizeKb, 5000);
  EXPECT_EQ(out.debugOptions, "trace");
  EXPECT_EQ(out.webAddressLog, 0);
  EXPECT_EQ(out.minimumPictureWidth, 300);
  EXPECT_EQ(out.minimumPictureHeight, 200);
  EXPECT_EQ(out.skipKnownFiles, 1);
  EXPECT_EQ(out.parallelTransfers, 16);
  EXPECT_EQ(out.http2Streams, 128);
  EXPECT_EQ(out.compressedPages, 0);
  EXPECT_EQ(out.renderedPages, 2);
  EXPECT_EQ(out.renderSeconds, 30);
}

TEST_F(ConfigDialogTest, ResourceTypesAreNormalisedWhereverTheFocusGoes) {
  Open(Defaults());
  FocusTo(1024);
  Edit(1024)->ChangeValue(".jpg, .Gif ,,png");
  FocusTo(1025);
  EXPECT_EQ(app::Utf8(Edit(1024)->GetValue()), "JPG,GIF,PNG");
  // Cancel (id 2) taking the focus does not stop this rule.
  FocusTo(1024);
  Edit(1024)->ChangeValue("gif;png");
  FocusTo(2);
  EXPECT_EQ(app::Utf8(Edit(1024)->GetValue()), "GIFPNG");
}

TEST_F(ConfigDialogTest, EnterDoesNotCloseItAndEscapeCancels) {
  app::ConfigDialog& dialog = Open(Defaults());
  FocusTo(1025);
  wxUIActionSimulator keyboard;
  keyboard.Char(WXK_RETURN);
  Settle(60);
  EXPECT_FALSE(dialog.Finished());
  keyboard.Char(WXK_ESCAPE);
  Settle(60);
  EXPECT_TRUE(dialog.Finished());
  EXPECT_EQ(dialog.GetReturnCode(), wxID_CANCEL);
}

TEST_F(ConfigDialogTest, AnEmptyMinimumSizeIsRefusedWithThePromptAndTheDialogStaysOpen) {
  app::ConfigDialog& dialog = Open(Defaults());
  Edit(1030)->ChangeValue("");
  dialog.Button(1)->Click();
  Settle(40);
  EXPECT_FALSE(dialog.Finished());
  ASSERT_EQ(dialogs_.boxes.size(), 1u);
  EXPECT_EQ(dialogs_.boxes[0].text, "Please enter an integer.");
  EXPECT_EQ(wxWindow::FindFocus(), dialog.FindWindow(1030));
  // The same for a picture size; a number again lets OK through.
  Edit(1030)->ChangeValue("0");
  Edit(1052)->ChangeValue("");
  dialog.Button(1)->Click();
  Settle(40);
  EXPECT_FALSE(dialog.Finished());
  EXPECT_EQ(dialogs_.boxes.size(), 2u);
  Edit(1052)->ChangeValue("10");
  dialog.Button(1)->Click();
  EXPECT_TRUE(dialog.Finished());
  EXPECT_EQ(dialog.Values().minimumSizeKb, 0);
}

TEST_F(ConfigDialogTest, TheArrowsStepWithinOneToTwoThousand) {
  app::ConfigDialog& dialog = Open(Defaults());
  auto* arrows = static_cast<app::UpDownControl*>(dialog.FindWindow(1032));
  arrows->Step(+1);
  EXPECT_EQ(app::Utf8(Edit(1030)->GetValue()), "21");
  Edit(1030)->ChangeValue("2000");
  arrows->Step(+1);
  EXPECT_EQ(app::Utf8(Edit(1030)->GetValue()), "2000");
  Edit(1030)->ChangeValue("0");
  arrows->Step(-1);
  EXPECT_EQ(app::Utf8(Edit(1030)->GetValue()), "1");
  // The arrow sits at the field's right edge, inside the template's rectangle.
  const wxRect field = Edit(1030)->GetRect();
  EXPECT_EQ(arrows->GetRect().GetLeft(), field.GetRight() + 1);
}

TEST_F(ConfigDialogTest, ABrowserOutsideTheThreeChoicesShowsNoneAndStoresMinusOne) {
  app::ConfigValues values = Defaults();
  values.browserIndex = 7;
  app::ConfigDialog& dialog = Open(values);
  EXPECT_FALSE(Radio(1020) || Radio(1021) || Radio(1022));
  dialog.Button(1)->Click();
  EXPECT_EQ(dialog.Values().browserIndex, -1);
}

// The main window's side: OK takes the values over and writes them at once; Cancel
// leaves everything as it was.
class ConfigFromMainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app::MainWindowOptions options;
    options.settingsDir = settings_.dir();
    window_ = new app::MainWindow(options);
  }
  void TearDown() override {
    delete window_;
    Settle(20);
  }
  TempDir settings_;
  ScriptedDialogs dialogs_;
  app::MainWindow* window_ = nullptr;
};

TEST_F(ConfigFromMainWindowTest, OkStoresTheTypesWithTheirCommaAndDerivesTheDebugFlags) {
  std::string shownTypes;
  dialogs_.onDialog = [&](wxDialog* dialog) {
    auto* config = dynamic_cast<app::ConfigDialog*>(dialog);
    shownTypes = app::Utf8(static_cast<wxTextCtrl*>(config->FindWindow(1024))->GetValue());
    static_cast<wxTextCtrl*>(config->FindWindow(1025))->ChangeValue("trace");
    config->PressOk();
    return config->GetReturnCode();
  };
  window_->OpenConfiguration();
  EXPECT_EQ(shownTypes, "JPG,JPEG,MPG,MPEG");
  EXPECT_EQ(window_->settings().targetTypes, ",JPG,JPEG,MPG,MPEG");
  EXPECT_EQ(window_->settings().debugOptions, "TRACE");
  EXPECT_EQ(window_->settings().debug.trace, 1);
  Settings saved;
  LoadSettings(saved, settings_.dir());
  EXPECT_EQ(saved.debugOptions, "TRACE");
}

TEST_F(ConfigFromMainWindowTest, CancelAfterEditingChangesNothing) {
  dialogs_.onDialog = [&](wxDialog* dialog) {
    auto* config = dynamic_cast<app::ConfigDialog*>(dialog);
    static_cast<wxTextCtrl*>(config->FindWindow(1024))->ChangeValue("GIF");
    static_cast<wxTextCtrl*>(config->FindWindow(1030))->ChangeValue("99");
    config->Button(2)->Click();
    return config->GetReturnCode();
  };
  window_->OpenConfiguration();
  EXPECT_EQ(window_->settings().targetTypes, ",JPG,JPEG,MPG,MPEG");
  EXPECT_EQ(window_->settings().minimumSizeKb, 20);
  EXPECT_FALSE(Exists(settings_.file("HV_conf.cfg")));
}

// Restores the process-wide language after a test that chooses one.
class LanguageRestorer {
 public:
  LanguageRestorer() : value_(InterfaceLanguage()), locale_(GetThreadLocale()) {}
  ~LanguageRestorer() {
    SetInterfaceLanguage(value_);
    SetThreadLocale(locale_);
  }

 private:
  int value_;
  int locale_;
};

TEST(LanguageChange, ChangeSwitchesToSpanishAndTellsToRestartInSpanish) {
  LanguageRestorer restore;
  SetInterfaceLanguage(kLanguageEnglish);
  SetThreadLocale(kLocaleEnglish);
  TempDir settings;
  ScriptedDialogs dialogs;
  int initiallyChecked = -1;
  app::ConfigDialog* config = nullptr;
  dialogs.onDialog = [&](wxDialog* dialog) {
    auto* language = dynamic_cast<app::LanguageDialog*>(dialog);
    if (!language) return wxID_CANCEL;
    for (int i = 0; i < 3; ++i) {
      if (static_cast<wxRadioButton*>(language->FindWindow(1044 + i))->GetValue()) {
        initiallyChecked = i;
      }
    }
    static_cast<wxRadioButton*>(language->FindWindow(1046))->SetValue(true);
    language->PressOk();
    return wxID_OK;
  };
  config = new app::ConfigDialog(nullptr, Defaults(), settings.dir());
  config->Button(4)->Click();
  EXPECT_EQ(initiallyChecked, 1);
  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_EQ(dialogs.boxes[0].text, FindString(IDS_RESTART_FOR_LANGUAGE, kLocaleSpanish));
  EXPECT_TRUE(dialogs.boxes[0].style & wxICON_INFORMATION);
  EXPECT_EQ(ReadBytes(settings.file("HV_lang.cfg")), "\"2\"\r\n");
  EXPECT_FALSE(config->Finished());
  delete config;
}

TEST(Startup, TheFirstStartAsksTheLanguageAndOpensTheWindowInIt) {
  LanguageRestorer restore;
  SetInterfaceLanguage(kLanguageUnset);
  TempDir settings;
  ScriptedDialogs dialogs;
  std::vector<std::string> seen;
  dialogs.onDialog = [&](wxDialog* dialog) {
    if (auto* language = dynamic_cast<app::LanguageDialog*>(dialog)) {
      seen.push_back("language " + app::Utf8(language->GetTitle()));
      EXPECT_TRUE(static_cast<wxRadioButton*>(language->FindWindow(1044))->GetValue());
      // Enter does nothing in it: the hidden default button has no handler.
      language->Show();
      language->FindWindow(1045)->SetFocus();
      Settle(40);
      wxUIActionSimulator().Char(WXK_RETURN);
      Settle(60);
      EXPECT_FALSE(language->Finished());
      static_cast<wxRadioButton*>(language->FindWindow(1046))->SetValue(true);
      language->Button(1)->Click();
      return wxID_OK;
    }
    if (auto* window = dynamic_cast<app::MainWindow*>(dialog)) {
      seen.push_back("main " + window->GetControlText(IDC_STATUS_LINE) + " | " +
                     app::Utf8(window->Button(IDC_START)->Caption()));
      return wxID_CANCEL;
    }
    return wxID_CANCEL;
  };
  app::MainWindowOptions options;
  options.settingsDir = settings.dir();
  EXPECT_EQ(app::RunHarvelo(options), 0);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0], "language Harvelo: User Interfase Language / Lenguaje para la Interfase");
  EXPECT_EQ(seen[1], "main Registro de descargas: | &Iniciar");
  EXPECT_EQ(ReadBytes(settings.file("HV_lang.cfg")), "\"2\"\r\n");
  EXPECT_TRUE(dialogs.boxes.empty());
}

class AboutDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    about_ = new app::AboutDialog(nullptr);
    about_->openAddress = [this](const std::string& address) { opened_.push_back(address); };
    about_->Show();
    Settle(40);
  }
  void TearDown() override {
    delete about_;
    Settle(20);
  }
  void Mouse(wxEventType type, int x, int y) {
    wxMouseEvent event(type);
    event.SetPosition(wxPoint(x, y));
    event.SetEventObject(about_);
    about_->ProcessWindowEvent(event);
  }
  app::AboutDialog* about_ = nullptr;
  std::vector<std::string> opened_;
};

TEST_F(AboutDialogTest, TheLinkShowsTheHandOnItsVeryEdgesAndOpensOnReleaseInside) {
  const wxRect link = about_->LinkRect();
  ASSERT_GT(link.width, 0);
  EXPECT_EQ(about_->FindWindow(1041)->GetForegroundColour(), wxColour(0, 0, 255));
  Mouse(wxEVT_MOTION, link.x - 1, link.y);
  EXPECT_FALSE(about_->HandShown());
  Mouse(wxEVT_MOTION, link.x, link.y);
  EXPECT_TRUE(about_->HandShown());
  Mouse(wxEVT_MOTION, link.x + link.width, link.y + link.height);
  EXPECT_TRUE(about_->HandShown());
  Mouse(wxEVT_MOTION, link.x + link.width + 1, link.y);
  EXPECT_FALSE(about_->HandShown());

  Mouse(wxEVT_LEFT_UP, link.x + link.width, link.y + link.height);
  ASSERT_EQ(opened_.size(), 1u);
  EXPECT_EQ(opened_[0], "http://www.harvelo.example/");
}

TEST_F(AboutDialogTest, PressingOnTheLinkAndReleasingOutsideOpensNothing) {
  const wxRect link = about_->LinkRect();
  Mouse(wxEVT_LEFT_DOWN, link.x + 2, link.y + 2);
  Mouse(wxEVT_LEFT_UP, link.x + 2, link.y + link.height + 1);
  EXPECT_TRUE(opened_.empty());
  about_->Button(1)->Click();
  EXPECT_TRUE(about_->Finished());
}

}  // namespace
}  // namespace harvelo::testing
