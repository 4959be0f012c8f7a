// Message boxes and questions on the toolkit's message dialog, with the icon each
// message names and, for the Yes/No question, No as the default button.
#pragma once
#include "platform/message_box.h"

class wxWindow;

namespace harvelo::app {

// The caption of every message box.
inline constexpr char kMessageCaption[] = "Harvelo";

class WxMessageBoxes : public MessageBoxes {
 public:
  explicit WxMessageBoxes(wxWindow* owner) : owner_(owner) {}
  MessageAnswer ShowMessage(const std::string& text, MessageIcon icon,
                            MessageButtons buttons) override;

 private:
  wxWindow* owner_;
};

// The wx style bits for a message: icon and buttons.
long MessageStyle(MessageIcon icon, MessageButtons buttons);

}  // namespace harvelo::app
