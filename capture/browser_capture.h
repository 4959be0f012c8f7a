// Taking a page from a browser: Get from Browser (Inspector for Chromium-family
// browsers, the DDE client for Navigator's descendants), the look-up of a typed
// address's cookie and referrer, and the Browser button's opening of the current page.
// Everything the window does is behind CaptureServices, so the logic runs without one.
#pragma once
#include <memory>
#include <string>

#include "capture/dde_transport.h"
#include "capture/open_pages_files.h"
#include "platform/message_box.h"

namespace harvelo {

class Engine;

class CaptureServices {
 public:
  virtual ~CaptureServices() = default;
  // Starts Inspector and waits for it: 1 when it ran and ended with status 0.
  virtual int RunInspector() = 0;
  // The conversation with the Navigator-family browser; none: the capture fails.
  virtual std::unique_ptr<DdeTransport> OpenDdeTransport() = 0;
  // The window-choice dialog over `inspectorOut`, below the Get from Browser button:
  // true with the chosen record on OK, false on Cancel.
  virtual bool ChooseWindow(const std::string& inspectorOut, CapturedPage& chosen) = 0;
  // The desktop's "open" of an address.
  virtual void OpenAddress(const std::string& address) = 0;
};

class BrowserCapture {
 public:
  // `tempDir` ends in '/': where Inspector leaves its files.
  BrowserCapture(CaptureServices& services, MessageBoxes& messages, std::string tempDir);

  // The page of the configured browser (kind 0: Inspector; 1 "NETSCAPE"; other
  // "NETSCAPE6"), after the messages its failures call for. An empty address: nothing.
  CapturedPage Capture(int browserKind);
  // Capture, then the engine's hand-over (destination check, queue, run when idle).
  void GetFromBrowser(Engine& engine, int browserKind);
  // The cookie and referrer of an open page showing exactly `address`; untouched when
  // none does. Shows nothing.
  bool LookUpPageContext(const std::string& address, std::string& cookie, std::string& referrer);
  // Opens the Current Page field's text in the default browser; message 87 when empty.
  void OpenCurrentPage(const std::string& currentPage);

  // The DDE service of a browser kind: 1 "NETSCAPE", any other "NETSCAPE6".
  static const char* DdeService(int browserKind);

 private:
  void RemoveInspectorFiles() const;
  std::string CountPath() const { return temp_dir_ + "inspector.n"; }
  std::string ListPath() const { return temp_dir_ + "inspector.out"; }

  CaptureServices& services_;
  MessageBoxes& messages_;
  std::string temp_dir_;
};

// Makes the engine's Start look up every typed address through `capture`.
void InstallPageContextLookUp(Engine& engine, BrowserCapture& capture);

// Starts programDir + "Inspector" with the arguments "Inspector", "MSIE", telling it to
// write into `tempDir` (this process's private folder), and waits: 1 when it could start
// and ended with status 0.
int RunInspectorProgram(const std::string& programDir, const std::string& tempDir);

}  // namespace harvelo
