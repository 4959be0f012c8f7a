// Ctrl-C as the Stop button: the first interrupt is only noted (the console's message
// pump turns it into Stop); a second one ends the process at once, exit status 130,
// after removing the partial file of the transfer under way and the page copy. SIGTERM
// and SIGHUP (a shutdown, a closed terminal) end it the same way, exit status 128 plus
// the signal's number.
#pragma once

namespace harvelo::cli {

void InstallInterruptHandler();

// True once for each first interrupt that arrived since the last call.
bool TakeInterrupt();

// After the user chose to go on with the queue: the next Ctrl-C is a Stop again.
void RearmInterrupt();

}  // namespace harvelo::cli
