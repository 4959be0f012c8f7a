// Reading a page captured from a Chromium-family browser as its open tab shows it now
// (after its scripts ran, as far as the user scrolled it), over the browser's DevTools
// port. Nothing is loaded again; a tab that is gone, or a browser that does not answer
// within the time limit, fails the read and the engine fetches the page instead.
#pragma once
#include <chrono>
#include <memory>

#include "engine/page_renderer.h"

namespace harvelo::devtools {

inline constexpr std::chrono::milliseconds kOpenTabTimeLimit{2000};

// A reader for the browser listening on `port` (DevToolsPort() for the user's).
std::unique_ptr<PageRenderer> MakeOpenTabReader(
    int port, std::chrono::milliseconds timeLimit = kOpenTabTimeLimit);

}  // namespace harvelo::devtools
