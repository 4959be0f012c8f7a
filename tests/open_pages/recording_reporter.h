// Keeps Inspector's error messages for the test instead of showing them.
#pragma once
#include <string>
#include <vector>

#include "open_pages/error_reporter.h"

namespace harvelo::inspector {

class RecordingReporter : public ErrorReporter {
 public:
  void Report(const std::string& text) override { messages.push_back(text); }
  std::vector<std::string> messages;
};

}  // namespace harvelo::inspector
