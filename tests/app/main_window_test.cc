// The main window driven as a person would: fields typed and left, buttons clicked,
// Enter and Escape pressed, the close box, and a run against a loopback server.
#include <wx/checkbox.h>
#include <wx/clipbrd.h>
#include <wx/combobox.h>
#include <wx/frame.h>
#include <wx/gauge.h>
#include <wx/listctrl.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/timer.h>

#include <atomic>
#include <csignal>
#include <filesystem>
#include <map>
#include <set>

#include "app/end_signals.h"
#include "app/icons.h"
#include "app/main_window.h"
#include "app/owner_drawn_button.h"
#include "app_fixture.h"
#include "engine/control_ids.h"
#include "platform/directories.h"
#include "settings/settings.h"
#include "support/loopback_server.h"

namespace harvelo::testing {
namespace {

class FakeChoosers : public app::FileChoosers {
 public:
  std::string folder;  // empty: the folder browser is cancelled
  std::string file;
  std::string folderTitle;
  bool ChooseFolder(wxWindow*, const std::string& title, std::string& path) override {
    folderTitle = title;
    path = folder;
    return !folder.empty();
  }
  bool ChooseExistingFile(wxWindow*, const std::string&, std::string& path) override {
    path = file;
    return !file.empty();
  }
};

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    options_.settingsDir = settings_.dir();
    options_.choosers = &choosers_;
  }
  // Each window goes at once: the engine of one window hands the process's message pump
  // back when it is destroyed, so two windows must not overlap.
  void TearDown() override { CloseWindow(); }
  void CloseWindow() {
    delete window_;
    window_ = nullptr;
    Settle(30);
  }

  // Opens the window, shown and with the keyboard focus, as start-up leaves it.
  app::MainWindow& Open() {
    window_ = new app::MainWindow(options_);
    window_->Show();
    window_->Raise();
    SettleUntil([this] { return window_->IsActive(); }, 2000);
    Settle(50);
    return *window_;
  }

  wxComboBox* Url() { return static_cast<wxComboBox*>(window_->FindWindow(IDC_URL)); }
  wxTextCtrl* Field(int id) { return static_cast<wxTextCtrl*>(window_->FindWindow(id)); }
  app::OwnerDrawnButton* Button(int id) { return window_->Button(id); }

  // Moves the keyboard focus to `to` and lets the toolkit deliver the change.
  void FocusTo(wxWindow* to) {
    to->SetFocus();
    Settle(40);
  }

  // A real mouse click in the middle of `control`.
  void ClickOn(wxWindow* control) {
    wxUIActionSimulator mouse;
    const wxRect r = control->GetScreenRect();
    mouse.MouseMove(r.x + r.width / 2, r.y + r.height / 2);
    Settle(20);
    mouse.MouseClick();
    Settle(60);
  }

  // A real key press in whatever has the focus.
  void Press(int key, int modifiers = wxMOD_NONE) {
    wxUIActionSimulator keyboard;
    keyboard.Char(key, modifiers);
    Settle(60);
  }

  // A loopback page linking `images` JPEGs of 30 KB each, each sent after `delayMs`.
  void ServeGallery(int images, int delayMs) {
    std::string page = "<html><head><title>Loopback gallery</title></head><body>";
    for (int i = 1; i <= images; ++i) {
      page += "<a href=\"/img" + std::to_string(i) + ".jpg\">" + std::to_string(i) + "</a>";
    }
    page += "</body></html>";
    server_.server().Get("/page.html", [page](const httplib::Request&, httplib::Response& res) {
      res.set_content(page, "text/html");
    });
    // Every picture differs, so none is dropped as a duplicate of another.
    server_.server().Get(
        R"(/img(\d+)\.jpg)", [delayMs](const httplib::Request& req, httplib::Response& res) {
          std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
          std::string body = "\xFF\xD8\xFF" + req.matches[1].str();
          body.resize(30 * 1024, static_cast<char>('a' + std::stoi(req.matches[1].str())));
          res.set_content(body, "image/jpeg");
        });
    ASSERT_TRUE(server_.Start());
  }

  std::string PageAddressWithoutScheme() {
    return "127.0.0.1:" + std::to_string(server_.port()) + "/page.html";
  }

