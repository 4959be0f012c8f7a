#include "platform/message_pump.h"

#include <utility>

namespace harvelo {
namespace {

MessagePumpFn& Installed() {
  static MessagePumpFn pump;
  return pump;
}

}  // namespace

MessagePumpFn SetMessagePump(MessagePumpFn pump) {
  return std::exchange(Installed(), std::move(pump));
}

int Pump_Messages(int n) {
  auto& pump = Installed();
  return pump ? pump(n) : 0;
}

}  // namespace harvelo
