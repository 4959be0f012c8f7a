// Download_Images: downloads every address of one resource list into the destination
// directory, names the files, logs each outcome and may advance the file prefix.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "engine/control_ids.h"
#include "engine/engine.h"
#include "engine/file_naming.h"
#include "engine/harvest_rule.h"
#include "engine/picture_types.h"
#include "engine/prefix_increment.h"
#include "engine/run_lookahead.h"
#include "engine/web_address_log.h"
#include "http/http_fetcher.h"
#include "platform/format.h"
#include "platform/message_pump.h"
#include "platform/string_table.h"

namespace harvelo {

int Engine::Download_Images(const std::string& pageAddress, CNameList& list, int mode,
                            const std::string& cookie) {
  Trace("DEBUG->\"TRACE\":\n\nEntering Download_Images().");
  const int total = list.Count();
  window_.EnableControl(IDC_TOTAL_PROGRESS, true);
  // The total bar counts in 16 bits.
  window_.SetProgressRange(IDC_TOTAL_PROGRESS, 0, static_cast<std::int16_t>(total));
  window_.SetProgressPos(IDC_TOTAL_PROGRESS, 0);
  window_.EnableControl(IDC_FILE_PROGRESS, true);
  window_.SetProgressRange(IDC_FILE_PROGRESS, 0, 99);

  WebAddressLog log;
  if (settings_.generateWebAddressLog) {
    log.Open(WebAddressLogPath(destinationDir, filePrefix), pageAddress, pageTitle);
  }

  HTTPFetcher fetcher(settings_.userAgent);
  fetcher.m_bDumpHeaders = settings_.debug.header;
  fetcher.m_bOfferHttp2 = settings_.http2Streams > 0 ? 1 : 0;
  fetcher.m_cancelWhileWaiting = [this] { return stopRequested != 0; };
  // The folder may be shared with another run choosing the same names: a name taken
  // while the body arrived goes to the next collision name, never replaced.
  std::string stem;
  std::string extension;
  fetcher.m_nextFreeName = [&stem, &extension](const std::string&) {
    return FirstUnusedName(stem, extension);
  };
  // As when the name was chosen: an empty file there counts as free.
  fetcher.m_bEmptyNameIsFree = 1;
  // Only a body that may be stored is checked: a refused request keeps its "ERR" row.
  fetcher.m_onBody = [this, &fetcher](const char* data, size_t size) {
    if (fetcher.m_nStatusCode >= 200 && fetcher.m_nStatusCode <= 299) {
      contentChecks.Feed(data, size);
    }
  };

  // A picture whose address names no file type takes the name of the type its
  // response announces, chosen then as any other name is; a type that is not a target
  // type is refused before its body.
  bool notPicture = false;
  int number = 0;
  const auto nameByType = [&](int status, std::string_view contentType) {
    const std::optional<std::string> typed =
        TypedPictureExtension(status, contentType, settings_.targetTypes);
    notPicture = !typed;
    if (!typed) return std::optional<std::string>();
    extension = *typed;
    return std::optional<std::string>(
        extension.empty() ? stem
                          : ChooseResourceFileName(destinationDir, filePrefix, number, extension));
  };

  int stored = 0;
  int done = 0;
  fetcher.m_lookAhead = AheadPool();
  if (lookAhead_) {
    // A page's embedded images that store nothing send the run to its linked pages.
    const bool lastChance =
        &list == &IMG_List && NextHarvestStep(static_cast<size_t>(LINK_List.Count()),
                                              static_cast<size_t>(IMG_List.Count()),
                                              static_cast<size_t>(PAGE_List.Count()), mode)
                                  .linkedPagesIfNothingStored;
    lookAhead_->EnterList(pageAddress, list, cookie, lastChance);
  }
  while (list.Count() > 0 && !stopRequested) {
    runStatus = total == 0 ? 0 : done * 100 / total;
    ++done;
    Show_Status(done, total);

    const std::string address = list.FrontText();
    const bool typedByContent = list.FrontKind() == TypedPictureEntry;
    extension = typedByContent ? std::string() : ResourceExtension(address);
    stem = ResourceStem(destinationDir, filePrefix, fileCounter);
    number = fileCounter;
    notPicture = false;
    fetcher.m_nameByType = nullptr;
    if (typedByContent) fetcher.m_nameByType = nameByType;
    // A name the file system would refuse is never asked of it: whatever a page holds,
    // nothing is written outside the destination directory.
    const bool storable = IsStorableExtension(extension);
    // Until its response tells the type, a picture typed by it shows its name without
    // extension.
    std::string fileName =
        typedByContent ? stem
        : storable     ? ChooseResourceFileName(destinationDir, filePrefix, fileCounter, extension)
                       : ResourceFileName(destinationDir, filePrefix, fileCounter, extension);
    ++fileCounter;

    Add_Log_Row(RowOutcome::kInProgress, LoadResString(IDS_LOG_IN_PROGRESS), address, fileName,
                false);
    window_.SetProgressPos(IDC_FILE_PROGRESS, 0);
    tooSmall = 0;
    contentChecks.Begin(settings_);

    // An address the run stored already is that file again: not asked for twice.
    std::string copyOf;
    const std::string* storedFrom = contentChecks.StoredFrom(settings_, address);
    const bool known = storedFrom != nullptr;
    if (known) copyOf = *storedFrom;
    int fetched = 0;
    if (known) {
      // Logged below as a copy of that file, as if its bytes had come again.
    } else if (storable) {
      fetched =
          fetcher.GetResource(address, fileName, pageAddress, cookie, Resource_Progress, this);
    } else {
      // The same record as a file that can't be created.
      fetcher.m_dwErrorCode = 0;
      std::snprintf(fetcher.m_szErrorDesc, sizeof fetcher.m_szErrorDesc, "%s",
                    "Cannot create output file.");
      std::snprintf(fetcher.m_szErrorContext, sizeof fetcher.m_szErrorContext, "%s",
                    "fopen(,\"wb\")");
    }

    if (fetched) fileName = fetcher.m_storedPath;
    const int status = fetcher.m_nStatusCode;
    // A picture too small to be read as one by its header, or the same bytes as a file
    // already stored, is removed and gives its number back.
    const ContentChecks::Verdict verdict =
        known ? ContentChecks::Verdict::kDuplicate
        : fetched && status >= 200 && status <= 299
            ? contentChecks.Finish(fileName, destinationDir, copyOf)
            : ContentChecks::Verdict::kKeep;
    if (verdict != ContentChecks::Verdict::kKeep) {
      if (fetched) std::remove(fileName.c_str());
      --fileCounter;
    }
    if (verdict == ContentChecks::Verdict::kTooSmall) {
      Add_Log_Row(RowOutcome::kTooSmall, LoadResString(IDS_LOG_TOO_SMALL), address, fileName, true);
      log.TooSmall(address);
    } else if (verdict == ContentChecks::Verdict::kDuplicate) {
      Add_Log_Row(RowOutcome::kDuplicate, LoadResString(IDS_LOG_DUPLICATE), address, copyOf, true);
      log.Duplicate(address, copyOf);
      contentChecks.Remember(address, copyOf);
    } else if (fetched && status >= 200 && status <= 299) {
      Add_Log_Row(RowOutcome::kStored, LoadResString(IDS_LOG_OK), address, fileName, true);
      log.Stored(address, fileName);
      contentChecks.Remember(address, fileName);
      ++stored;
      if (lookAhead_) lookAhead_->Stored();
    } else if (fetched) {
      Add_Log_Row(RowOutcome::kFailed, FormatText(LoadResString(IDS_LOG_HTTP_ERROR), status),
                  address, fileName, true);
      log.HttpError(status, address, fileName);
      std::remove(fileName.c_str());
    } else if (notPicture) {
      Add_Log_Row(RowOutcome::kNotPicture, LoadResString(IDS_LOG_NOT_PICTURE), address, fileName,
                  true);
      log.NotPicture(address);
      --fileCounter;  // the next resource takes the number
    } else if (tooSmall) {
      Add_Log_Row(RowOutcome::kTooSmall, LoadResString(IDS_LOG_TOO_SMALL), address, fileName, true);
      log.TooSmall(address);
      --fileCounter;  // the next resource takes the number
    } else if (stopRequested) {
      Add_Log_Row(RowOutcome::kStopped, LoadResString(IDS_LOG_STOPPED), address, fileName, true);
      log.Stopped(address, fileName);
    } else {
      Add_Log_Row(RowOutcome::kFailed, LoadResString(IDS_LOG_ERROR), address, fileName, true);
      log.Failed(address, fileName);
      if (settings_.debug.trace) {
        fetcher.ShowWinInetError(
            StrPrintf("DEBUG->\"TRACE\":\n\nError downloading %s:", address.c_str()), window_);
      }
    }

    list.PopFront();
    window_.SetProgressPos(IDC_TOTAL_PROGRESS, done);
    Pump_Messages(200);
  }

  if (lookAhead_) lookAhead_->LeaveList();
  RemovePageCopy();
  log.Close();

  if (mode == 1 && std::atoi(window_.GetControlText(IDC_AUTO_INCREMENT).c_str()) != 0) {
    AdvancePrefix(filePrefix);
    fileCounter = 1;
  }
  return stored;
}

}  // namespace harvelo
