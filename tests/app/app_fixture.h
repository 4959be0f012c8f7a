// Helpers for driving the real window in the tests: the event pump with a clock,
// message boxes answered through the toolkit's modal-dialog hook, a settings directory of
// the test's own, and screenshots.
#pragma once
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <wx/dialog.h>
#include <wx/modalhook.h>
#include <wx/msgdlg.h>
#include <wx/uiaction.h>
#include <wx/utils.h>

#include <chrono>
#include <deque>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/event_pump.h"
#include "app/wx_text.h"
#include "platform/string_table.h"
#include "platform/thread_locale.h"
#include "support/temp_dir.h"

namespace harvelo::testing {

// Runs the event loop for about `ms` milliseconds.
inline void Settle(int ms = 60) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  do {
    app::PumpPendingEvents(1000);
    wxMilliSleep(2);
  } while (std::chrono::steady_clock::now() < end);
}

// Runs the event loop until `done` or the time-out; returns done().
inline bool SettleUntil(const std::function<bool()>& done, int timeoutMs = 5000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    app::PumpPendingEvents(1000);
    wxMilliSleep(2);
  }
  return true;
}

struct SeenBox {
  std::string text;
  long style;
};

// Answers every modal dialog instead of showing it. Message boxes are recorded and
// answered from `answers` (when empty: OK, or No for a question); other dialogs go to
// `onDialog`, which plays the user and returns the dialog's result.
class ScriptedDialogs : public wxModalDialogHook {
 public:
  ScriptedDialogs() { Register(); }
  ~ScriptedDialogs() override { Unregister(); }

  std::vector<SeenBox> boxes;
  std::deque<int> answers;
  std::function<int(wxDialog*)> onDialog;

 protected:
  int Enter(wxDialog* dialog) override {
    if (auto* box = dynamic_cast<wxMessageDialog*>(dialog)) {
      boxes.push_back({app::Utf8(box->GetMessage()), box->GetMessageDialogStyle()});
      if (!answers.empty()) {
        const int answer = answers.front();
        answers.pop_front();
        return answer;
      }
      return (box->GetMessageDialogStyle() & wxYES_NO) ? wxID_NO : wxID_OK;
    }
    if (onDialog) return onDialog(dialog);
    return wxID_CANCEL;
  }
};

// Draws `widget` with the toolkit into an image of its own and saves it as a PNG file
// (what the X server's screen holds may still be an earlier window's pixels).
inline bool DrawToPng(GtkWidget* widget, const std::string& path) {
  const int width = gtk_widget_get_allocated_width(widget);
  const int height = gtk_widget_get_allocated_height(widget);
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
  cairo_t* cr = cairo_create(surface);
  gtk_widget_draw(widget, cr);
  cairo_destroy(cr);
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  const bool saved = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(surface);
  return saved;
}

// What the X server shows of `widget`'s window, saved as a PNG file: for a window in the
// middle of a run, which the toolkit cannot be asked to draw again from inside its pump.
inline bool GrabToPng(GtkWidget* widget, const std::string& path) {
  GdkWindow* window = gtk_widget_get_window(widget);
  GdkPixbuf* pixels = gdk_pixbuf_get_from_window(window, 0, 0, gdk_window_get_width(window),
                                                 gdk_window_get_height(window));
  if (!pixels) return false;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  const bool saved = gdk_pixbuf_save(pixels, path.c_str(), "png", nullptr, nullptr);
  g_object_unref(pixels);
  return saved;
}

// Shows `window` on the screen, lets it paint, and saves it.
inline bool SaveScreenshot(wxWindow* window, const std::string& path) {
  window->Show();
  window->Raise();
  SettleUntil([window] { return window->IsShownOnScreen(); });
  window->Refresh();
  Settle(200);
  return DrawToPng(static_cast<GtkWidget*>(window->GetHandle()), path);
}

// Switches the string tables and dialog templates for one test.
class InterfaceLocale {
 public:
  explicit InterfaceLocale(int lcid) : previous_(GetThreadLocale()) { SetThreadLocale(lcid); }
  ~InterfaceLocale() { SetThreadLocale(previous_); }

 private:
  int previous_;
};

}  // namespace harvelo::testing
