#include "app/message_boxes.h"

#include <wx/msgdlg.h>

#include "app/wx_text.h"

namespace harvelo::app {

long MessageStyle(MessageIcon icon, MessageButtons buttons) {
  long style = buttons == MessageButtons::kYesNoDefaultNo ? (wxYES_NO | wxNO_DEFAULT) : wxOK;
  switch (icon) {
    case MessageIcon::kNone:
      style |= wxICON_NONE;
      break;
    case MessageIcon::kStop:
      style |= wxICON_STOP;
      break;
    case MessageIcon::kError:
      style |= wxICON_ERROR;
      break;
    case MessageIcon::kInformation:
      style |= wxICON_INFORMATION;
      break;
  }
  return style;
}

MessageAnswer WxMessageBoxes::ShowMessage(const std::string& text, MessageIcon icon,
                                          MessageButtons buttons) {
  wxMessageDialog box(owner_, Wx(text), kMessageCaption, MessageStyle(icon, buttons));
  switch (box.ShowModal()) {
    case wxID_YES:
      return MessageAnswer::kYes;
    case wxID_NO:
      return MessageAnswer::kNo;
    case wxID_CANCEL:
      return MessageAnswer::kCancel;
    default:
      return MessageAnswer::kOk;
  }
}

}  // namespace harvelo::app
