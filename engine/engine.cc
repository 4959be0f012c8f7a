#include "engine/engine.h"

#include <strings.h>

#include <algorithm>

#include "engine/run_lookahead.h"

namespace harvelo {

Engine::Engine(EngineWindow& window, Settings& settings) : window_(window), settings_(settings) {
  // The fetch loop pumps through the process-wide Pump_Messages, so it must reach this
  // window too.
  previousPump_ = SetMessagePump([this](int n) { return window_.PumpMessages(n); });
}

Engine::~Engine() {
  SetMessagePump(std::move(previousPump_));
}

LookAheadPool* Engine::AheadPool() {
  return lookAhead_ ? lookAhead_->pool() : nullptr;
}

void Engine::Trace(const std::string& text) {
  if (settings_.debug.trace) window_.ShowMessage(text, MessageIcon::kNone, MessageButtons::kOk);
}

void Engine::AddRecentAddress(const std::string& address) {
  auto& recent = settings_.recentAddresses;
  const auto same = std::find_if(recent.begin(), recent.end(), [&](const std::string& s) {
    return strcasecmp(s.c_str(), address.c_str()) == 0;
  });
  if (same != recent.end()) recent.erase(same);
  recent.insert(recent.begin(), address);
  window_.RecentAddressesChanged(recent);
}

}  // namespace harvelo
