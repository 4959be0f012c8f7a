// The browser capture on the main window: "Get from Browser" (with the window-choice
// dialog below its button), "Browser", and the look-up of every typed address.
#pragma once
#include "app/main_window.h"
#include "capture/open_pages_files.h"

namespace harvelo::app {

// The two buttons' commands, for MainWindowOptions::browser.
BrowserCommands BrowserCaptureCommands();

// Makes Start look up each typed address among the open browser pages.
void InstallTypedAddressLookUp(MainWindow& window);

// Pages built by script (Settings::renderedPages): captured pages are read from their
// browser tab, typed ones rendered in a headless Chromium.
void InstallPageRenderers(MainWindow& window);

// The window-choice dialog over `inspectorOut`, opened just below the "Get from
// Browser" button: true with the chosen record on OK.
bool ChooseWindowBelowButton(MainWindow& window, const std::string& inspectorOut,
                             CapturedPage& chosen);

}  // namespace harvelo::app