  int LogRows() {
    return static_cast<wxListCtrl*>(window_->FindWindow(IDC_DOWNLOAD_LOG))->GetItemCount();
  }
  std::string LogCell(int row, int column) {
    auto* log = static_cast<wxListCtrl*>(window_->FindWindow(IDC_DOWNLOAD_LOG));
    return app::Utf8(log->GetItemText(row, column));
  }

  TempDir settings_;
  TempDir destination_;
  FakeChoosers choosers_;
  LoopbackServer server_;
  ScriptedDialogs dialogs_;
  app::MainWindowOptions options_;
  app::MainWindow* window_ = nullptr;
};

TEST_F(MainWindowTest, OpensIdleWithTheFocusInTheAddressField) {
  app::MainWindow& window = Open();
  EXPECT_EQ(app::Utf8(window.GetTitle()), "HV: Idle.");
  EXPECT_EQ(wxWindow::FindFocus(), Url());
  EXPECT_EQ(window.GetControlText(IDC_FILE_PREFIX), "AAA_");
  EXPECT_EQ(window.GetControlText(IDC_AUTO_INCREMENT), "1");
  EXPECT_FALSE(window.FindWindow(IDC_STOP)->IsEnabled());
  EXPECT_FALSE(window.FindWindow(IDC_PAUSE)->IsEnabled());
  EXPECT_FALSE(window.FindWindow(IDC_TOTAL_PROGRESS)->IsEnabled());
  EXPECT_EQ(Button(IDC_START)->Icon(), app::kIconStart);
  EXPECT_EQ(app::Utf8(Button(IDC_START)->Caption()), "S&tart");
  EXPECT_EQ(app::Utf8(window.FindWindow(IDC_START)->GetToolTipText()),
            "Starts processing the entered URL");
  auto* log = static_cast<wxListCtrl*>(window.FindWindow(IDC_DOWNLOAD_LOG));
  ASSERT_EQ(log->GetColumnCount(), 4);
  wxListItem column;
  column.SetMask(wxLIST_MASK_TEXT);
  log->GetColumn(3, column);
  EXPECT_EQ(app::Utf8(column.GetText()), "Resource URL");
  // No minimise or maximise box on the frame.
  EXPECT_FALSE(window.HasFlag(wxMINIMIZE_BOX));
  EXPECT_FALSE(window.HasFlag(wxMAXIMIZE_BOX));
}

TEST_F(MainWindowTest, FieldRulesRunWhenTheFocusMovesToAnotherControl) {
  app::MainWindow& window = Open();
  SavePrefix(destination_.dir(), "IMG_");

  // Address: a bare host gains "http://"; any scheme stays as typed (https included).
  const std::map<std::string, std::string> addresses = {
      {"example.test/a.html", "http://example.test/a.html"},
      {"HtTp://example.test/", "HtTp://example.test/"},
      {"https://example.test/", "https://example.test/"},
      {"localhost:8080/x", "http://localhost:8080/x"},
  };
  for (const auto& [typed, ruled] : addresses) {
    FocusTo(Url());
    Url()->ChangeValue(app::Wx(typed));
    FocusTo(Field(IDC_FILE_PREFIX));
    EXPECT_EQ(window.GetControlText(IDC_URL), ruled) << typed;
  }

  // Destination: one '/' appended, then the prefix of that directory is loaded.
  std::string dir = destination_.dir();
  dir.pop_back();
  FocusTo(Field(IDC_DESTINATION_DIR));
  Field(IDC_DESTINATION_DIR)->ChangeValue(app::Wx(dir));
  FocusTo(Url());
  EXPECT_EQ(window.GetControlText(IDC_DESTINATION_DIR), destination_.dir());
  EXPECT_EQ(window.GetControlText(IDC_FILE_PREFIX), "IMG_");
  // Already ending in '/': unchanged, but the prefix is loaded again.
  Field(IDC_FILE_PREFIX)->ChangeValue("ZZZ_");
  FocusTo(Field(IDC_DESTINATION_DIR));
  FocusTo(Url());
  EXPECT_EQ(window.GetControlText(IDC_DESTINATION_DIR), destination_.dir());
  EXPECT_EQ(window.GetControlText(IDC_FILE_PREFIX), "IMG_");

  // Prefix: one '_' appended; an empty prefix stays empty.
  FocusTo(Field(IDC_FILE_PREFIX));
  Field(IDC_FILE_PREFIX)->ChangeValue("img");
  FocusTo(Url());
  EXPECT_EQ(window.GetControlText(IDC_FILE_PREFIX), "img_");
  FocusTo(Field(IDC_FILE_PREFIX));
  Field(IDC_FILE_PREFIX)->ChangeValue("");
  FocusTo(Url());
  EXPECT_EQ(window.GetControlText(IDC_FILE_PREFIX), "");
}

