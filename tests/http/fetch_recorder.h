// A progress callback for tests: records every call and cancels where it is told to.
#pragma once
#include <functional>
#include <vector>

namespace harvelo::testing {

struct ProgressCall {
  int index;
  int contentLength;
  int bytesSoFar;
  bool operator==(const ProgressCall&) const = default;
};

struct FetchRecorder {
  std::vector<ProgressCall> calls;
  int cancelAt = -1;                      // the call index that returns 0
  std::function<void(int index)> onCall;  // runs inside each call

  static int Callback(void* self, int index, int contentLength, int bytesSoFar) {
    auto* recorder = static_cast<FetchRecorder*>(self);
    recorder->calls.push_back({index, contentLength, bytesSoFar});
    if (recorder->onCall) recorder->onCall(index);
    return index == recorder->cancelAt ? 0 : 1;
  }
};

}  // namespace harvelo::testing
