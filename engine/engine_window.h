// The one interface through which the engine reaches its window. The wxWidgets main
// window, the console front end and the tests' recording window implement it.
#pragma once
#include <string>
#include <vector>

#include "platform/message_box.h"

namespace harvelo {

// What a log row says happened, in the engine's own terms: a front end decides from
// this, never from the translated status text.
enum class RowOutcome {
  kInProgress,
  kPageStored,  // a page's copy, stored to be scanned and removed afterwards
  kStored,      // a resource kept in the destination
  kFailed,      // the fetch failed ("ERROR") or the server refused ("ERR 404")
  kTooSmall,
  kDuplicate,
  kNotPicture,  // refused by the type its response announced
  kStopped,
};

struct LogRow {
  std::string time;      // "%02d:%02d", local hour and minute
  std::string status;    // "In Progress", "Ok", "ERROR", "ERR 404", "Too Small", "Stopped"
  std::string filePath;  // full local path of the stored file (the page copy for a page)
  std::string address;
  RowOutcome outcome = RowOutcome::kInProgress;
};

class EngineWindow : public MessageBoxes {
 public:
  // Control texts by id (engine/control_ids.h): edit fields, labels, the URL combo
  // box's edit text, the "+1" box as "0"/"1" (any other non-zero number counts as ticked).
  virtual std::string GetControlText(int id) = 0;
  virtual void SetControlText(int id, const std::string& text) = 0;
  virtual void EnableControl(int id, bool enable) = 0;
  virtual void FocusControl(int id) = 0;
  // Start ("&To queue" while Engine::busy) and Pause (its face shows Engine::paused):
  // the window redraws the button from the engine's flags, now or when it next paints.
  virtual void RedrawButton(int id) = 0;
  virtual void SetTitle(const std::string& title) = 0;

  // Progress bars 1005 (total) and 1021 (file).
  virtual void SetProgressRange(int id, int low, int high) = 0;
  virtual void SetProgressPos(int id, int pos) = 0;

  // The download log (list 1011): row 0 is the top row.
  virtual void InsertLogRow(const LogRow& row) = 0;  // at position 0
  virtual void DeleteLogRow(int index) = 0;
  virtual void ClearLog() = 0;

  // The address drop-down list changed (newest first); Settings::recentAddresses
  // already holds the same list.
  virtual void RecentAddressesChanged(const std::vector<std::string>& addresses) = 0;

  // The Open File dialog of "From Batch file" (filter: string IDS_BATCH_FILTER; the
  // file must exist): false when cancelled.
  virtual bool ChooseBatchFile(std::string& path) = 0;

  virtual void Beep() = 0;

  // A run began, and a run ended with `stored` resources kept (busy is 0 again).
  virtual void RunStarted() {}
  virtual void RunEnded(int /*stored*/) {}

  // Dispatches up to n pending window messages without waiting. Engine commands
  // (OnStop, OnPause, OnStart, ...) may be called from inside it.
  virtual int PumpMessages(int n) = 0;
};

}  // namespace harvelo