TEST_F(MainWindowTest, FieldRulesDoNothingWhenTheFocusLeavesTheProgram) {
  app::MainWindow& window = Open();
  auto* other = new wxFrame(nullptr, wxID_ANY, "another program");
  auto* otherField = new wxTextCtrl(other, wxID_ANY);
  other->Show();

  FocusTo(Url());
  Url()->ChangeValue("example.test");
  other->Raise();
  FocusTo(otherField);
  EXPECT_EQ(window.GetControlText(IDC_URL), "example.test");
  other->Destroy();
  Settle(30);
}

TEST_F(MainWindowTest, ClickingAButtonAppliesTheRuleOfTheFieldLeft) {
  app::MainWindow& window = Open();
  FocusTo(Field(IDC_FILE_PREFIX));
  Field(IDC_FILE_PREFIX)->ChangeValue("pic");
  ClickOn(window.FindWindow(IDC_ALWAYS_ON_TOP));
  EXPECT_EQ(window.GetControlText(IDC_FILE_PREFIX), "pic_");
  EXPECT_EQ(wxWindow::FindFocus(), window.FindWindow(IDC_ALWAYS_ON_TOP));
}

TEST_F(MainWindowTest, EnterNormalisesTheAddressAndRunsIt) {
  ServeGallery(3, 0);
  app::MainWindow& window = Open();
  window.SetControlText(IDC_DESTINATION_DIR, destination_.dir());
  FocusTo(Url());
  Url()->ChangeValue(app::Wx(PageAddressWithoutScheme()));
  Press(WXK_RETURN);
  ASSERT_TRUE(SettleUntil([&] { return LogRows() == 4 && !window.engine().busy; }));

  EXPECT_EQ(app::Utf8(window.GetTitle()), "HV: Done.");
  EXPECT_EQ(window.GetControlText(IDC_STATUS_LINE), "3 resources downloaded successfully.");
  EXPECT_EQ(window.GetControlText(IDC_PAGE_TITLE), "Loopback gallery");
  EXPECT_EQ(window.GetControlText(IDC_CURRENT_PAGE), "http://" + PageAddressWithoutScheme());
  EXPECT_EQ(window.GetControlText(IDC_CURRENT_PAGE_LABEL), "Last Page:");
  // Newest row on top: the last image, then the others, then the page.
  EXPECT_EQ(LogCell(0, 1), "Ok");
  EXPECT_EQ(LogCell(0, 2), destination_.dir() + "AAA_003.jpg");
  EXPECT_EQ(LogCell(3, 2), destination_.dir() + "page.html");
  EXPECT_TRUE(Exists(destination_.file("AAA_001.jpg")));
  EXPECT_EQ(Url()->GetCount(), 1u);  // the address joined the recent list
  EXPECT_TRUE(dialogs_.boxes.empty());
}

