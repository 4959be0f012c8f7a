// Harvelo: the windowed program. Without a display it says so and names the console
// front end instead of failing inside the toolkit.
#include <wx/app.h>
#include <wx/init.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/compact_style.h"
#include "app/startup.h"
#include "platform/version.h"

namespace {

bool HasDisplay() {
  const char* x11 = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return (x11 && *x11) || (wayland && *wayland);
}

}  // namespace

int main(int argc, char** argv) {
  // Answered before the toolkit starts, so that it works without a display.
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("harvelo %s\n", harvelo::kProgramVersion);
    return 0;
  }
  if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
    std::fputs(
        "usage: harvelo [--version | --help]\n"
        "Opens Harvelo's window. Its settings live in ${XDG_CONFIG_HOME:-~/.config}/harvelo/\n"
        "when it starts in the home folder, which holds none of them (as from the desktop\n"
        "menu); otherwise in the working directory. harvelo-cli is the console front end.\n",
        stdout);
    return 0;
  }
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
