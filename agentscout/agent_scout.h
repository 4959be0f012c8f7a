// agentscout's one run: a probe page whose script puts the browser's user agent into
// its title, opened in the default browser; the top-level window titles are polled for
// it; the agent found (or the empty field) is written to the result file.
#pragma once
#include <functional>
#include <string>

#include "agentscout/top_level_windows.h"

namespace harvelo::agentscout {

// The probe page's five lines.
std::string ProbePageText();

// The agent in a window title "UserAgent: <agent>...": true with the text up to the
// first '>' after the marker (or to the end of the title) when the title begins with
// the marker; false otherwise.
bool AgentFromTitle(const std::string& title, std::string& agent);

// One pass over the windows (FindAgentWindow for each until one is recognised): sets
// `agent` and closes that window. True when a window was recognised.
bool FindAgentWindow(TopLevelWindows& windows, std::string& agent);

// Writes `path` anew in text mode with the agent as one quoted field; false when it
// cannot be created.
bool WriteAgentFile(const std::string& path, const std::string& agent);

struct ScoutServices {
  std::function<void(const std::string& page)> open;  // the desktop's "open"
  std::function<void(int ms)> sleep;
  TopLevelWindows* windows = nullptr;  // none: no display, nothing to look at
};

// The whole run: writes tempDir + "agentscout.html", opens it, polls 20 times every
// 200 ms, writes `resultPath`, deletes the page. Returns the agent found ("" if none).
std::string ScoutAgent(const std::string& tempDir, const std::string& resultPath,
                       const ScoutServices& services);

}  // namespace harvelo::agentscout
