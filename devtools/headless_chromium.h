// A Chromium without a window, started for one run: a throw-away profile in the
// process's private temporary folder, remote debugging on a port the browser chooses.
// The browser runs in a process group of its own, which is ended with the object (and
// on the console's end signals, by EndHeadlessChromiumNow), and its profile removed.
#pragma once
#include <sys/types.h>

#include <chrono>
#include <string>

namespace harvelo::devtools {

// /usr/bin/chromium, or the program named by HARVELO_CHROMIUM (for the tests).
std::string ChromiumProgram();

class HeadlessChromium {
 public:
  HeadlessChromium() = default;
  ~HeadlessChromium() { Stop(); }
  HeadlessChromium(const HeadlessChromium&) = delete;
  HeadlessChromium& operator=(const HeadlessChromium&) = delete;

  // Starts `program` and waits (at most `wait`) until it names its DevTools port. False
  // with `error` when the program is missing, could not start or never answered.
  bool Start(const std::string& program, std::string& error,
             std::chrono::milliseconds wait = std::chrono::seconds(30));
  // Ends the browser's whole process group and removes the profile.
  void Stop();

  int port() const { return port_; }
  // The path of the browser's own DevTools WebSocket ("/devtools/browser/ID").
  const std::string& browserPath() const { return browser_path_; }

 private:
  pid_t pid_ = 0;
  int port_ = 0;
  std::string browser_path_;
  std::string profile_;
};

// For a console front end ending at once on a signal: kills the headless browser of the
// run, if one is running, and removes its profile. Async-signal-safe.
void EndHeadlessChromiumNow();

}  // namespace harvelo::devtools
