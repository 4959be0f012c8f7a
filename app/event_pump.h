// Pump_Messages on the toolkit: dispatches up to n pending events without waiting.
#pragma once

namespace harvelo::app {

// Dispatches at most n pending toolkit events (never waiting for one), then the events
// queued inside the program itself; returns how many toolkit events ran.
int PumpPendingEvents(int n);

}  // namespace harvelo::app
