#include "cli/console_run.h"

#include <filesystem>

#include "cli/console_language.h"
#include "cli/interrupt.h"
#include "cli/run_settings.h"
#include "devtools/chromium_renderer.h"
#include "engine/control_ids.h"
#include "engine/engine.h"
#include "engine/field_rules.h"
#include "http/tls_trust.h"
#include "settings/settings_file_names.h"

namespace harvelo::cli {

int RunConsole(const CommandLine& line, const ConsoleStreams& streams) {
  SettleConsoleLanguage(line.language);

  Settings loaded;
  LoadSettings(loaded);
  Settings settings = RunSettings(loaded, line);
  if (line.caCertificateFile) SetTrustedCertificateFile(*line.caCertificateFile);
  std::string destination = DestinationRule(line.destinationDir.value_or(loaded.destinationDir));
  if (line.destinationDir && !destination.empty()) {
    // Like wget -P; what can't be made is left to the engine's check to report.
    std::error_code ec;
    std::filesystem::create_directories(destination, ec);
    // The logs name every stored file by its full path, as a folder picked in the
    // window would give it.
    const auto absolute = std::filesystem::absolute(destination, ec);
    if (!ec) destination = DestinationRule(absolute.lexically_normal().string());
  }
  const std::string prefix = line.prefix ? PrefixRule(*line.prefix) : LoadPrefix(destination);
  const FileSnapshot prefixFile(destination + kPrefixFileName);

  ConsoleWindow window(streams, line.continueAnswer, line.quiet);
  window.SetControlText(IDC_DESTINATION_DIR, destination);
  window.SetControlText(IDC_FILE_PREFIX, prefix);
  window.SetControlText(IDC_AUTO_INCREMENT, std::to_string(settings.autoIncrement));

  Engine engine(window, settings);
  // The run's settings hold the overrides; only the console knows which to keep.
  engine.saveSettingsAtEnd = false;
  engine.fileCounter = 1;
  engine.startRenderer = [&settings](std::string& error) {
    return devtools::StartChromiumRenderer(
        {settings.renderScreens, std::chrono::seconds(settings.renderSeconds)}, error);
  };
  window.Attach(engine);
  for (const std::string& address : line.addresses) window.QueueAddress(address);
  if (line.batchFile) window.QueueBatchFile(*line.batchFile);

  InstallInterruptHandler();
  // Checked once here: a destination that can't be used would fail every input alike.
  if (engine.Check_Destination()) {
    // Usually the first input runs the whole queue; what a short run left unfed starts
    // a run of its own, unless the user stopped.
    while (window.HasPending() && !window.Interrupted()) {
      window.FeedNext();
      window.CommandDone();
    }
  }

  if (window.RunsStarted() > 0) {
    if (line.saveSettings) SaveSettings(SettingsToSave(loaded, settings, line));
    // A --prefix is the run's own; HV_pref.cfg keeps it only when the run advanced it.
    if (line.prefix && window.GetControlText(IDC_FILE_PREFIX) == prefix) prefixFile.Restore();
  }
  return window.StoredCount() > 0 ? 0 : 1;
}

}  // namespace harvelo::cli
