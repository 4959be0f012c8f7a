// The window-choice dialog and the capture's buttons on the real window: placement at
// the right screen edge, the list and its first selection, OK, double-click, Cancel, the
// Spanish layout, and the messages of Get from Browser and Browser.
#include "app/window_choice_dialog.h"

#include <wx/listbox.h>

#include "app/browser_capture_commands.h"
#include "app/main_window.h"
#include "app/owner_drawn_button.h"
#include "app_fixture.h"
#include "engine/control_ids.h"

namespace harvelo::testing {
namespace {

const char kThreeWindows[] =
    "\"One\" \"http://a/1\" \"c=1\" \"\"\r\n"
    "\"Two\" \"http://a/2\" \"\" \"http://r/\"\r\n"
    "\"Three\" \"http://a/3\" \"s=3; t=4\" \"http://r/3\"\r\n";

class WindowChoiceTest : public ::testing::Test {
 protected:
  std::string Out(const std::string& text) {
    WriteBytes(temp_.file("inspector.out"), text);
    return temp_.file("inspector.out");
  }
  TempDir temp_;
};

TEST_F(WindowChoiceTest, ListsTheTitlesSelectsTheLastAndOkTakesTheSelectedRecord) {
  InterfaceLocale english(kLocaleEnglish);
  app::CWindowChoiceDlg dialog(nullptr, Out(kThreeWindows));
  ScriptedDialogs dialogs;
  dialogs.onDialog = [&](wxDialog*) {
    EXPECT_EQ(dialog.List()->GetCount(), 3u);
    EXPECT_EQ(app::Utf8(dialog.List()->GetString(0)), "One");
    EXPECT_EQ(dialog.List()->GetSelection(), 2);
    dialog.List()->SetSelection(wxNOT_FOUND);
    dialog.OnOK();  // no selection: stays open
    EXPECT_FALSE(dialog.Finished());
    dialog.List()->SetSelection(1);
    dialog.OnOK();
    return dialog.GetReturnCode();
  };
  ASSERT_EQ(dialog.DoModal(), wxID_OK);
  EXPECT_EQ(dialog.chosenAddress, "http://a/2");
  EXPECT_EQ(dialog.chosenCookie, "");
  EXPECT_EQ(dialog.chosenReferrer, "http://r/");
  EXPECT_EQ(app::Utf8(dialog.Button(1)->GetLabel()), "Ok");
  EXPECT_EQ(app::Utf8(dialog.Button(2)->GetLabel()), "Cancel");
}

TEST_F(WindowChoiceTest, ADoubleClickIsOkAndCancelTakesNothing) {
  app::CWindowChoiceDlg dialog(nullptr, Out(kThreeWindows));
  dialog.OnInitDialog();
  wxCommandEvent click(wxEVT_LISTBOX_DCLICK, 1042);
  click.SetEventObject(dialog.List());
  click.SetInt(2);
  dialog.List()->GetEventHandler()->ProcessEvent(click);
  EXPECT_TRUE(dialog.Finished());
  EXPECT_EQ(dialog.GetReturnCode(), wxID_OK);
  EXPECT_EQ(dialog.chosenCookie, "s=3; t=4");

  app::CWindowChoiceDlg other(nullptr, Out(kThreeWindows));
  other.OnInitDialog();
  other.Button(2)->Click();
  EXPECT_TRUE(other.Finished());
  EXPECT_EQ(other.GetReturnCode(), wxID_CANCEL);
  EXPECT_EQ(other.chosenAddress, "");
}

TEST_F(WindowChoiceTest, NearTheRightScreenEdgeItMovesLeftButNeverUp) {
  const int screen = wxGetDisplaySize().GetWidth();
  app::CWindowChoiceDlg dialog(nullptr, Out(kThreeWindows));
  dialog.x = screen - 20;
  dialog.y = 300;
  dialog.OnInitDialog();
  const int width = dialog.GetClientSize().GetWidth();
  EXPECT_EQ(dialog.x, screen - 5 - width);
  EXPECT_EQ(dialog.GetPosition(), wxPoint(screen - 5 - width, 300));

  app::CWindowChoiceDlg inside(nullptr, Out(kThreeWindows));
  inside.x = 40;
  inside.y = 2000;  // below the screen: not corrected
  inside.OnInitDialog();
  EXPECT_EQ(inside.GetPosition(), wxPoint(40, 2000));
}

TEST_F(WindowChoiceTest, AnEmptyListSelectsNothingAndTheSpanishLayoutIsShorter) {
  InterfaceLocale spanish(kLocaleSpanish);
  app::CWindowChoiceDlg dialog(nullptr, Out(""));
  dialog.OnInitDialog();
  EXPECT_EQ(dialog.List()->GetCount(), 0u);
  EXPECT_EQ(dialog.List()->GetSelection(), wxNOT_FOUND);
  EXPECT_EQ(dialog.GetClientSize(), dialog.ConvertDialogToPixels(wxSize(233, 77)));
  EXPECT_EQ(app::Utf8(dialog.Button(2)->GetLabel()), "Cancelar");
}

TEST_F(WindowChoiceTest, TheButtonsOfTheMainWindowReachTheCapture) {
  InterfaceLocale english(kLocaleEnglish);
  TempDir settings;
  app::MainWindowOptions options;
  options.settingsDir = settings.dir();
  options.browser = app::BrowserCaptureCommands();
  auto* window = new app::MainWindow(options);
  ScriptedDialogs dialogs;
  // The test program's directory holds no Inspector: message 82.
  window->Button(IDC_GET_FROM_BROWSER)->Click();
  // Nothing is being processed: message 87.
  window->Button(IDC_BROWSER)->Click();
  ASSERT_EQ(dialogs.boxes.size(), 2u);
  EXPECT_EQ(dialogs.boxes[0].text,
            "Cannot found \"Inspector.exe\" module. Please re-install Harvelo to recover lost "
            "modules.");
  EXPECT_TRUE(dialogs.boxes[0].style & wxICON_ERROR);
  EXPECT_EQ(dialogs.boxes[1].text, "There isn't Current Page.");
  EXPECT_TRUE(dialogs.boxes[1].style & wxICON_INFORMATION);
  delete window;
  Settle(30);
}

TEST_F(WindowChoiceTest, OpensJustBelowTheGetFromBrowserButton) {
  TempDir settings;
  app::MainWindowOptions options;
  options.settingsDir = settings.dir();
  auto* window = new app::MainWindow(options);
  window->Show();
  Settle(100);
  wxWindow* button = window->FindWindow(IDC_GET_FROM_BROWSER);
  const wxRect rect = button->GetRect();
  const wxPoint corner = window->ClientToScreen(rect.GetPosition());
  ScriptedDialogs dialogs;
  wxPoint opened;
  dialogs.onDialog = [&](wxDialog* dialog) {
    opened = dialog->GetPosition();
    auto* choice = dynamic_cast<app::CWindowChoiceDlg*>(dialog);
    choice->List()->SetSelection(0);
    choice->OnOK();
    return choice->GetReturnCode();
  };
  CapturedPage chosen;
  ASSERT_TRUE(app::ChooseWindowBelowButton(*window, Out(kThreeWindows), chosen));
  EXPECT_EQ(chosen.address, "http://a/1");
  EXPECT_EQ(chosen.cookie, "c=1");
  EXPECT_EQ(opened, wxPoint(corner.x, corner.y + rect.GetHeight() + 5));
  delete window;
  Settle(30);
}

}  // namespace
}  // namespace harvelo::testing
