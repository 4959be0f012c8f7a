// Where Inspector's error messages go: a message box when a display is there, standard
// error otherwise. Each message waits for the user as a message box would.
#pragma once
#include <string>

namespace harvelo::inspector {

class ErrorReporter {
 public:
  virtual ~ErrorReporter() = default;
  virtual void Report(const std::string& text) = 0;
};

// Writes the text and a line break to standard error.
class StderrReporter : public ErrorReporter {
 public:
  void Report(const std::string& text) override;
};

// Shows the text in an X message box (xmessage) captioned "Inspector", with a stop
// icon's seriousness and one OK button, and waits until it is closed. When the box
// cannot be shown the text goes to standard error.
class MessageBoxReporter : public ErrorReporter {
 public:
  void Report(const std::string& text) override;
};

// The text as Windows-1252/Latin-1 bytes (the X core fonts' encoding); characters
// outside it become '?'.
std::string Utf8ToLatin1(const std::string& utf8);

}  // namespace harvelo::inspector
