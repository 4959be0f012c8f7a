#include <glib-unix.h>
#include <glib.h>

#include <csignal>

#include "app/end_signals.h"

namespace harvelo::app {
namespace {

gboolean OnEndSignal(gpointer data) {
  const auto& onSignal = *static_cast<std::function<void()>*>(data);
  if (onSignal) onSignal();
  return G_SOURCE_CONTINUE;
}

}  // namespace

EndSignals::EndSignals(std::function<void()> onSignal) : on_signal_(std::move(onSignal)) {
  sources_[0] = g_unix_signal_add(SIGTERM, OnEndSignal, &on_signal_);
  sources_[1] = g_unix_signal_add(SIGHUP, OnEndSignal, &on_signal_);
}

EndSignals::~EndSignals() {
  for (const unsigned source : sources_) {
    if (source != 0) g_source_remove(source);
  }
}

}  // namespace harvelo::app
