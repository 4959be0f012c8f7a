#include "capture/desktop_capture_services.h"

#include "capture/firefox_dde_transport.h"
#include "capture/firefox_profile.h"
#include "platform/directories.h"
#include "platform/shell_open.h"

namespace harvelo {

int DesktopCaptureServices::RunInspector() {
  return RunInspectorProgram(ProgramDirectory(), TempDirectory());
}

std::unique_ptr<DdeTransport> DesktopCaptureServices::OpenDdeTransport() {
  return std::make_unique<FirefoxDdeTransport>(FirefoxDirectory());
}

void DesktopCaptureServices::OpenAddress(const std::string& address) {
  ShellOpen(address);
}

}  // namespace harvelo
