// The settings of the main program as one plain value, and the files that keep them
// (HV_conf.cfg, HV_recent.cfg, HV_coord.cfg, HV_pref.cfg, HV_agentscout.cfg). The file
// code knows no widget: the window copies these values into its controls and back.
#pragma once
#include <optional>
#include <string>
#include <vector>

namespace harvelo {

struct DebugFlags {
  int header = 0;  // "HEADER": header dump files
  int trace = 0;   // "TRACE": trace message boxes
  int pause = 0;   // "PAUSE": pause message after a page source is stored
};

constexpr int kMinParallelTransfers = 1;
constexpr int kMaxParallelTransfers = 16;
constexpr int kMaxHttp2Streams = 128;
constexpr int kMaxRenderedPagesMode = 2;
constexpr int kMaxRenderScreens = 1000;
constexpr int kMaxRenderSeconds = 600;

struct Settings {
  std::string destinationDir;  // the Destination Directory field (1001)
  int autoIncrement = 1;       // the "+1" box (1003)
  std::string targetTypes = ",JPG,JPEG,MPG,MPEG";
  int generateWebAddressLog = 1;
  int browserKind = 0;  // BrowserKind: 0 IE, 1 Netscape 4, other Netscape 6
  int minimumSizeKb = 20;
  // Transfers in flight at once (1 to 16): the requests that come next are fetched
  // ahead, the run unchanged; 1 fetches one at a time.
  int parallelTransfers = 6;
  // https servers are offered HTTP/2; where one takes it, the look-ahead keeps up to this
  // many requests in flight on its one connection (at least parallelTransfers). 0 asks
  // for HTTP/1.1 only. 100 is what servers commonly allow on a connection and what
  // curl itself defaults to; fewer leaves a gallery's requests waiting in rounds.
  int http2Streams = 100;
  // Pages are asked for gzip, brotli or zstd and kept decoded; 0 asks for them as they
  // are. Resources are always kept as sent.
  int compressedPages = 1;
  // Pages built by script are scanned as a browser shows them (engine/page_renderer.h):
  // 0 never; 1 pages taken from an open browser; 2 typed and batched addresses too, in a
  // browser without a window. The scrolling to the end of a page stops after this many
  // screens or seconds.
  int renderedPages = 1;
  int renderScreens = 20;
  int renderSeconds = 15;
  std::string debugOptions;
  DebugFlags debug;
  // Pages as they are written today: srcset and lazy-loading attributes, PICTURE, image
  // addresses with a query.
  int modernPages = 1;
  // Pictures narrower or lower than this (pixels) are discarded as too small; 0 x 0 is off.
  int minimumPictureWidth = 0;
  int minimumPictureHeight = 0;
  int skipDuplicates = 1;  // a resource identical to a file the run stored is removed
  int skipKnownFiles = 0;  // ... and one identical to a file already in the destination
  std::optional<std::string> userAgent;      // from HV_agentscout.cfg; none: the default
  std::vector<std::string> recentAddresses;  // the address drop-down list, newest first
};

struct WindowPosition {
  int x = -1;
  int y = -1;
  int alwaysOnTop = 0;
};

// `dir` is where the bare-named files live: "" for the current working directory.
// Missing files leave the defaults; every file is replaced whole or not at all, and a file
// that cannot be written is skipped without a word.
void LoadSettings(Settings& settings, const std::string& dir = "");
void SaveSettings(const Settings& settings, const std::string& dir = "");
void ParseDebugOptions(Settings& settings);

// The prefix stored in destinationDir + "HV_pref.cfg" (joined directly), or "AAA_".
// The caller restarts its running file number at 1.
std::string LoadPrefix(const std::string& destinationDir);
void SavePrefix(const std::string& destinationDir, const std::string& prefix);

// x and y become -1 unless read; alwaysOnTop changes only when its field is read.
void LoadWindowPosition(WindowPosition& position, const std::string& dir = "");
void SaveWindowPosition(const WindowPosition& position, const std::string& dir = "");

}  // namespace harvelo
