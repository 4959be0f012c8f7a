// Pump_Messages: dispatches up to n pending window messages without waiting. The
// window front end installs the real pump; until then (console, tests) it is whatever
// function was installed, or nothing at all.
#pragma once
#include <functional>

namespace harvelo {

using MessagePumpFn = std::function<int(int)>;

// Installs the process-wide pump (an empty function removes it) and returns the old one.
MessagePumpFn SetMessagePump(MessagePumpFn pump);

// Calls the installed pump with n; returns its result, or 0 when none is installed.
int Pump_Messages(int n);

}  // namespace harvelo
