// An EngineWindow for tests: records every call in order, keeps the controls' texts,
// the download log's rows and the message boxes shown, and answers message boxes and
// questions from a script. PumpMessages runs a test's hook, which is where a test plays
// the user pressing Stop, Pause or Start in the middle of a run.
#pragma once
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "engine/engine_window.h"

namespace harvelo::testing {

struct ShownMessage {
  std::string text;
  MessageIcon icon;
  MessageButtons buttons;
};

class RecordingWindow : public EngineWindow {
 public:
  // Every call but PumpMessages, in order, as one line each:
  //   "title <text>", "text <id> <text>", "enable <id> <0|1>", "focus <id>",
  //   "redraw <id>", "range <id> <low> <high>", "pos <id> <pos>",
  //   "row <status> | <file> | <address>", "delete <index>", "clear log",
  //   "recent <a> <b> ...", "choose batch file", "beep", "message <text>".
  std::vector<std::string> calls;
  std::map<int, std::string> controls;  // texts by control id
  std::map<int, bool> enabled;          // last enable state by control id
  std::vector<LogRow> rows;             // the download log as shown, row 0 on top
  std::vector<ShownMessage> messages;
  std::vector<std::string> recent;  // the last list given to RecentAddressesChanged
  std::string title;
  int beeps = 0;
  int pumps = 0;

  // Answers of message boxes, consumed in order; when empty an OK box answers OK and a
  // question answers No (its default button).
  std::deque<MessageAnswer> answers;
  // What the Open File dialog of "From Batch file" returns: empty = cancelled.
  std::string batchFile;
  // Runs inside PumpMessages with n (the number of messages the engine allows).
  std::function<void(int n)> onPump;
  // Runs when a message box is shown, after it was recorded.
  std::function<void(const ShownMessage&)> onMessage;

  std::string GetControlText(int id) override { return controls[id]; }
  void SetControlText(int id, const std::string& text) override {
    controls[id] = text;
    calls.push_back("text " + std::to_string(id) + " " + text);
  }
  void EnableControl(int id, bool enable) override {
    enabled[id] = enable;
    calls.push_back("enable " + std::to_string(id) + (enable ? " 1" : " 0"));
  }
  void FocusControl(int id) override { calls.push_back("focus " + std::to_string(id)); }
  void RedrawButton(int id) override { calls.push_back("redraw " + std::to_string(id)); }
  void SetTitle(const std::string& text) override {
    title = text;
    calls.push_back("title " + text);
  }
  void SetProgressRange(int id, int low, int high) override {
    calls.push_back("range " + std::to_string(id) + " " + std::to_string(low) + " " +
                    std::to_string(high));
  }
  void SetProgressPos(int id, int pos) override {
    calls.push_back("pos " + std::to_string(id) + " " + std::to_string(pos));
  }
  void InsertLogRow(const LogRow& row) override {
    rows.insert(rows.begin(), row);
    calls.push_back("row " + row.status + " | " + row.filePath + " | " + row.address);
  }
  void DeleteLogRow(int index) override {
    if (index >= 0 && index < static_cast<int>(rows.size())) rows.erase(rows.begin() + index);
    calls.push_back("delete " + std::to_string(index));
  }
  void ClearLog() override {
    rows.clear();
    calls.push_back("clear log");
  }
  void RecentAddressesChanged(const std::vector<std::string>& addresses) override {
    recent = addresses;
    std::string line = "recent";
    for (const auto& a : addresses) line += " " + a;
    calls.push_back(line);
  }
  bool ChooseBatchFile(std::string& path) override {
    calls.push_back("choose batch file");
    path = batchFile;
    return !batchFile.empty();
  }
  void Beep() override {
    ++beeps;
    calls.push_back("beep");
  }
  int PumpMessages(int n) override {
    ++pumps;
    if (onPump) onPump(n);
    return 0;
  }
  MessageAnswer ShowMessage(const std::string& text, MessageIcon icon,
                            MessageButtons buttons) override {
    messages.push_back({text, icon, buttons});
    calls.push_back("message " + text);
    if (onMessage) onMessage(messages.back());
    if (!answers.empty()) {
      const MessageAnswer answer = answers.front();
      answers.pop_front();
      return answer;
    }
    return buttons == MessageButtons::kOk ? MessageAnswer::kOk : MessageAnswer::kNo;
  }

  // The calls that begin with `prefix`, in order.
  std::vector<std::string> CallsStartingWith(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const auto& c : calls) {
      if (c.compare(0, prefix.size(), prefix) == 0) out.push_back(c);
    }
    return out;
  }
  // The status column of the download log, top row first.
  std::vector<std::string> RowStatuses() const {
    std::vector<std::string> out;
    for (const auto& r : rows) out.push_back(r.status);
    return out;
  }
};

}  // namespace harvelo::testing
