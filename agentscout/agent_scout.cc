#include "agentscout/agent_scout.h"

#include <cstdio>

#include "platform/text_file.h"
#include "settings/quoted_field.h"

namespace harvelo::agentscout {

namespace {

constexpr char kMarker[] = "UserAgent: <";
constexpr size_t kMarkerLength = sizeof kMarker - 1;
constexpr int kPolls = 20;
constexpr int kPollIntervalMs = 200;

}  // namespace

std::string ProbePageText() {
  return "<html>\n"
         "<script language=JavaScript>\n"
         "document.title= \"UserAgent: <\" + navigator.userAgent + \">\"\n"
         "</script>\n"
         "</html>\n";
}

bool AgentFromTitle(const std::string& title, std::string& agent) {
  if (title.compare(0, kMarkerLength, kMarker) != 0) return false;
  // The whole title is examined: today's agents are longer than a fixed title buffer,
  // and a cut agent would be sent to every server as the program's identity.
  const size_t end = title.find('>', kMarkerLength);
  agent = title.substr(kMarkerLength,
                       end == std::string::npos ? std::string::npos : end - kMarkerLength);
  return true;
}

bool FindAgentWindow(TopLevelWindows& windows, std::string& agent) {
  for (const WindowId window : windows.List()) {
    if (!AgentFromTitle(windows.Title(window), agent)) continue;
    windows.Close(window);
    return true;
  }
  return false;
}

bool WriteAgentFile(const std::string& path, const std::string& agent) {
  TextWriter out;
  if (!out.Open(path, TextWriter::Mode::kReplace)) return false;
  out.Write(QuotedField(agent) + "\n");
  return out.Close();
}

std::string ScoutAgent(const std::string& tempDir, const std::string& resultPath,
                       const ScoutServices& services) {
  const std::string page = tempDir + "agentscout.html";
  std::string agent;
  TextWriter probe;
  if (!probe.Open(page, TextWriter::Mode::kReplace)) {
    WriteAgentFile(resultPath, agent);
    return agent;
  }
  probe.Write(ProbePageText());
  probe.Close();
  // Without a display there are no window titles to read, and a browser opened anyway
  // would be left open: the empty field is written at once.
  if (services.windows != nullptr) {
    services.open(page);
    for (int poll = 0; poll < kPolls && agent.empty(); ++poll) {
      services.sleep(kPollIntervalMs);
      FindAgentWindow(*services.windows, agent);
    }
  }
  WriteAgentFile(resultPath, agent);
  std::remove(page.c_str());
  return agent;
}

}  // namespace harvelo::agentscout
