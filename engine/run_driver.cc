// Process_URL_List: one run, taking the queue's head entry at a time and deciding how
// to treat it (a resource named directly, a page's links or images, or the pages that
// a thumbnail gallery links to).
#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "engine/control_ids.h"
#include "engine/engine.h"
#include "engine/harvest_rule.h"
#include "engine/run_lookahead.h"
#include "engine/target_types.h"
#include "http/partial_files.h"
#include "platform/string_table.h"

namespace harvelo {
namespace {

constexpr const char* kTrace = "DEBUG->\"TRACE\":\n\n";

// The controls that a run locks.
constexpr int kLockedControls[] = {IDC_DESTINATION_DIR, IDC_BROWSE_DESTINATION, IDC_FILE_PREFIX,
                                   IDC_AUTO_INCREMENT, IDC_CONFIG};

}  // namespace

void Engine::Process_URL_List() {
  Trace(std::string(kTrace) + "Entering Process_URL_List().");
  busy = 1;
  window_.EnableControl(IDC_STOP, true);
  window_.EnableControl(IDC_PAUSE, true);
  for (const int id : kLockedControls) window_.EnableControl(id, false);
  window_.RedrawButton(IDC_START);
  window_.SetControlText(IDC_CURRENT_PAGE_LABEL, LoadResString(IDS_LABEL_CURRENT_PAGE));
  window_.RunStarted();

  Clear_Log();
  contentChecks.StartRun();
  renderer_.reset();
  rendererTried_ = false;
  reachedPages_.clear();
  stopRequested = 0;
  abandoning_ = false;
  paused = 0;
  window_.RedrawButton(IDC_PAUSE);

  // What a killed run left behind goes first; then the look-ahead of this run, if any.
  RemoveAbandonedPartials(destinationDir);
  PageCopy::RemoveAbandoned(destinationDir);
  lookAhead_ = RunLookAhead::Start(*this);

  int downloaded = 0;
  int pageResult = 1;
  std::string errorText;
  // The queue may grow while a page is processed (the pump runs Start), so its count is
  // read afresh each time.
  while (URL_List.Count() > 0 && !stopRequested) {
    LINK_List.Clear();
    IMG_List.Clear();
    PAGE_List.Clear();

    const std::string address = URL_List.FrontText();
    const int kind = URL_List.FrontKind();
    const std::string cookie = URL_List.FrontCookie() ? URL_List.FrontCookie() : "";
    const std::string referrer = URL_List.FrontReferrer() ? URL_List.FrontReferrer() : "";
    URL_List.PopFront();

    window_.SetControlText(IDC_CURRENT_PAGE, address);
    window_.SetControlText(IDC_PAGE_TITLE, "");
    if (kind == PageEntry) AddRecentAddress(address);

    if (IsDirectResource(address, settings_.targetTypes)) {
      IMG_List.PushFront(address.c_str(), ResourceEntry);
      const size_t slash = address.rfind('/');
      const std::string pageAddress = slash == std::string::npos ? "" : address.substr(0, slash);
      Trace(std::string(kTrace) +
            "The URL points directly to a resource, so I am going to call Download_Images() to "
            "download the page directly.");
      downloaded += Download_Images(pageAddress, IMG_List, 2, cookie);
    } else {
      // A page captured from an open browser is read from its tab; typed and batched
      // addresses (and the frames they hold) are rendered when asked for. Pages found
      // linked around thumbnails are fetched as they are.
      const bool fromTab = openTabPages_.erase(address) > 0 && kind == PageEntry &&
                           settings_.renderedPages >= kRenderBrowserPages && readOpenTab;
      std::unique_ptr<PageRenderer> tabReader;
      if (fromTab) {
        std::string ignored;
        tabReader = readOpenTab(ignored);
      }
      PageRenderer* renderer = tabReader.get();
      if (!fromTab && kind == PageEntry && settings_.renderedPages >= kRenderTypedPages) {
        renderer = Renderer();
      }
      if (lookAhead_ && !renderer) lookAhead_->EnterPage(address, referrer, cookie, kind);
      pageResult = Download_Source(address, referrer, cookie, errorText, renderer);
      if (pageResult) {
        const HarvestStep step = NextHarvestStep(static_cast<size_t>(LINK_List.Count()),
                                                 static_cast<size_t>(IMG_List.Count()),
                                                 static_cast<size_t>(PAGE_List.Count()), kind);
        int stored = 0;
        if (step.list == HarvestStep::List::kLinks) {
          Trace(std::string(kTrace) +
                "I found links to resources, so I am going to call Download_Images with "
                "LINK_List.");
          stored = Download_Images(address, LINK_List, kind, cookie);
        } else if (step.list == HarvestStep::List::kImages) {
          Trace(std::string(kTrace) +
                "I didn't found any links, but I found Embedded images, so I am going to call "
                "Download_Images() with IMG_List.");
          stored = Download_Images(address, IMG_List, kind, cookie);
          if (stored == 0) {
            Trace(std::string(kTrace) +
                  "Embedded images has failed. Last chance is with linked pages.");
          }
        }
        downloaded += stored;
        if (step.linkedPagesIfNothingStored && stored == 0) {
          Trace(std::string(kTrace) +
                "This is the LAST chance. I am going to try with linked pages around images.");
          while (PAGE_List.Count() > 0) {
            URL_List.PushFront(PAGE_List.FrontText(), LinkedPageEntry,
                               cookie.empty() ? nullptr : cookie.c_str(), address.c_str());
            PAGE_List.PopFront();
          }
        }
      }
      // A resource list deletes the page copy; a page that gave no list (refused, or
      // nothing to download) must not leave it behind in the user's folder either.
      // Once gone it is forgotten, so that a later list never deletes a file of that
      // name that the user made meanwhile.
      RemovePageCopy();
      pagePath.clear();
    }

    if (abandoning_) URL_List.Clear();
    if (stopRequested && URL_List.Count() > 0) {
      const MessageAnswer answer = window_.ShowMessage(
          LoadResString(IDS_CONTINUE_QUEUE), MessageIcon::kNone, MessageButtons::kYesNoDefaultNo);
      if (answer == MessageAnswer::kYes) stopRequested = 0;
    }
  }

  lookAhead_.reset();
  // The browser and its profile go with the run, whatever ended it.
  renderer_.reset();
  window_.EnableControl(IDC_STOP, false);
  window_.EnableControl(IDC_PAUSE, false);
  for (const int id : kLockedControls) window_.EnableControl(id, true);
  for (const int id : {IDC_TOTAL_PROGRESS, IDC_FILE_PROGRESS}) {
    window_.SetProgressPos(id, 0);
    window_.EnableControl(id, false);
  }
  window_.SetControlText(IDC_CURRENT_PAGE_LABEL, LoadResString(IDS_LABEL_LAST_PAGE));
  URL_List.Clear();
  openTabPages_.clear();

  if (pageResult == 1 && downloaded > 0) {
    runStatus = stopRequested ? -5 : -3;
    Show_Status(downloaded, stopRequested);
    window_.Beep();
  } else {
    runStatus = stopRequested ? -5 : -4;
    Show_Status(downloaded, stopRequested);
    if (!stopRequested) {
      const std::string text =
          pageResult == 0 ? errorText : std::string(LoadResString(IDS_NO_USEFUL_RESOURCES));
      window_.ShowMessage(text, MessageIcon::kStop, MessageButtons::kOk);
    }
  }

  window_.SetControlText(IDC_FILE_PREFIX, filePrefix);
  SaveAtEndOfRun();
  // The flags are cleared before the buttons are redrawn, so that a window drawing at
  // once shows the idle faces.
  paused = 0;
  busy = 0;
  window_.RedrawButton(IDC_START);
  window_.RedrawButton(IDC_PAUSE);
  window_.RunEnded(downloaded);
}

void Engine::SaveAtEndOfRun() {
  SavePrefix(destinationDir, window_.GetControlText(IDC_FILE_PREFIX));
  settings_.destinationDir = window_.GetControlText(IDC_DESTINATION_DIR);
  settings_.autoIncrement = std::atoi(window_.GetControlText(IDC_AUTO_INCREMENT).c_str());
  if (saveSettingsAtEnd) SaveSettings(settings_, settingsDir);
}

}  // namespace harvelo
