#include "app/config_dialog.h"

#include <wx/checkbox.h>
#include <wx/msgdlg.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>
#include <wx/valnum.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <utility>

#include "app/dialog_builder.h"
#include "app/icons.h"
#include "app/language_dialog.h"
#include "app/message_boxes.h"
#include "app/owner_drawn_button.h"
#include "app/up_down_control.h"
#include "app/wx_text.h"
#include "engine/field_rules.h"
#include "platform/string_table.h"
#include "settings/interface_language.h"
#include "settings/settings.h"

namespace harvelo::app {
namespace {

constexpr int kDialogIconSize = 16;
constexpr int kIdOk = 1, kIdCancel = 2, kIdChange = 4;
constexpr int kIdBrowserFirst = 1020, kIdWebAddressLog = 1023, kIdTypes = 1024;
constexpr int kIdDebug = 1025, kIdMinimum = 1030, kIdUpDown = 1032;
constexpr int kIdModernPages = 1050, kIdPictureWidth = 1051, kIdPictureHeight = 1052;
constexpr int kIdSkipDuplicates = 1053, kIdSkipKnownFiles = 1054;
constexpr int kIdParallel = 1055, kIdParallelUpDown = 1056;
constexpr int kIdHttp2Streams = 1057, kIdHttp2StreamsUpDown = 1058, kIdCompressedPages = 1059;
// Rendered pages: three choices (the stored values 0, 1, 2) and the scrolling bounds.
constexpr int kIdRenderFirst = 1060, kIdRenderScreens = 1063, kIdRenderSeconds = 1064;
// The up-down arrows step within 1..2000; a typed number is not limited by them.
constexpr int kStepMin = 1, kStepMax = 2000;
// An extra radio button of the browser group, never shown: checked when no browser is
// chosen (a stored value outside 0..2), since a GTK radio group always has one button on.
constexpr int kIdNoBrowser = 1099;

}  // namespace

ConfigDialog::ConfigDialog(wxWindow* parent, const ConfigValues& values,
                           const std::string& settingsDir)
    : HarveloDialog(parent, wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX),
      values_(values),
      settingsDir_(settingsDir) {
  BuildDialog(this, ConfigDialogTemplate(SpanishInterface()), kDialogIconSize);
  FindWindow(kIdNoBrowser)->Hide();

  types_ = static_cast<wxTextCtrl*>(FindWindow(kIdTypes));
  minimum_ = static_cast<wxTextCtrl*>(FindWindow(kIdMinimum));
  // Every number field takes digits only, from 0 up; the fields' own ranges are checked
  // when the dialog is confirmed.
  const std::pair<int, int*> numbers[] = {
      {kIdMinimum, &minimumSize_},         {kIdPictureWidth, &pictureWidth_},
      {kIdPictureHeight, &pictureHeight_}, {kIdParallel, &parallel_},
      {kIdHttp2Streams, &http2Streams_},   {kIdRenderScreens, &renderScreens_},
      {kIdRenderSeconds, &renderSeconds_},
  };
  for (const auto& [id, value] : numbers) {
    wxIntegerValidator<int> number(value);
    number.SetRange(0, INT_MAX);
    FindWindow(id)->SetValidator(number);
  }
  static_cast<UpDownControl*>(FindWindow(kIdParallelUpDown))->OnStep([this](int d) {
    StepField(kIdParallel, d, kMinParallelTransfers, kMaxParallelTransfers);
  });
  static_cast<UpDownControl*>(FindWindow(kIdHttp2StreamsUpDown))->OnStep([this](int d) {
    StepField(kIdHttp2Streams, d, 0, kMaxHttp2Streams);
  });
  static_cast<UpDownControl*>(FindWindow(kIdUpDown))->OnStep([this](int d) { StepMinimumSize(d); });
  minimum_->Bind(wxEVT_KEY_DOWN, [this](wxKeyEvent& e) {
    if (e.GetKeyCode() == WXK_UP) {
      StepMinimumSize(1);
    } else if (e.GetKeyCode() == WXK_DOWN) {
      StepMinimumSize(-1);
    } else {
      e.Skip();
    }
  });
  types_->Bind(wxEVT_KILL_FOCUS, [this](wxFocusEvent& e) {
    if (!closing_) NormaliseResourceTypes();
    e.Skip();
  });

  Button(kIdOk)->SetFace(kIconOk, Wx(LoadResString(IDS_OK_CAPTION)));
  Button(kIdCancel)->SetFace(kIconCancel, Wx(LoadResString(IDS_CANCEL_CAPTION)));
  Button(kIdChange)->SetFace(kIconGlobe, Wx(LoadResString(IDS_CHANGE_CAPTION)));
  Bind(
      wxEVT_BUTTON, [this](wxCommandEvent&) { PressOk(); }, kIdOk);
  Bind(
      wxEVT_BUTTON, [this](wxCommandEvent&) { Finish(wxID_CANCEL); }, kIdCancel);
  Bind(
      wxEVT_BUTTON, [this](wxCommandEvent&) { PressChange(); }, kIdChange);

  TransferDataToWindow();
  CentreOnParent();
}

wxCheckBox* ConfigDialog::Check(int id) {
  return static_cast<wxCheckBox*>(FindWindow(id));
}

// The controls go while this object is whole; the field's last loss of focus is not a
// user leaving it.
ConfigDialog::~ConfigDialog() {
  closing_ = true;
  DestroyChildren();
}

bool ConfigDialog::TransferDataToWindow() {
  types_->ChangeValue(Wx(values_.resourceTypes));
  static_cast<wxCheckBox*>(FindWindow(kIdWebAddressLog))->SetValue(values_.webAddressLog != 0);
  static_cast<wxTextCtrl*>(FindWindow(kIdDebug))->ChangeValue(Wx(values_.debugOptions));
  const int index = values_.browserIndex;
  const int radio = index >= 0 && index <= 2 ? kIdBrowserFirst + index : kIdNoBrowser;
  static_cast<wxRadioButton*>(FindWindow(radio))->SetValue(true);
  minimumSize_ = values_.minimumSizeKb;
  Check(kIdModernPages)->SetValue(values_.modernPages != 0);
  Check(kIdSkipDuplicates)->SetValue(values_.skipDuplicates != 0);
  Check(kIdSkipKnownFiles)->SetValue(values_.skipKnownFiles != 0);
  pictureWidth_ = values_.minimumPictureWidth;
  pictureHeight_ = values_.minimumPictureHeight;
  parallel_ = values_.parallelTransfers;
  http2Streams_ = values_.http2Streams;
  Check(kIdCompressedPages)->SetValue(values_.compressedPages != 0);
  const int mode = std::clamp(values_.renderedPages, 0, kMaxRenderedPagesMode);
  static_cast<wxRadioButton*>(FindWindow(kIdRenderFirst + mode))->SetValue(true);
  renderScreens_ = values_.renderScreens;
  renderSeconds_ = values_.renderSeconds;
  return wxDialog::TransferDataToWindow();
}

bool ConfigDialog::TransferDataFromWindow() {
  if (!wxDialog::TransferDataFromWindow()) return false;
  values_.resourceTypes = Utf8(types_->GetValue());
  values_.webAddressLog = static_cast<wxCheckBox*>(FindWindow(kIdWebAddressLog))->GetValue();
  values_.debugOptions = Utf8(static_cast<wxTextCtrl*>(FindWindow(kIdDebug))->GetValue());
  values_.browserIndex = -1;
  for (int i = 0; i < 3; ++i) {
    if (static_cast<wxRadioButton*>(FindWindow(kIdBrowserFirst + i))->GetValue()) {
      values_.browserIndex = i;
    }
  }
  values_.minimumSizeKb = minimumSize_;
  values_.modernPages = Check(kIdModernPages)->GetValue();
  values_.skipDuplicates = Check(kIdSkipDuplicates)->GetValue();
  values_.skipKnownFiles = Check(kIdSkipKnownFiles)->GetValue();
  values_.minimumPictureWidth = pictureWidth_;
  values_.minimumPictureHeight = pictureHeight_;
  values_.parallelTransfers = parallel_;
  values_.http2Streams = http2Streams_;
  values_.compressedPages = Check(kIdCompressedPages)->GetValue();
  for (int i = 0; i <= kMaxRenderedPagesMode; ++i) {
    if (static_cast<wxRadioButton*>(FindWindow(kIdRenderFirst + i))->GetValue()) {
      values_.renderedPages = i;
    }
  }
  values_.renderScreens = renderScreens_;
  values_.renderSeconds = renderSeconds_;
  return true;
}

// The integer data exchange: an empty or unconvertible number is refused with a prompt,
// and the dialog stays open with the focus in that field.
bool ConfigDialog::NumberFieldsHold() {
  struct Field {
    int id;
    long low, high;
  };
  const Field fields[] = {{kIdMinimum, 0, INT_MAX},
                          {kIdPictureWidth, 0, INT_MAX},
                          {kIdPictureHeight, 0, INT_MAX},
                          {kIdParallel, kMinParallelTransfers, kMaxParallelTransfers},
                          {kIdHttp2Streams, 0, kMaxHttp2Streams},
                          {kIdRenderScreens, 1, kMaxRenderScreens},
                          {kIdRenderSeconds, 1, kMaxRenderSeconds}};
  for (const Field& f : fields) {
    auto* field = static_cast<wxTextCtrl*>(FindWindow(f.id));
    long value = 0;
    const wxString text = field->GetValue();
    if (!text.empty() && text.ToLong(&value) && value >= f.low && value <= f.high) continue;
    wxMessageDialog prompt(
        this,
        SpanishInterface() ? Wx("Escriba un número entero.") : wxString("Please enter an integer."),
        kMessageCaption, wxOK | wxICON_EXCLAMATION);
    prompt.ShowModal();
    field->SetFocus();
    field->SelectAll();
    return false;
  }
  return true;
}

void ConfigDialog::PressOk() {
  if (!NumberFieldsHold() || !Validate() || !TransferDataFromWindow()) return;
  Finish(wxID_OK);
}

void ConfigDialog::PressChange() {
  WxMessageBoxes boxes(this);
  SelectInterfaceLanguage(
      true, [this](int initial) { return ShowLanguageDialog(this, initial); }, boxes, settingsDir_);
}

void ConfigDialog::NormaliseResourceTypes() {
  types_->ChangeValue(Wx(ResourceTypesRule(Utf8(types_->GetValue()))));
}

void ConfigDialog::StepField(int id, int delta, long low, long high) {
  auto* field = static_cast<wxTextCtrl*>(FindWindow(id));
  const long current = std::strtol(Utf8(field->GetValue()).c_str(), nullptr, 10);
  const long next = std::clamp(current + delta, low, high);
  field->ChangeValue(wxString::Format("%ld", next));
}

void ConfigDialog::StepMinimumSize(int delta) {
  const long current = std::strtol(Utf8(minimum_->GetValue()).c_str(), nullptr, 10);
  const long next =
      std::clamp(current + delta, static_cast<long>(kStepMin), static_cast<long>(kStepMax));
  minimum_->ChangeValue(wxString::Format("%ld", next));
}

}  // namespace harvelo::app