TEST_F(MainWindowTest, ARunShowsItsFacesAndDisablesTheFieldsUntilItEnds) {
  ServeGallery(3, 150);
  app::MainWindow& window = Open();
  window.SetControlText(IDC_DESTINATION_DIR, destination_.dir());
  Url()->ChangeValue(app::Wx("http://" + PageAddressWithoutScheme()));

  // What a person sees while the run is under way, looked at from inside its pump.
  std::map<std::string, std::string> seen;
  wxTimer timer;
  timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
    if (!seen.empty() || !window.engine().busy || window.engine().runStatus < 0) return;
    seen["start caption"] = app::Utf8(Button(IDC_START)->Caption());
    seen["start icon"] = std::to_string(Button(IDC_START)->Icon());
    for (int id : {IDC_STOP, IDC_PAUSE, IDC_DESTINATION_DIR, IDC_BROWSE_DESTINATION,
                   IDC_FILE_PREFIX, IDC_AUTO_INCREMENT, IDC_CONFIG, IDC_TOTAL_PROGRESS}) {
      seen["enabled " + std::to_string(id)] = window.FindWindow(id)->IsEnabled() ? "1" : "0";
    }
    seen["title"] = app::Utf8(window.GetTitle());
    seen["label"] = window.GetControlText(IDC_CURRENT_PAGE_LABEL);
  });
  timer.Start(20);
  ClickOn(window.FindWindow(IDC_START));
  ASSERT_TRUE(SettleUntil([&] { return LogRows() == 4 && !window.engine().busy; }));
  timer.Stop();

  EXPECT_EQ(seen["start caption"], "&To queue");
  EXPECT_EQ(seen["start icon"], std::to_string(app::kIconToQueue));
  EXPECT_EQ(seen["enabled 1007"], "1");  // Stop
  EXPECT_EQ(seen["enabled 1025"], "1");  // Pause
  EXPECT_EQ(seen["enabled 1005"], "1");  // the total bar, during a resource list
  for (int id : {IDC_DESTINATION_DIR, IDC_BROWSE_DESTINATION, IDC_FILE_PREFIX, IDC_AUTO_INCREMENT,
                 IDC_CONFIG}) {
    EXPECT_EQ(seen["enabled " + std::to_string(id)], "0") << id;
  }
  EXPECT_EQ(seen["title"].rfind("HV: ", 0), 0u);
  EXPECT_NE(seen["title"].find('%'), std::string::npos);
  EXPECT_EQ(seen["label"], "Current Page:");

  // After the run: idle faces, the controls back, Stop and Pause off.
  EXPECT_EQ(app::Utf8(Button(IDC_START)->Caption()), "S&tart");
  EXPECT_EQ(Button(IDC_START)->Icon(), app::kIconStart);
  EXPECT_FALSE(window.FindWindow(IDC_STOP)->IsEnabled());
  EXPECT_FALSE(window.FindWindow(IDC_PAUSE)->IsEnabled());
  EXPECT_FALSE(window.FindWindow(IDC_TOTAL_PROGRESS)->IsEnabled());
  EXPECT_TRUE(window.FindWindow(IDC_CONFIG)->IsEnabled());
  EXPECT_TRUE(window.FindWindow(IDC_DESTINATION_DIR)->IsEnabled());
}

TEST_F(MainWindowTest, PauseHoldsTheRunAndShowsThePlayFace) {
  ServeGallery(3, 100);
  app::MainWindow& window = Open();
  window.SetControlText(IDC_DESTINATION_DIR, destination_.dir());
  Url()->ChangeValue(app::Wx("http://" + PageAddressWithoutScheme()));
  std::string pausedTitle;
  int pausedIcon = 0;
  wxTimer timer;
  timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
    if (window.engine().runStatus < 0) return;
    if (!window.engine().paused && pausedTitle.empty()) {
      Button(IDC_PAUSE)->Click();
    } else if (window.engine().paused) {
      pausedTitle = app::Utf8(window.GetTitle());
      pausedIcon = Button(IDC_PAUSE)->Icon();
      Button(IDC_PAUSE)->Click();
    }
  });
  timer.Start(30);
  Button(IDC_START)->Click();
  timer.Stop();
  EXPECT_EQ(pausedTitle.rfind("HV: [PAUSED] ", 0), 0u) << pausedTitle;
  EXPECT_EQ(pausedIcon, app::kIconPlay);
  EXPECT_EQ(Button(IDC_PAUSE)->Icon(), app::kIconPause);
  EXPECT_EQ(app::Utf8(window.GetTitle()), "HV: Done.");
}

TEST_F(MainWindowTest, StartWithoutAnAddressShowsTheStopMessage) {
  app::MainWindow& window = Open();
  window.SetControlText(IDC_DESTINATION_DIR, destination_.dir());
  ClickOn(window.FindWindow(IDC_START));
  ASSERT_EQ(dialogs_.boxes.size(), 1u);
  EXPECT_EQ(dialogs_.boxes[0].text, "Please enter the URL to process.");
  EXPECT_TRUE(dialogs_.boxes[0].style & wxICON_STOP);
  EXPECT_FALSE(dialogs_.boxes[0].style & wxYES_NO);
  EXPECT_EQ(wxWindow::FindFocus(), Url());
}

