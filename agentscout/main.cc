// agentscout: run once with "UserAgent" on its command line from Harvelo's working
// directory, it learns the default browser's user agent and writes HV_agentscout.cfg.
#include "agentscout/agent_scout.h"
#include "platform/command_line_keyword.h"
#include "platform/directories.h"
#include "platform/shell_open.h"
#include "platform/sleep.h"

int main(int argc, char** argv) {
  using namespace harvelo;
  if (!CommandLineHolds(argc, argv, "UserAgent")) return 0;
  auto windows = agentscout::OpenX11Windows();
  agentscout::ScoutServices services;
  services.open = [](const std::string& page) { ShellOpen(page); };
  services.sleep = [](int ms) { SleepMs(ms); };
  services.windows = windows.get();
  agentscout::ScoutAgent(TempDirectory(), "HV_agentscout.cfg", services);
  return 0;
}
