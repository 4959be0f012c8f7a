// The progress reports that the fetch loop calls: they move the file bar, keep the
// window alive, hold a transfer while paused, cancel it on Stop and apply the minimum
// size.
#include <algorithm>
#include <climits>

#include "engine/control_ids.h"
#include "engine/engine.h"
#include "platform/message_pump.h"
#include "platform/sleep.h"

namespace harvelo {
namespace {

int ReportProgress(Engine& engine, int contentLength, int bytesSoFar) {
  // The announced length may be far below what arrives (a chunked body, or another
  // header's "Content-Length:" taken for it); a quotient beyond int is clamped, since
  // converting it would be undefined.
  const double quotient =
      contentLength == 0 ? 0.0 : static_cast<double>(bytesSoFar) * 100.0 / contentLength;
  const int percent = static_cast<int>(
      std::clamp(quotient, static_cast<double>(INT_MIN), static_cast<double>(INT_MAX)));
  engine.window().SetProgressPos(IDC_FILE_PROGRESS, percent);
  Pump_Messages(100);
  // A polling wait, so that a second Pause or a Stop pressed meanwhile is seen.
  while (engine.paused) {
    SleepMs(50);
    Pump_Messages(50);
    if (engine.stopRequested) return 0;
  }
  return engine.stopRequested ? 0 : 1;
}

}  // namespace

int Engine::Page_Progress(void* context, int /*callIndex*/, int contentLength, int bytesSoFar) {
  return ReportProgress(*static_cast<Engine*>(context), contentLength, bytesSoFar);
}

int Engine::Resource_Progress(void* context, int callIndex, int contentLength, int bytesSoFar) {
  Engine& engine = *static_cast<Engine*>(context);
  // Decided on the announced length alone, before any of the body is read; a response
  // without a length counts as 0.
  if (callIndex == 0 &&
      static_cast<long long>(contentLength) < engine.settings().minimumSizeKb * 1024LL) {
    engine.tooSmall = 1;
    return 0;
  }
  // A picture below the minimum size is known from its header: the rest is not wanted.
  if (callIndex > 0 && engine.contentChecks.PictureTooSmall()) {
    engine.tooSmall = 1;
    return 0;
  }
  return ReportProgress(engine, contentLength, bytesSoFar);
}

}  // namespace harvelo
