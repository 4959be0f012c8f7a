// Harvelo's window under an X server (run it as `xvfb-run -a build/bench/window_bench`):
//  1. start-up: from the exec of build/app/harvelo to its main window "HV: Idle." being on
//     the screen, against the same measure for a bare wxWidgets frame started from this
//     program (the peer), median of several starts;
//  2. the longest gap between two ticks of a 10 ms repeating timer while a run downloads
//     a 5 MB body that a loopback server trickles over 5 s, with the window shown and
//     minimised, against the same timer on an idle window (the peer).
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/frame.h>
#include <wx/init.h>
#include <wx/timer.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "agentscout/top_level_windows.h"
#include "app/compact_style.h"
#include "app/event_pump.h"
#include "app/main_window.h"
#include "engine/control_ids.h"
#include "support/loopback_server.h"
#include "support/temp_dir.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

// Starts `argv` in `dir` and waits until a top-level window titled `title` exists;
// returns the milliseconds from the exec, or -1 after 10 s. The child is ended.
double TimeToWindow(const std::vector<std::string>& args, const std::string& dir,
                    const std::string& title) {
  auto windows = harvelo::agentscout::OpenX11Windows();
  if (!windows) return -1;
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const std::string previous = std::filesystem::current_path();
  std::filesystem::current_path(dir);
  pid_t pid = 0;
  const Clock::time_point start = Clock::now();
  const int spawned = posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ);
  std::filesystem::current_path(previous);
  if (spawned != 0) return -1;
  double found = -1;
  while (Clock::now() - start < std::chrono::seconds(10) && found < 0) {
    for (auto id : windows->List()) {
      if (windows->Title(id) == title) {
        found = Ms(Clock::now() - start);
        break;
      }
    }
    if (found < 0) std::this_thread::sleep_for(std::chrono::microseconds(500));
  }
  kill(pid, SIGTERM);
  waitpid(pid, nullptr, 0);
  return found;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? -1 : values[values.size() / 2];
}

// The peer: a bare frame, shown as soon as the toolkit is up.
int RunPeerFrame(char** argv) {
  wxApp::SetInstance(new wxApp);
  int argc = 1;  // the toolkit is not to read "--peer-frame" as its own option
  if (!wxEntryStart(argc, argv)) return 1;
  wxTheApp->CallOnInit();
  auto* frame = new wxFrame(nullptr, wxID_ANY, "bare wx frame");
  frame->Show();
  wxTheApp->OnRun();
  return 0;
}

struct GapResult {
  double longestMs = 0;
  int ticks = 0;
  bool stored = false;
};

// The longest gap between ticks of a 10 ms timer while `work` runs (inside the loop).
GapResult MeasureGaps(const std::function<void()>& work) {
  GapResult result;
  Clock::time_point last = Clock::now();
  wxTimer timer;
  timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
    const Clock::time_point now = Clock::now();
    result.longestMs = std::max(result.longestMs, Ms(now - last));
    last = now;
    ++result.ticks;
  });
  timer.Start(10);
  last = Clock::now();
  work();
  const Clock::time_point now = Clock::now();
  result.longestMs = std::max(result.longestMs, Ms(now - last));
  timer.Stop();
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "--peer-frame") return RunPeerFrame(argv);
  if (!getenv("DISPLAY")) {
    std::fprintf(stderr, "window_bench needs an X server: run it as xvfb-run -a %s\n", argv[0]);
    return 1;
  }

  // 1. Start-up, with the language already chosen (no language dialog).
  harvelo::testing::TempDir work;
  harvelo::testing::WriteBytes(work.file("HV_lang.cfg"), "\"1\"\r\n");
  const int rounds = 7;
  const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
  std::vector<double> harvelo, peer;
  for (int i = 0; i < rounds; ++i) {
    harvelo.push_back(TimeToWindow({HARVELO_PATH}, work.dir(), "HV: Idle."));
    peer.push_back(TimeToWindow({self, "--peer-frame"}, work.dir(), "bare wx frame"));
  }
  const double startup = Median(harvelo), bare = Median(peer);
  std::printf(
      "start-up to the main window shown (median of %d): Harvelo %.1f ms, bare wx "
      "frame %.1f ms, ratio %.2f (target < 300 ms)\n",
      rounds, startup, bare, startup / bare);

  // 2. Event gaps during a slow run, in this process.
  wxApp::SetInstance(new wxApp);
  if (!wxEntryStart(argc, argv)) return 1;
  wxTheApp->CallOnInit();
  harvelo::app::ApplyCompactStyle();
  {
    wxEventLoop loop;
    wxEventLoopActivator active(&loop);

    harvelo::testing::LoopbackServer server;
    constexpr size_t kBody = 5 * 1024 * 1024;
    server.server().Get("/slow.jpg", [](const httplib::Request&, httplib::Response& res) {
      res.set_content_provider(kBody, "image/jpeg",
                               [](size_t offset, size_t length, httplib::DataSink& sink) {
                                 // 5 MB over about 5 s: 10 KB every 10 ms.
                                 const size_t chunk = std::min<size_t>(length, 10 * 1024);
                                 std::this_thread::sleep_for(std::chrono::milliseconds(10));
                                 std::string bytes(chunk, static_cast<char>('a' + offset % 26));
                                 return sink.write(bytes.data(), bytes.size());
                               });
    });
    if (!server.Start()) return 1;

    for (const bool minimised : {false, true}) {
      harvelo::testing::TempDir settings, destination;
      harvelo::app::MainWindowOptions options;
      options.settingsDir = settings.dir();
      auto* window = new harvelo::app::MainWindow(options);
      window->settings().minimumSizeKb = 0;
      window->SetControlText(harvelo::IDC_DESTINATION_DIR, destination.dir());
      window->Show();
      if (minimised) window->Iconize(true);
      for (int i = 0; i < 50; ++i) {
        harvelo::app::PumpPendingEvents(1000);
        wxMilliSleep(4);
      }
      const Clock::time_point idleStart = Clock::now();
      const GapResult idle = MeasureGaps([&] {
        while (Clock::now() - idleStart < std::chrono::seconds(2)) {
          harvelo::app::PumpPendingEvents(100);
          wxMilliSleep(1);
        }
      });
      window->SetControlText(harvelo::IDC_URL, server.Url("/slow.jpg"));
      const Clock::time_point runStart = Clock::now();
      GapResult run = MeasureGaps([&] { window->engine().OnStart(); });
      const double runMs = Ms(Clock::now() - runStart);
      run.stored = harvelo::testing::Exists(destination.file("AAA_001.jpg"));
      std::printf(
          "%s: run of %.1f s (%s), %d timer ticks; longest gap between two events "
          "%.1f ms (target <= 100 ms); idle window %.1f ms; ratio %.2f\n",
          minimised ? "minimised window" : "shown window", runMs / 1000,
          run.stored ? "5 MB stored" : "NOTHING STORED", run.ticks, run.longestMs, idle.longestMs,
          run.longestMs / idle.longestMs);
      delete window;
      harvelo::app::PumpPendingEvents(1000);
    }
  }
  wxTheApp->OnExit();
  wxEntryCleanup();
  return 0;
}
