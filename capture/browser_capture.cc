#include "capture/browser_capture.h"

#include <cstdio>

#include "capture/dde_browser_client.h"
#include "engine/engine.h"
#include "platform/directories.h"
#include "platform/process.h"
#include "platform/string_table.h"

namespace harvelo {

BrowserCapture::BrowserCapture(CaptureServices& services, MessageBoxes& messages,
                               std::string tempDir)
    : services_(services), messages_(messages), temp_dir_(std::move(tempDir)) {}

const char* BrowserCapture::DdeService(int browserKind) {
  return browserKind == 1 ? "NETSCAPE" : "NETSCAPE6";
}

void BrowserCapture::RemoveInspectorFiles() const {
  std::remove(CountPath().c_str());
  std::remove(ListPath().c_str());
}

CapturedPage BrowserCapture::Capture(int browserKind) {
  CapturedPage page;
  if (browserKind != 0) {
    auto transport = services_.OpenDdeTransport();
    std::string title;
    bool ok = false;
    if (transport) {
      CDdeBrowserClient client(*transport, DdeService(browserKind));
      ok = client.GetWindowInfo(page.address, title, 0xFFFFFFFF);
    }
    if (!ok) {
      page.address.clear();
      messages_.ShowMessage(LoadResString(IDS_NO_NETSCAPE), MessageIcon::kError,
                            MessageButtons::kOk);
    }
    return page;
  }
  if (!services_.RunInspector()) {
    messages_.ShowMessage(LoadResString(IDS_NO_INSPECTOR), MessageIcon::kError,
                          MessageButtons::kOk);
    return page;
  }
  const int count = ReadInspectorCount(CountPath());
  if (count <= 0) {
    messages_.ShowMessage(LoadResString(IDS_NO_IE_WINDOWS), MessageIcon::kError,
                          MessageButtons::kOk);
  } else if (count == 1) {
    if (!ReadFirstRecord(ListPath(), page)) page = {};
  } else if (!services_.ChooseWindow(ListPath(), page)) {
    page = {};
  }
  RemoveInspectorFiles();
  return page;
}

void BrowserCapture::GetFromBrowser(Engine& engine, int browserKind) {
  const CapturedPage page = Capture(browserKind);
  if (page.address.empty()) return;
  // Inspector's pages are open in a Chromium-family browser, whose tab can be read.
  engine.QueueCapturedPage(page.address, page.cookie, page.referrer, browserKind == 0);
}

bool BrowserCapture::LookUpPageContext(const std::string& address, std::string& cookie,
                                       std::string& referrer) {
  if (!services_.RunInspector()) return false;
  CapturedPage page;
  const bool found = FindRecordByAddress(ListPath(), address, page);
  RemoveInspectorFiles();
  if (found) {
    cookie = page.cookie;
    referrer = page.referrer;
  }
  return found;
}

void BrowserCapture::OpenCurrentPage(const std::string& currentPage) {
  if (currentPage.empty()) {
    messages_.ShowMessage(LoadResString(IDS_NO_CURRENT_PAGE), MessageIcon::kInformation,
                          MessageButtons::kOk);
    return;
  }
  services_.OpenAddress(currentPage);
}

void InstallPageContextLookUp(Engine& engine, BrowserCapture& capture) {
  engine.lookUpPageContext = [&capture](const std::string& address, std::string& cookie,
                                        std::string& referrer) {
    return capture.LookUpPageContext(address, cookie, referrer);
  };
}

int RunInspectorProgram(const std::string& programDir, const std::string& tempDir) {
  if (tempDir.empty()) return 0;  // no private folder: nowhere safe to write the list
  int status = -1;
  return SpawnAndWait(programDir + "Inspector", {"Inspector", "MSIE"}, &status,
                      {std::string(kTempDirectoryVariable) + "=" + tempDir}) == 1 &&
                 status == 0
             ? 1
             : 0;
}

}  // namespace harvelo
