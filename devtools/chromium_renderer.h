// The page renderer on a headless Chromium, over its DevTools protocol: each page in a
// new tab of the run's one browser, loaded until the network is quiet, scrolled to its
// end until it stops growing (within the run's bounds), then read.
#pragma once
#include <chrono>
#include <memory>
#include <string>

#include "engine/page_renderer.h"

namespace harvelo::devtools {

struct RenderBounds {
  int screens = 20;                       // scrolls to the end of the page
  std::chrono::milliseconds time{15000};  // from the start of the load to the reading
};

// Starts the browser (ChromiumProgram()); null with `error` (the program's path, or
// what failed) when it can't.
std::unique_ptr<PageRenderer> StartChromiumRenderer(const RenderBounds& bounds, std::string& error);

}  // namespace harvelo::devtools
