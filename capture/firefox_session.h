// The page Firefox shows in front: the current history entry of the selected tab of the
// selected window of its session store.
#pragma once
#include <atomic>
#include <string>

namespace harvelo {

struct SessionPage {
  std::string url;
  std::string title;
};

// From the session store's JSON; false when it names no such page or nests deeper than
// any session store does.
bool CurrentPageOfSession(const std::string& json, SessionPage& page);

// Reads profileDir + "sessionstore-backups/recovery.jsonlz4"; false when it is missing,
// not a regular file, larger than a session store may be (64 MB expanded), nested too
// deep, or not a session store, and as soon as it can after `stop` is set.
bool ReadCurrentPage(const std::string& profileDir, SessionPage& page,
                     const std::atomic<bool>* stop = nullptr);

}  // namespace harvelo
