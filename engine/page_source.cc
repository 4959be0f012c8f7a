// Download_Source: fetches one page into "page.html" in the destination directory (or
// stores there the document a browser rendered) and scans it for the run driver's lists.
#include <fcntl.h>
#include <unistd.h>

#include <string_view>
#include <unordered_set>

#include "engine/address_rules.h"
#include "engine/control_ids.h"
#include "engine/engine.h"
#include "engine/file_naming.h"
#include "engine/html_file.h"
#include "engine/page_scan.h"
#include "engine/responsive_images.h"
#include "http/cookie_store.h"
#include "http/error_texts.h"
#include "http/http_fetcher.h"
#include "platform/format.h"
#include "platform/string_table.h"

namespace harvelo {
namespace {

constexpr std::string_view kFontTypes = ",WOFF2,WOFF,TTF,OTF,EOT";

}  // namespace

int Engine::Download_Source(const std::string& address, const std::string& referrer,
                            const std::string& cookie, std::string& errorText,
                            PageRenderer* renderer) {
  Trace("DEBUG->\"TRACE\":\n\nEntering Download_Source().");
  runStatus = -2;
  Show_Status(0, 0);
  Set_Base_And_Site(address, baseAddress, siteAddress);
  // "page.html", unless a file of the user's (or of another run) holds that name: the
  // copy is never stored over one, and takes the next collision name instead.
  const std::string stem = destinationDir + "page";
  pagePath = FirstUnusedName(stem, "html");
  Add_Log_Row(RowOutcome::kInProgress, LoadResString(IDS_LOG_IN_PROGRESS), address, pagePath,
              false);

  RenderedPage rendered;
  bool fromBrowser = false;
  bool notRendered = false;
  if (renderer) {
    std::string renderError;
    fromBrowser = renderer->Render(address, cookie, rendered, renderError,
                                   [this] { return Page_Progress(this, 1, 0, 0) == 1; }) == 1;
    notRendered = !fromBrowser;
    if (notRendered) Trace("DEBUG->\"TRACE\":\n\nThe page was not rendered: " + renderError);
  }
  if (renderer && stopRequested) {
    Add_Log_Row(RowOutcome::kStopped, LoadResString(IDS_LOG_STOPPED), address, pagePath, true);
    errorText.clear();
    return 0;
  }
  if (fromBrowser) {
    if (!StoreRenderedPage(rendered.html)) {
      Add_Log_Row(RowOutcome::kFailed, LoadResString(IDS_LOG_ERROR), address, pagePath, true);
      errorText = "Internal Error";
      return 0;
    }
    // The browser's cookies (HttpOnly ones too) go with the page's pictures, as the
    // cookies a fetched page sets do.
    StoreCookieFileLines(rendered.cookies);
    Add_Log_Row(RowOutcome::kPageStored, LoadResString(IDS_LOG_OK), address, pagePath, true);
  } else if (!FetchSource(address, referrer, cookie, errorText, notRendered)) {
    return 0;
  }
  if (settings_.debug.pause) {
    window_.ShowMessage("DEBUG->\"PAUSE\":\n\nSource page is now in destination directory.",
                        MessageIcon::kNone, MessageButtons::kOk);
  }
  pageTitle.clear();

  HTMLFile html(settings_.modernPages ? kModernTagBufferSize : 512);
  if (!html.Open(pagePath)) {
    errorText = "Internal Error";
    return 0;
  }
  PageScanTarget target;
  target.targetTypes = &settings_.targetTypes;
  target.pageAddress = &address;
  target.pageTitle = &pageTitle;
  target.links = &LINK_List;
  target.images = &IMG_List;
  target.pages = &PAGE_List;
  target.queue = &URL_List;
  reachedPages_.insert(address);
  target.reachedPages = &reachedPages_;
  // Frame pages carry the entry's own cookie and referrer, not the site fallback.
  target.cookie = cookie.empty() ? nullptr : cookie.c_str();
  target.referrer = referrer.empty() ? nullptr : referrer.c_str();
  target.modernPages = settings_.modernPages != 0;
  if (settings_.debug.trace) {
    target.onBase = [this](const std::string& base) {
      Set_Base_And_Site(base, baseAddress, siteAddress);
      Trace(
          StrPrintf("DEBUG->\"TRACE\":\n\n<BASE> Tag found. Redirected to Base \"%s\" | Site "
                    "\"%s\"",
                    baseAddress.c_str(), siteAddress.c_str()));
    };
  }
  ScanPage(html, target);
  if (fromBrowser) AddRenderedPictures(rendered.pictures);

  window_.SetControlText(IDC_PAGE_TITLE, pageTitle);
  html.Close();
  errorText.clear();
  return 1;
}

int Engine::FetchSource(const std::string& address, const std::string& referrer,
                        const std::string& cookie, std::string& errorText, bool notRendered) {
  const std::string stem = destinationDir + "page";
  HTTPFetcher fetcher(settings_.userAgent);
  fetcher.m_bDumpHeaders = settings_.debug.header;
  fetcher.m_bOfferHttp2 = settings_.http2Streams > 0 ? 1 : 0;
  fetcher.m_bDecodePages = settings_.compressedPages;
  fetcher.m_cancelWhileWaiting = [this] { return stopRequested != 0; };
  fetcher.m_nextFreeName = [&stem](const std::string&) { return FirstUnusedName(stem, "html"); };
  fetcher.m_lookAhead = AheadPool();
  window_.SetProgressPos(IDC_FILE_PROGRESS, 0);
  const std::string& sentReferrer = referrer.empty() ? siteAddress : referrer;
  if (!fetcher.GetPage(address, pagePath, sentReferrer, cookie, Page_Progress, this)) {
    Add_Log_Row(RowOutcome::kFailed, LoadResString(IDS_LOG_ERROR), address, pagePath, true);
    errorText = PageFetchErrorText(fetcher);
    return 0;
  }
  pagePath = fetcher.m_storedPath;
  pageCopy_.Stored(pagePath);
  const int status = fetcher.m_nStatusCode;
  if (status < 200 || status > 299) {
    Add_Log_Row(RowOutcome::kFailed, FormatText(LoadResString(IDS_LOG_HTTP_ERROR), status), address,
                pagePath, true);
    errorText = ServerRefusedText(status);
    return 0;
  }
  Add_Log_Row(RowOutcome::kPageStored,
              LoadResString(notRendered ? IDS_LOG_NOT_RENDERED : IDS_LOG_OK), address, pagePath,
              true);
  return 1;
}

PageRenderer* Engine::Renderer() {
  if (!rendererTried_ && startRenderer) {
    rendererTried_ = true;
    std::string error;
    renderer_ = startRenderer(error);
    if (!renderer_) {
      window_.ShowMessage(FormatText(LoadResString(IDS_RENDER_NO_BROWSER), error.c_str()),
                          MessageIcon::kInformation, MessageButtons::kOk);
    }
  }
  return renderer_.get();
}

int Engine::StoreRenderedPage(const std::string& html) {
  // Made new, like a fetched copy: never written over a file or through a link.
  const int fd =
      ::open(pagePath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) return 0;
  pageCopy_.Stored(pagePath);
  size_t done = 0;
  while (done < html.size()) {
    const ssize_t n = ::write(fd, html.data() + done, html.size() - done);
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  return ::close(fd) == 0 && done == html.size() ? 1 : 0;
}

void Engine::AddRenderedPictures(const std::vector<std::string>& pictures) {
  std::unordered_set<std::string> listed;
  const auto collect = [&listed](const char* text, int, const char*, const char*) {
    listed.insert(text);
    return true;
  };
  IMG_List.Walk(collect);
  LINK_List.Walk(collect);
  for (const std::string& picture : pictures) {
    if (!listed.insert(picture).second) continue;
    // Style sheets ask for fonts too (the same initiator as their backgrounds): never
    // pictures, they would only fill the log with refusals.
    if (IsImageTarget(picture, kFontTypes)) continue;
    if (IsImageTarget(picture, settings_.targetTypes)) {
      IMG_List.PushBack(picture.c_str(), ResourceEntry);
    } else if (settings_.modernPages) {
      // An address that names no type: its response's type decides, as for the scan.
      IMG_List.PushBack(picture.c_str(), TypedPictureEntry);
    }
  }
}

}  // namespace harvelo
