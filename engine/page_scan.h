// The scan of one stored page: sorts its references into the lists of the run driver.
#pragma once
#include <functional>
#include <string>
#include <unordered_set>

#include "engine/html_file.h"
#include "engine/name_list.h"

namespace harvelo {

struct PageScanTarget {
  const std::string* targetTypes;  // ",JPG,JPEG,..."
  const std::string* pageAddress;  // what references are resolved against, until a BASE
  std::string* pageTitle;          // words of the TITLE joined by single blanks (appended to)
  CNameList* links;                // LINK_List: hyperlinked resources
  CNameList* images;               // IMG_List: embedded images
  CNameList* pages;                // PAGE_List: pages linked around images
  CNameList* queue;                // URL_List: frame pages are appended
  const char* cookie;              // of the current queue entry; null or empty when it has none
  const char* referrer;            // of the current queue entry; null or empty when it has none
  // Called when the page's first BASE tag gave the address that the references after it
  // are resolved against (the TRACE message); may be empty.
  std::function<void(const std::string& base)> onBase;
  // Pages as they are written today (responsive and lazily loaded pictures, image
  // addresses with a query); off, the scan follows only its HREF= and SRC= rules.
  bool modernPages = false;
  // The pages the run has processed or queued as frames: a frame page already in it is
  // not queued again (frames that frame each other would never end); each one queued is
  // added. Null: every frame page is queued.
  std::unordered_set<std::string>* reachedPages = nullptr;
};

// The tag buffer of a scan with modernPages on: srcset lists and inline placeholders
// run far beyond 511 characters.
constexpr int kModernTagBufferSize = 64 * 1024;

// Reads tokens until the end of the file and fills the target's lists.
void ScanPage(HTMLFile& file, const PageScanTarget& target);

}  // namespace harvelo
