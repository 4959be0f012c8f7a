// Message boxes and questions, as the core asks for them. The window front end shows
// real dialogs; the console prints; tests record and answer.
#pragma once
#include <string>

namespace harvelo {

enum class MessageIcon { kNone, kStop, kError, kInformation };
enum class MessageButtons { kOk, kYesNoDefaultNo };
enum class MessageAnswer { kOk = 1, kCancel = 2, kYes = 6, kNo = 7 };

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // Shows `text` modally and returns the button that closed it.
  virtual MessageAnswer ShowMessage(const std::string& text, MessageIcon icon,
                                    MessageButtons buttons) = 0;
};

}  // namespace harvelo
