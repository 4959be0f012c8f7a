// Start-up: the interface language is settled first (the language dialog on the very
// first start), the program and temporary directories are fixed, then the main window
// runs modally; the program ends when it closes.
#pragma once
#include <string>

#include "app/main_window.h"

namespace harvelo::app {

// What the main window is opened with: the settings folder (SettingsFolder) and the
// desktop's dialogs. The browser capture adds its commands here.
MainWindowOptions StartupOptions();

// Runs the whole program inside an initialised toolkit; returns the exit status.
int RunHarvelo(const MainWindowOptions& options);

}  // namespace harvelo::app
