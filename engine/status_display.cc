// What the user sees of a run: the window title, the status line and the download log.
#include <ctime>

#include "engine/control_ids.h"
#include "engine/engine.h"
#include "platform/format.h"
#include "platform/string_table.h"

namespace harvelo {

void Engine::Show_Status(int index, int total) {
  const char* suffix = total != 0 ? LoadResString(IDS_SUFFIX_STOPPED) : "";
  const int queued = URL_List.Count();
  std::string title;
  std::string line;
  switch (runStatus) {
    case -5:
      title = LoadResString(IDS_TITLE_STOPPED);
      line = FormatText(LoadResString(IDS_STATUS_DOWNLOADED), index, suffix);
      break;
    case -4:
      title = LoadResString(IDS_TITLE_ERROR);
      line = FormatText(LoadResString(IDS_STATUS_NONE_DOWNLOADED), suffix);
      break;
    case -3:
      title = LoadResString(IDS_TITLE_DONE);
      line = FormatText(LoadResString(IDS_STATUS_DOWNLOADED), index, suffix);
      break;
    case -2:
      if (queued == 0) {
        title = LoadResString(IDS_TITLE_PREPARING);
        line = LoadResString(IDS_STATUS_PREPARING);
      } else {
        title = FormatText(LoadResString(IDS_TITLE_PREPARING_QUEUED), queued);
        line = FormatText(LoadResString(IDS_STATUS_PREPARING_QUEUED), queued);
      }
      break;
    default:
      if (runStatus >= 0) {
        // -1 keeps what the last resource showed (Pause redraws the texts with it).
        if (index == -1) index = rememberedIndex_;
        rememberedIndex_ = index;
        if (total == -1) total = rememberedTotal_;
        rememberedTotal_ = total;
        const std::string mark = paused ? LoadResString(IDS_PAUSED_MARK) : "";
        if (queued == 0) {
          title = FormatText(LoadResString(IDS_TITLE_PERCENT), mark.c_str(), runStatus);
          line = FormatText(LoadResString(IDS_STATUS_DOWNLOADING), mark.c_str(), index, total,
                            runStatus);
        } else {
          title =
              FormatText(LoadResString(IDS_TITLE_PERCENT_QUEUED), mark.c_str(), runStatus, queued);
          line = FormatText(LoadResString(IDS_STATUS_DOWNLOADING_QUEUED), mark.c_str(), index,
                            total, runStatus, queued);
        }
      }
      break;
  }
  window_.SetTitle(title);
  window_.SetControlText(IDC_STATUS_LINE, line);
}

void Engine::Add_Log_Row(RowOutcome outcome, const std::string& status, const std::string& address,
                         const std::string& filePath, bool replace) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  LogRow row;
  row.time = StrPrintf("%02d:%02d", local.tm_hour, local.tm_min);
  row.status = status;
  row.filePath = filePath;
  row.address = address;
  row.outcome = outcome;
  if (replace) window_.DeleteLogRow(0);
  window_.InsertLogRow(row);
}

void Engine::Clear_Log() {
  window_.ClearLog();
}

}  // namespace harvelo
