// The commands of the main window that feed the queue and steer a run.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

#include "engine/batch_file.h"
#include "engine/control_ids.h"
#include "engine/engine.h"
#include "platform/format.h"
#include "platform/string_table.h"

namespace harvelo {
namespace {

const char* OrNull(const std::string& text) {
  return text.empty() ? nullptr : text.c_str();
}

bool IsSafePrefix(const std::string& prefix) {
  for (const char ch : prefix) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c == '/' || c < 0x20 || c == 0x7F) return false;
  }
  return true;
}

// Creates the test file and removes it again. The file is made new, never through a
// link nor over a file of that name, which is left as it is: when the name is taken, a
// name of this process's own proves the same.
bool CanCreateFileIn(const std::string& testFile) {
  for (const std::string& name : {testFile, testFile + "." + std::to_string(::getpid())}) {
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd >= 0) {
      ::close(fd);
      ::unlink(name.c_str());
      return true;
    }
    if (errno != EEXIST) return false;
  }
  return false;
}

}  // namespace

// After an address is queued the status texts show the new queue count. While a
// resource list runs they keep its resource numbers (-1, -1): (0, 0) would read
// "Downloading resource 0 of 0" until the next resource starts.
void Engine::ShowQueuedStatus() {
  if (busy && runStatus >= 0) {
    Show_Status(-1, -1);
  } else {
    Show_Status(0, 0);
  }
}

int Engine::Check_Destination() {
  filePrefix = window_.GetControlText(IDC_FILE_PREFIX);
  if (filePrefix.empty()) {
    window_.ShowMessage(LoadResString(IDS_ENTER_PREFIX), MessageIcon::kStop, MessageButtons::kOk);
    window_.FocusControl(IDC_FILE_PREFIX);
    return 0;
  }
  destinationDir = window_.GetControlText(IDC_DESTINATION_DIR);
  // A prefix that names another directory ("../x_") would write the files and the log
  // outside the destination: it is a path that can't be written.
  if (IsSafePrefix(filePrefix) && CanCreateFileIn(destinationDir + filePrefix + "0.$")) return 1;
  window_.ShowMessage(
      FormatText(LoadResString(IDS_CANNOT_WRITE_PATH), destinationDir.c_str(), filePrefix.c_str()),
      MessageIcon::kStop, MessageButtons::kOk);
  window_.FocusControl(IDC_DESTINATION_DIR);
  return 0;
}

void Engine::OnStart() {
  if (!busy && !Check_Destination()) return;
  const std::string address = window_.GetControlText(IDC_URL);
  if (address.empty()) {
    window_.ShowMessage(LoadResString(IDS_ENTER_URL), MessageIcon::kStop, MessageButtons::kOk);
    window_.FocusControl(IDC_URL);
    return;
  }
  std::string cookie;
  std::string referrer;
  const bool found = lookUpPageContext && lookUpPageContext(address, cookie, referrer);
  // Open in the browser: read from its tab as a captured page is.
  if (found) openTabPages_.insert(address);
  // A found page passes its values as they are, empty or not; none found: both null.
  URL_List.PushBack(address.c_str(), PageEntry, found ? cookie.c_str() : nullptr,
                    found ? referrer.c_str() : nullptr);
  window_.SetControlText(IDC_URL, "");
  ShowQueuedStatus();
  if (!busy) Process_URL_List();
}

void Engine::OnBatchFile() {
  if (!busy && !Check_Destination()) return;
  std::string path;
  if (!window_.ChooseBatchFile(path)) return;
  std::vector<std::string> lines;
  if (!ReadBatchFile(path, lines)) {
    window_.ShowMessage(LoadResString(IDS_CANNOT_OPEN_BATCH), MessageIcon::kStop,
                        MessageButtons::kOk);
    return;
  }
  for (const std::string& line : lines) URL_List.PushBack(line.c_str(), PageEntry);
  if (lines.empty()) {
    window_.ShowMessage(LoadResString(IDS_BATCH_EMPTY), MessageIcon::kStop, MessageButtons::kOk);
    return;
  }
  ShowQueuedStatus();
  if (!busy) Process_URL_List();
}

void Engine::OnStop() {
  stopRequested = 1;
}

void Engine::AbandonRun() {
  if (!busy) return;
  stopRequested = 1;
  abandoning_ = true;
  URL_List.Clear();
}

void Engine::OnPause() {
  paused = !paused;
  window_.RedrawButton(IDC_PAUSE);
  Show_Status(-1, -1);
}

void Engine::QueueCapturedPage(const std::string& address, const std::string& cookie,
                               const std::string& referrer, bool fromOpenTab) {
  if (address.empty()) return;
  if (!busy && !Check_Destination()) return;
  if (fromOpenTab) openTabPages_.insert(address);
  URL_List.PushBack(address.c_str(), PageEntry, OrNull(cookie), OrNull(referrer));
  ShowQueuedStatus();
  if (!busy) Process_URL_List();
}

}  // namespace harvelo
