#include "app/event_pump.h"

#include <wx/app.h>
#include <wx/evtloop.h>

namespace harvelo::app {

int PumpPendingEvents(int n) {
  int done = 0;
  if (wxEventLoopBase* loop = wxEventLoopBase::GetActive()) {
    while (done < n && loop->Pending()) {
      loop->Dispatch();
      ++done;
    }
  }
  // Events queued with CallAfter or QueueEvent are not toolkit events: Pending() does not
  // see them and Dispatch() does not run them.
  if (wxTheApp) wxTheApp->ProcessPendingEvents();
  return done;
}

}  // namespace harvelo::app
