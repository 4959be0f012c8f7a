// The download engine: the run state of the main window and the steps of a run. It
// talks to its window only through EngineWindow.
#pragma once
#include <functional>
#include <string>

#include "engine/engine_window.h"
#include "engine/name_list.h"
#include "http/http_fetcher.h"
#include "settings/settings.h"

namespace harvelo {

class Engine {
 public:
  // The engine installs window.PumpMessages as the process's Pump_Messages for its life.
  Engine(EngineWindow& window, Settings& settings);
  ~Engine();
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  // Commands of the main window.
  void OnStart();      // Start (and Enter): queue the combo box's address, run when idle
  void OnBatchFile();  // From Batch file
  void OnStop();
  void OnPause();
  // Get from Browser's hand-over: queue a captured page (empty cookie/referrer: none).
  void QueueCapturedPage(const std::string& address, const std::string& cookie,
                         const std::string& referrer);

  int Check_Destination();
  void Process_URL_List();

  // Steps of a run (public for the tests).
  int Download_Source(const std::string& address, const std::string& referrer,
                      const std::string& cookie, std::string& errorText);
  int Download_Images(const std::string& pageAddress, CNameList& list, int mode,
                      const std::string& cookie);
  void Show_Status(int index, int total);
  void Add_Log_Row(const std::string& status, const std::string& address,
                   const std::string& filePath, bool replace);
  void Clear_Log();
  static int Page_Progress(void* context, int callIndex, int contentLength, int bytesSoFar);
  static int Resource_Progress(void* context, int callIndex, int contentLength,
                               int bytesSoFar);

  // Looks up the cookie and referrer of an open browser window showing exactly this
  // address (the browser capture installs it); none installed: not found.
  std::function<bool(const std::string& address, std::string& cookie, std::string& referrer)>
      lookUpPageContext;
  // Saves the preferences at the end of a run (SavePrefix, SaveSettings); the default
  // writes the files in the current directory. Tests and front ends may replace it.
  std::function<void()> saveAtEndOfRun;

  // Run state, owned for the life of the window.
  CNameList URL_List, LINK_List, IMG_List, PAGE_List;
  int busy = 0;
  int stopRequested = 0;
  int paused = 0;
  int runStatus = -1;
  int fileCounter = 1;
  int tooSmall = 0;
  std::string destinationDir;
  std::string filePrefix;
  std::string pageTitle;
  std::string pagePath;
  std::string baseAddress;
  std::string siteAddress;

  EngineWindow& window() { return window_; }
  Settings& settings() { return settings_; }

 private:
  EngineWindow& window_;
  Settings& settings_;
  int rememberedIndex_ = 0;
  int rememberedTotal_ = 0;
};

}  // namespace harvelo
