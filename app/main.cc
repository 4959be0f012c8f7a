// Harvelo: the windowed program. Without a display it says so and names the console
// front end instead of failing inside the toolkit.
#include <wx/app.h>
#include <wx/init.h>

#include <cstdio>
#include <cstdlib>

#include "app/compact_style.h"
#include "app/startup.h"

namespace {

bool HasDisplay() {
  const char* x11 = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return (x11 && *x11) || (wayland && *wayland);
}

}  // namespace

int main(int argc, char** argv) {
  if (!HasDisplay()) {
    std::fputs(
        "harvelo: no display to open the window on (neither DISPLAY nor WAYLAND_DISPLAY is "
        "set).\nWithout a display, use the console front end: harvelo-cli ADDRESS... "
        "(harvelo-cli --help tells the rest).\n",
        stderr);
    return 1;
  }
  wxApp::SetInstance(new wxApp);
  if (!wxEntryStart(argc, argv)) {
    std::fputs(
        "harvelo: the window toolkit could not start on this display; "
        "harvelo-cli works without one.\n",
        stderr);
    return 1;
  }
  int status = 1;
  if (wxTheApp->CallOnInit()) {
    wxTheApp->SetAppName("Harvelo");
    harvelo::app::ApplyCompactStyle();
    status = harvelo::app::RunHarvelo(harvelo::app::StartupOptions());
    wxTheApp->OnExit();
  }
  wxEntryCleanup();
  return status;
}
