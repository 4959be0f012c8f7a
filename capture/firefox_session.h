// The page Firefox shows in front: the current history entry of the selected tab of the
// selected window of its session store.
#pragma once
#include <string>

namespace harvelo {

struct SessionPage {
  std::string url;
  std::string title;
};

// From the session store's JSON; false when it names no such page.
bool CurrentPageOfSession(const std::string& json, SessionPage& page);

// Reads profileDir + "sessionstore-backups/recovery.jsonlz4"; false when it is missing
// or not a session store.
bool ReadCurrentPage(const std::string& profileDir, SessionPage& page);

}  // namespace harvelo
