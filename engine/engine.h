// The download engine: the run state of the main window and the steps of a run. It
// talks to its window only through EngineWindow, and never owns a widget.
//
// A front end creates one Engine for the life of its window, puts the destination
// directory, the file prefix and the "+1" box into its controls (IDC_DESTINATION_DIR,
// IDC_FILE_PREFIX, IDC_AUTO_INCREMENT) and calls the commands. A run executes inside
// the command that started it; the window's PumpMessages is where Stop, Pause and
// further Start commands re-enter the engine during a run (they only set flags or queue).
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <unordered_set>

#include "engine/content_checks.h"
#include "engine/engine_window.h"
#include "engine/name_list.h"
#include "engine/page_copy.h"
#include "engine/page_renderer.h"
#include "platform/message_pump.h"
#include "settings/settings.h"

namespace harvelo {

class RunLookAhead;
class LookAheadPool;

class Engine {
 public:
  // Installs window.PumpMessages as the process's Pump_Messages for the engine's life
  // (the one installed before comes back on destruction).
  Engine(EngineWindow& window, Settings& settings);
  ~Engine();
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  // Commands of the main window.
  void OnStart();      // Start (and Enter): queue the URL field's address, run when idle
  void OnBatchFile();  // From Batch file: window.ChooseBatchFile, one address a line
  void OnStop();       // sets stopRequested; the run notices it at its next check
  void OnPause();      // toggles paused
  // The window is closing: the run stops as Stop stops it, but drops its queue without
  // asking; the window's RunEnded tells when it has unwound.
  void AbandonRun();
  // Get from Browser's hand-over: queue a captured page (empty cookie/referrer: none),
  // checking the destination and running when idle.
  // `fromOpenTab`: the page is open in a browser that readOpenTab can reach.
  void QueueCapturedPage(const std::string& address, const std::string& cookie,
                         const std::string& referrer, bool fromOpenTab = false);

  // Reads the prefix and destination fields into filePrefix and destinationDir and
  // proves that a file can be created there; 1 or 0 (after telling the user why).
  int Check_Destination();
  // One run: processes URL_List until it is empty or a stop is not withdrawn.
  void Process_URL_List();

  // Steps of a run (public for the tests and the front ends' diagnostics).
  // `renderer`: the page is asked of it first, and fetched as today when it fails.
  int Download_Source(const std::string& address, const std::string& referrer,
                      const std::string& cookie, std::string& errorText,
                      PageRenderer* renderer = nullptr);
  int Download_Images(const std::string& pageAddress, CNameList& list, int mode,
                      const std::string& cookie);
  void Show_Status(int index, int total);
  void Add_Log_Row(RowOutcome outcome, const std::string& status, const std::string& address,
                   const std::string& filePath, bool replace);
  void Clear_Log();
  // Progress reports of the fetch loop; the context is the Engine. 1 goes on, 0 cancels.
  static int Page_Progress(void* context, int callIndex, int contentLength, int bytesSoFar);
  static int Resource_Progress(void* context, int callIndex, int contentLength, int bytesSoFar);

  // Looks up the cookie and referrer of an open browser window showing exactly this
  // address (the browser capture installs it); none installed: not found.
  std::function<bool(const std::string& address, std::string& cookie, std::string& referrer)>
      lookUpPageContext;

  // Starts the browser that renders pages (Settings::renderedPages); none installed:
  // every page is fetched as the server sends it. It is asked once per run, when the
  // run's first page to render comes, and what it made is ended with the run.
  PageRendererFactory startRenderer;
  // Reads a page captured from a browser as its tab shows it now (one reader per page;
  // it fails quickly when the tab is gone). None installed: captured pages are fetched.
  PageRendererFactory readOpenTab;

  // Where the end of a run writes HV_conf.cfg and HV_recent.cfg: "" for the current
  // working directory. HV_pref.cfg always goes into destinationDir.
  std::string settingsDir;
  // False: the end of a run writes HV_pref.cfg only, for a front end that saves the
  // settings itself (the console keeps its overrides out of them).
  bool saveSettingsAtEnd = true;

  // Bodies fetched ahead wait in files without a name where the file system has them;
  // true keeps them in named partial files, as on file systems that don't.
  bool namedAheadFiles = false;

  // Run state, owned for the life of the window.
  CNameList URL_List, LINK_List, IMG_List, PAGE_List;
  int busy = 0;
  int stopRequested = 0;
  int paused = 0;
  int runStatus = -1;   // -1 idle, -2 preparing, -3 done, -4 error, -5 stopped, 0..100
  int fileCounter = 1;  // the front end sets it to 1 whenever it loads a prefix
  int tooSmall = 0;
  std::string destinationDir;  // as in the field, ending in a path separator
  std::string filePrefix;
  std::string pageTitle;
  std::string pagePath;
  std::string baseAddress;
  std::string siteAddress;
  // The picture-size and duplicate checks of the resource being downloaded.
  ContentChecks contentChecks;

  EngineWindow& window() { return window_; }
  Settings& settings() { return settings_; }

 private:
  void Trace(const std::string& text);
  void AddRecentAddress(const std::string& address);
  void SaveAtEndOfRun();
  void ShowQueuedStatus();
  void RemovePageCopy() { pageCopy_.Remove(); }
  // The fetch of the page source into pagePath; `notRendered` marks its log row as a
  // page the renderer was asked for and failed.
  int FetchSource(const std::string& address, const std::string& referrer,
                  const std::string& cookie, std::string& errorText, bool notRendered);
  // The renderer of this run, started on first use; null when none was asked for or it
  // could not be started (then it is not asked again in this run).
  PageRenderer* Renderer();
  // Stores the rendered document as the page copy; 1, or 0 when it can't be written.
  int StoreRenderedPage(const std::string& html);
  // Appends to IMG_List the pictures the browser loaded that the scan did not list.
  void AddRenderedPictures(const std::vector<std::string>& pictures);
  // The run's look-ahead, when it fetches several requests at once; null otherwise.
  LookAheadPool* AheadPool();

  EngineWindow& window_;
  Settings& settings_;
  MessagePumpFn previousPump_;
  bool abandoning_ = false;  // AbandonRun: no question, whatever is queued
  int rememberedIndex_ = 0;
  int rememberedTotal_ = 0;
  PageCopy pageCopy_;  // the page copy at pagePath, when this run stored it
  // Page addresses this run has processed or queued as frames.
  std::unordered_set<std::string> reachedPages_;
  std::unique_ptr<RunLookAhead> lookAhead_;
  std::unique_ptr<PageRenderer> renderer_;
  bool rendererTried_ = false;
  // Captured pages queued from an open browser tab, until the run takes them.
  std::unordered_set<std::string> openTabPages_;
};

}  // namespace harvelo
