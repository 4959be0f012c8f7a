// Dialog templates: every control of a dialog with its id, kind, text and rectangle in
// dialog units (x, y, width, height), in creation (= tab) order. Each dialog has one
// template per interface language; the two differ only in layout and texts.
#pragma once
#include <span>

namespace harvelo::app {

enum class ControlKind {
  kLabel,          // static text, left-aligned
  kLabelRight,     // static text, right-aligned
  kOwnerButton,    // owner-drawn push button (icon + caption)
  kDefaultButton,  // the hidden default push button ("Def")
  kComboBox,       // drop-down combo box with an editable field
  kEdit,           // single-line edit, scrolling horizontally
  kReadOnlyEdit,   // read-only single-line edit
  kDigitsEdit,     // centred edit that takes digits only
  kUpDown,         // up-down arrows attached to the right edge of the edit before them
  kProgress,       // progress bar, created disabled
  kListView,       // report-mode list with grid lines and full-row selection
  kCheckBox,
  kRadioFirst,  // first radio button of a group
  kRadio,
  kGroupBox,
  kIcon,  // a picture: `icon` at the given rectangle
};

inline constexpr int kNoId = -1;

struct ControlTemplate {
  int id;  // kNoId for labels and pictures that nothing refers to
  ControlKind kind;
  const char* text;  // UTF-8; '&' marks the mnemonic
  int x, y, width, height;
  int icon = 0;  // kIcon: the icon's resource number; radio buttons: a picture beside
  bool disabled = false;
};

struct DialogTemplate {
  const char* caption;
  int width, height;  // client area, dialog units
  std::span<const ControlTemplate> controls;
};

// The templates, by interface language (Spanish when `spanish`).
const DialogTemplate& MainWindowTemplate(bool spanish);
const DialogTemplate& ConfigDialogTemplate(bool spanish);
const DialogTemplate& AboutDialogTemplate(bool spanish);
const DialogTemplate& LanguageDialogTemplate();

// True when the current interface language is Spanish.
bool SpanishInterface();

}  // namespace harvelo::app
