// The engine's window for a console: final download-log rows become lines on standard
// output, the status line and the progress bars a live line on a terminal's standard
// error, message boxes texts on standard error, and Ctrl-C the Stop button. The
// addresses of the command line are typed and Start pressed the way a person would:
// the first when the program starts, the others during the run's first message pump,
// so that they queue behind it.
#pragma once
#include <cstdio>
#include <deque>
#include <map>
#include <string>

#include "cli/command_line.h"
#include "cli/progress_line.h"
#include "engine/engine.h"
#include "engine/engine_window.h"

namespace harvelo::cli {

struct ConsoleStreams {
  std::FILE* out = stdout;
  std::FILE* err = stderr;
  std::FILE* in = stdin;
  bool errIsTerminal = false;  // draw the live progress line on err
  bool inIsTerminal = false;   // the continue question may be asked on in
};

class ConsoleWindow : public EngineWindow {
 public:
  ConsoleWindow(const ConsoleStreams& streams, ContinueAnswer answer, bool quiet);

  // The engine that Start, From Batch file and Stop go to.
  void Attach(Engine& engine) { engine_ = &engine; }

  // Inputs still to be given to the engine, in order.
  void QueueAddress(const std::string& address) { pending_.push_back({false, address}); }
  void QueueBatchFile(const std::string& path) { pending_.push_back({true, path}); }
  bool HasPending() const { return !pending_.empty(); }
  // Types the next address and presses Start, or chooses the batch file and presses
  // From Batch file. When the engine is idle this runs a whole run.
  void FeedNext();
  // After a command returned: takes the live line away and, on a terminal, leaves the
  // run's final status line in its place.
  void CommandDone();

  bool Interrupted() const { return interrupted_; }
  int RunsStarted() const { return runsStarted_; }
  // Resources kept so far, as the engine reported them (page copies never count).
  int StoredCount() const { return stored_; }

  std::string GetControlText(int id) override;
  void SetControlText(int id, const std::string& text) override;
  void EnableControl(int, bool) override {}
  void FocusControl(int) override {}
  void RedrawButton(int) override {}
  void SetTitle(const std::string&) override {}
  void SetProgressRange(int id, int low, int high) override;
  void SetProgressPos(int id, int pos) override;
  void InsertLogRow(const LogRow& row) override;
  void DeleteLogRow(int) override {}
  void ClearLog() override {}
  void RecentAddressesChanged(const std::vector<std::string>&) override {}
  bool ChooseBatchFile(std::string& path) override;
  void Beep() override {}
  void RunStarted() override;
  int PumpMessages(int n) override;
  MessageAnswer ShowMessage(const std::string& text, MessageIcon icon,
                            MessageButtons buttons) override;

 private:
  struct PendingInput {
    bool batch;
    std::string text;
  };

  bool LiveLineWanted() const { return streams_.errIsTerminal && !quiet_; }
  void DrawLiveLine();
  void ClearLiveLine();
  bool AskContinue(const std::string& question);

  ConsoleStreams streams_;
  ContinueAnswer answer_;
  bool quiet_;
  Engine* engine_ = nullptr;
  std::deque<PendingInput> pending_;
  std::string batchFile_;
  std::map<int, std::string> controls_;
  ProgressView view_;
  std::string shownLine_;  // what the live line shows now; empty: not shown
  bool interrupted_ = false;
  int runsStarted_ = 0;
  int runsReported_ = 0;
  int stored_ = 0;
};

}  // namespace harvelo::cli
