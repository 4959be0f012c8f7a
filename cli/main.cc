// harvelo-cli: the console front end on the download engine.
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/console_run.h"
#include "cli/help_text.h"
#include "platform/version.h"

int main(int argc, char** argv) {
  using namespace harvelo::cli;
  const std::vector<std::string> args(argv + 1, argv + argc);
  const ParseResult parsed = ParseCommandLine(args);
  if (!parsed.error.empty()) {
    std::fprintf(stderr, "harvelo-cli: %s\n%s", parsed.error.c_str(), UsageText().c_str());
    return 2;
  }
  if (parsed.line.version) {
    std::printf("harvelo-cli %s\n", harvelo::kProgramVersion);
    return 0;
  }
  if (parsed.line.help) {
    std::fputs(HelpText().c_str(), stdout);
    return 0;
  }
  ConsoleStreams streams;
  streams.errIsTerminal = ::isatty(STDERR_FILENO) != 0;
  streams.inIsTerminal = ::isatty(STDIN_FILENO) != 0;
  return RunConsole(parsed.line, streams);
}
