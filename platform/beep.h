// The default beep at the end of a successful run.
#pragma once

namespace harvelo {

// Rings the terminal bell when standard error is a terminal; does nothing otherwise.
// The window front end rings its own bell instead.
void DefaultBeep();

}  // namespace harvelo
