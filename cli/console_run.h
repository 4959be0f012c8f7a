// One invocation of harvelo-cli after its command line was understood: settles the
// language and the settings, feeds the addresses to the engine and saves what the run
// changed.
#pragma once
#include "cli/command_line.h"
#include "cli/console_window.h"

namespace harvelo::cli {

// The exit status: 0 when at least one resource was stored, 1 when none was.
int RunConsole(const CommandLine& line, const ConsoleStreams& streams);

}  // namespace harvelo::cli
