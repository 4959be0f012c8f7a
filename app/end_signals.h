// SIGTERM and SIGHUP end the window as its close box does: they are delivered through
// the toolkit's main loop (or a run's pump), never in a signal handler, so that the run
// can stop and the settings be saved before the process ends.
#pragma once
#include <functional>

namespace harvelo::app {

class EndSignals {
 public:
  // Calls onSignal from the event loop for each SIGTERM or SIGHUP while this object lives.
  explicit EndSignals(std::function<void()> onSignal);
  ~EndSignals();
  EndSignals(const EndSignals&) = delete;
  EndSignals& operator=(const EndSignals&) = delete;

 private:
  std::function<void()> on_signal_;
  unsigned sources_[2] = {0, 0};
};

}  // namespace harvelo::app