TEST_F(MainWindowTest, EscapeClosesWithoutWritingAnySettings) {
  app::MainWindow& window = Open();
  window.SetControlText(IDC_DESTINATION_DIR, destination_.dir());
  FocusTo(Url());
  Press(WXK_ESCAPE);
  EXPECT_TRUE(window.Finished());
  EXPECT_FALSE(Exists(settings_.file("HV_conf.cfg")));
  EXPECT_FALSE(Exists(settings_.file("HV_coord.cfg")));
  EXPECT_FALSE(Exists(settings_.file("HV_recent.cfg")));
}

TEST_F(MainWindowTest, TheCloseBoxWritesTheSettingsAndThePlace) {
  {
    app::MainWindow& window = Open();
    window.SetControlText(IDC_DESTINATION_DIR, destination_.dir());
    window.SetControlText(IDC_AUTO_INCREMENT, "0");
    window.ToggleAlwaysOnTop();
    window.Move(40, 30);
    Settle(50);
    window.Close();
    EXPECT_TRUE(window.Finished());
  }
  Settings saved;
  LoadSettings(saved, settings_.dir());
  EXPECT_EQ(saved.destinationDir, destination_.dir());
  EXPECT_EQ(saved.autoIncrement, 0);
  WindowPosition position;
  LoadWindowPosition(position, settings_.dir());
  EXPECT_EQ(position.alwaysOnTop, 1);
  EXPECT_EQ(position.x, window_->GetPosition().x);

  // The next window opens where this one was, on top, with the same destination.
  CloseWindow();
  app::MainWindow& again = Open();
  EXPECT_EQ(again.GetControlText(IDC_DESTINATION_DIR), destination_.dir());
  EXPECT_EQ(again.GetControlText(IDC_AUTO_INCREMENT), "0");
  EXPECT_EQ(again.AlwaysOnTop(), 1);
  EXPECT_EQ(Button(IDC_ALWAYS_ON_TOP)->Icon(), app::kIconPinPressed);
}

// The close box, SIGTERM and SIGHUP during a run: the run stops at once (the picture
// under way is cancelled, the rest never asked for), nothing is left in the destination,
// and the window closes with its settings saved.
TEST_F(MainWindowTest, ClosingDuringARunStopsItAndLeavesNothingBehind) {
  for (const int signal : {0, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(signal);
    std::atomic<int> served{0};
    LoopbackServer server;
    std::string page = "<html><body>";
    for (int i = 1; i <= 20; ++i) page += "<a href=\"/img" + std::to_string(i) + ".jpg\">i</a>";
    server.server().Get("/page.html", [page](const httplib::Request&, httplib::Response& res) {
      res.set_content(page + "</body></html>", "text/html");
    });
    server.server().Get(R"(/img(\d+)\.jpg)", [&served](const httplib::Request& req,
                                                       httplib::Response& res) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      ++served;
      res.set_content("\xFF\xD8\xFF" + std::string(20000, req.matches[1].str()[0]), "image/jpeg");
    });
    ASSERT_TRUE(server.Start());
    TempDir destination;
    app::MainWindow& window = Open();
    const app::EndSignals signals([&window] { window.RequestClose(); });
    window.SetControlText(IDC_DESTINATION_DIR, destination.dir());
    Url()->ChangeValue(app::Wx(server.Url("/page.html")));
    wxTimer timer;
    bool asked = false;
    timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
      if (asked || LogRows() < 2) return;
      asked = true;
      if (signal == 0) {
        window.Close();
      } else {
        ::raise(signal);
      }
    });
    timer.Start(10);
    Button(IDC_START)->Click();
    timer.Stop();
    ASSERT_TRUE(SettleUntil([&] { return window.Finished(); }, 3000));
    // The close may land inside a transfer ("Stopped") or between two: either way the
    // rest of the gallery is never asked for.
    EXPECT_LT(served.load(), 8);
    EXPECT_LT(LogRows(), 8);
    std::set<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(destination.dir())) {
      const std::string name = entry.path().filename().string();
      if (name.ends_with(".jpg") || name == "AAA_waddr.txt" || name == "HV_pref.cfg") continue;
      left.insert(name);
    }
    EXPECT_EQ(left, std::set<std::string>{});
    Settings saved;
    LoadSettings(saved, settings_.dir());
    EXPECT_EQ(saved.destinationDir, destination.dir());
    CloseWindow();
    std::filesystem::remove(settings_.file("HV_conf.cfg"));
  }
}

