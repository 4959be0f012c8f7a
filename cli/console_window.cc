#include "cli/console_window.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include "cli/interrupt.h"
#include "engine/control_ids.h"
#include "platform/string_table.h"
#include "platform/thread_locale.h"

namespace harvelo::cli {
namespace {

constexpr const char* kClearToEnd = "\x1b[K";

int TerminalWidth(std::FILE* stream) {
  winsize size{};
  if (::ioctl(::fileno(stream), TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  return 80;
}

bool IsYes(const std::string& reply) {
  for (const char c : reply) {
    if (c == ' ' || c == '\t') continue;
    // "y" in English, "s" (sí) in Spanish.
    return c == 'y' || c == 'Y' || c == 's' || c == 'S';
  }
  return false;
}

}  // namespace

ConsoleWindow::ConsoleWindow(const ConsoleStreams& streams, ContinueAnswer answer, bool quiet)
    : streams_(streams), answer_(answer), quiet_(quiet) {}

void ConsoleWindow::FeedNext() {
  if (pending_.empty() || engine_ == nullptr) return;
  const PendingInput input = pending_.front();
  pending_.pop_front();
  if (input.batch) {
    batchFile_ = input.text;
    engine_->OnBatchFile();
  } else {
    controls_[IDC_URL] = input.text;
    engine_->OnStart();
  }
}

void ConsoleWindow::CommandDone() {
  ClearLiveLine();
  if (runsReported_ == runsStarted_) return;
  runsReported_ = runsStarted_;
  const std::string& status = controls_[IDC_STATUS_LINE];
  if (LiveLineWanted() && !status.empty()) {
    std::fprintf(streams_.err, "%s\n", status.c_str());
    std::fflush(streams_.err);
  }
}

std::string ConsoleWindow::GetControlText(int id) {
  return controls_[id];
}

void ConsoleWindow::SetControlText(int id, const std::string& text) {
  controls_[id] = text;
  if (id == IDC_STATUS_LINE) {
    view_.status = text;
    DrawLiveLine();
  }
}

void ConsoleWindow::RunStarted() {
  ++runsStarted_;
}

void ConsoleWindow::SetProgressRange(int id, int /*low*/, int high) {
  if (id == IDC_TOTAL_PROGRESS) view_.totalHigh = high;
}

void ConsoleWindow::SetProgressPos(int id, int pos) {
  if (id == IDC_TOTAL_PROGRESS) {
    view_.totalPos = pos;
  } else if (id == IDC_FILE_PROGRESS) {
    view_.filePos = pos;
  } else {
    return;
  }
  DrawLiveLine();
}

void ConsoleWindow::InsertLogRow(const LogRow& row) {
  // "In Progress" is only the live line's business; the row that replaces it is final.
  if (row.outcome == RowOutcome::kInProgress) return;
  if (row.outcome == RowOutcome::kStored) ++stored_;
  if (quiet_) return;
  ClearLiveLine();
  std::fprintf(streams_.out, "%s\t%s\t%s\t%s\n", row.time.c_str(), row.status.c_str(),
               row.filePath.c_str(), row.address.c_str());
  // A script reading the other end sees each row as it happens.
  std::fflush(streams_.out);
  DrawLiveLine();
}

bool ConsoleWindow::ChooseBatchFile(std::string& path) {
  path = batchFile_;
  return !path.empty();
}

int ConsoleWindow::PumpMessages(int n) {
  if (TakeInterrupt()) {
    interrupted_ = true;
    if (engine_ != nullptr) engine_->OnStop();
  }
  // Up to n inputs, like n pending messages, and only while a run is busy: then Start
  // merely queues them.
  int fed = 0;
  while (fed < n && engine_ != nullptr && engine_->busy && !pending_.empty()) {
    FeedNext();
    ++fed;
  }
  return fed;
}

MessageAnswer ConsoleWindow::ShowMessage(const std::string& text, MessageIcon /*icon*/,
                                         MessageButtons buttons) {
  const bool lineWasShown = !shownLine_.empty();
  ClearLiveLine();
  MessageAnswer answer = MessageAnswer::kOk;
  if (buttons == MessageButtons::kOk) {
    std::fprintf(streams_.err, "%s\n", text.c_str());
    std::fflush(streams_.err);
  } else if (AskContinue(text)) {
    // Going on: the next Ctrl-C is a Stop again, not the end of the program.
    RearmInterrupt();
    interrupted_ = false;
    answer = MessageAnswer::kYes;
  } else {
    answer = MessageAnswer::kNo;
  }
  if (lineWasShown) DrawLiveLine();
  return answer;
}

bool ConsoleWindow::AskContinue(const std::string& question) {
  const char* choices = IsSpanishLocale(GetThreadLocale()) ? "[s/N]" : "[y/N]";
  std::fprintf(streams_.err, "%s %s ", question.c_str(), choices);
  bool yes = false;
  if (answer_ == ContinueAnswer::kAsk && streams_.inIsTerminal) {
    std::fflush(streams_.err);
    char reply[64] = "";
    yes = std::fgets(reply, sizeof reply, streams_.in) != nullptr && IsYes(reply);
  } else {
    yes = answer_ == ContinueAnswer::kYes;
    // The answer given for the user, so that the log reads like the dialogue.
    std::fprintf(streams_.err, "%s\n", yes ? "y" : "n");
  }
  std::fflush(streams_.err);
  return yes;
}

void ConsoleWindow::DrawLiveLine() {
  if (!LiveLineWanted() || view_.status.empty()) return;
  // One column less than the terminal, so the cursor never wraps to a new line.
  const std::string line = RenderProgressLine(view_, TerminalWidth(streams_.err) - 1);
  if (line == shownLine_) return;
  std::fprintf(streams_.err, "\r%s%s", line.c_str(), kClearToEnd);
  std::fflush(streams_.err);
  shownLine_ = line;
}

void ConsoleWindow::ClearLiveLine() {
  if (shownLine_.empty()) return;
  std::fprintf(streams_.err, "\r%s", kClearToEnd);
  std::fflush(streams_.err);
  shownLine_.clear();
}

}  // namespace harvelo::cli
