// The capture's services on the desktop: Inspector beside the program, Firefox's
// session for Navigator's DDE services, xdg-open; the window-choice dialog comes from
// the window.
#pragma once
#include <functional>

#include "capture/browser_capture.h"

namespace harvelo {

class DesktopCaptureServices : public CaptureServices {
 public:
  using ChooseWindowFn = std::function<bool(const std::string& inspectorOut, CapturedPage&)>;
  explicit DesktopCaptureServices(ChooseWindowFn chooseWindow)
      : choose_window_(std::move(chooseWindow)) {}

  int RunInspector() override;
  std::unique_ptr<DdeTransport> OpenDdeTransport() override;
  bool ChooseWindow(const std::string& inspectorOut, CapturedPage& chosen) override {
    return choose_window_ && choose_window_(inspectorOut, chosen);
  }
  void OpenAddress(const std::string& address) override;

 private:
  ChooseWindowFn choose_window_;
};

}  // namespace harvelo