TEST_F(MainWindowTest, AlwaysOnTopTogglesTheBandAndTheIcon) {
  app::MainWindow& window = Open();
  EXPECT_EQ(Button(IDC_ALWAYS_ON_TOP)->Icon(), app::kIconPinLying);
  ClickOn(window.FindWindow(IDC_ALWAYS_ON_TOP));
  EXPECT_TRUE(window.HasFlag(wxSTAY_ON_TOP));
  EXPECT_EQ(Button(IDC_ALWAYS_ON_TOP)->Icon(), app::kIconPinPressed);
  ClickOn(window.FindWindow(IDC_ALWAYS_ON_TOP));
  EXPECT_FALSE(window.HasFlag(wxSTAY_ON_TOP));
  EXPECT_EQ(Button(IDC_ALWAYS_ON_TOP)->Icon(), app::kIconPinLying);
}

TEST_F(MainWindowTest, TheClipboardButtonRunsTheCopiedAddress) {
  ServeGallery(2, 0);
  app::MainWindow& window = Open();
  window.SetControlText(IDC_DESTINATION_DIR, destination_.dir());

  // An empty clipboard: the field is emptied and nothing starts.
  ASSERT_TRUE(wxTheClipboard->Open());
  wxTheClipboard->SetData(new wxTextDataObject(""));
  wxTheClipboard->Close();
  Url()->ChangeValue("typed before");
  ClickOn(window.FindWindow(IDC_CLIPBOARD));
  EXPECT_EQ(window.GetControlText(IDC_URL), "");
  EXPECT_EQ(LogRows(), 0);
  EXPECT_TRUE(dialogs_.boxes.empty());

  // An address without a scheme: the rule adds it and the run starts.
  ASSERT_TRUE(wxTheClipboard->Open());
  wxTheClipboard->SetData(new wxTextDataObject(app::Wx(PageAddressWithoutScheme() + "\nmore")));
  wxTheClipboard->Close();
  ClickOn(window.FindWindow(IDC_CLIPBOARD));
  ASSERT_TRUE(SettleUntil([&] { return LogRows() == 3 && !window.engine().busy; }));
  EXPECT_EQ(LogCell(2, 3), "http://" + PageAddressWithoutScheme());
}

TEST_F(MainWindowTest, TheFolderBrowserSetsTheDestinationAndItsPrefix) {
  app::MainWindow& window = Open();
  SavePrefix(destination_.dir(), "TREE_");
  std::string folder = destination_.dir();
  folder.pop_back();
  choosers_.folder = folder;
  ClickOn(window.FindWindow(IDC_BROWSE_DESTINATION));
  EXPECT_EQ(choosers_.folderTitle, "Please select destination directory.");
  EXPECT_EQ(window.GetControlText(IDC_DESTINATION_DIR), destination_.dir());
  EXPECT_EQ(window.GetControlText(IDC_FILE_PREFIX), "TREE_");

  // Cancelled: nothing changes.
  choosers_.folder.clear();
  window.SetControlText(IDC_FILE_PREFIX, "KEEP_");
  ClickOn(window.FindWindow(IDC_BROWSE_DESTINATION));
  EXPECT_EQ(window.GetControlText(IDC_DESTINATION_DIR), destination_.dir());
  EXPECT_EQ(window.GetControlText(IDC_FILE_PREFIX), "KEEP_");
}

TEST_F(MainWindowTest, AltAndAButtonsLetterPressesIt) {
  app::MainWindow& window = Open();
  std::vector<std::string> opened;
  dialogs_.onDialog = [&](wxDialog* dialog) {
    opened.push_back(app::Utf8(dialog->GetTitle()));
    return wxID_CANCEL;
  };
  FocusTo(Url());
  Press('C', wxMOD_ALT);  // "&Config"
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0], "Harvelo Configuration");
  Press('A', wxMOD_ALT);  // "&About..."
  ASSERT_EQ(opened.size(), 2u);
  EXPECT_EQ(opened[1], "About Harvelo...");
  EXPECT_FALSE(window.Finished());
}

TEST_F(MainWindowTest, TheHelpPageIsBesideTheProgramInTheInterfaceLanguage) {
  EXPECT_EQ(app::MainWindow::HelpPagePath(), ProgramDirectory() + "Help/help_en.html");
  InterfaceLocale spanish(kLocaleSpanish);
  EXPECT_EQ(app::MainWindow::HelpPagePath(), ProgramDirectory() + "Help/help_esp.html");
}

}  // namespace
}  // namespace harvelo::testing
