// The desktop's top-level windows, as agentscout needs them: list, read a title, ask one
// to close.
#pragma once
#include <memory>
#include <string>
#include <vector>

namespace harvelo::agentscout {

using WindowId = unsigned long;

class TopLevelWindows {
 public:
  virtual ~TopLevelWindows() = default;
  virtual std::vector<WindowId> List() = 0;
  // The whole title (_NET_WM_NAME, else WM_NAME); "" when the window has none.
  virtual std::string Title(WindowId window) = 0;
  // Asks the window to close (WM_DELETE_WINDOW) without waiting for it.
  virtual void Close(WindowId window) = 0;
};

// The X11 windows of $DISPLAY; none when no X display can be opened.
std::unique_ptr<TopLevelWindows> OpenX11Windows();

}  // namespace harvelo::agentscout
