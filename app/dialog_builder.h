// Creates a dialog's controls from its template, converting dialog units to pixels with
// the dialog's own font, so the layout follows the font as a dialog template does.
#pragma once
#include <wx/gdicmn.h>

#include "app/dialog_template.h"

class wxWindow;
class wxFont;

namespace harvelo::app {

// The font every dialog of the program uses (the desktop's interface font).
wxFont DialogFont();

// Sets the caption, the font and the client size, then creates every control in template
// order (which is also the tab order). Owner-drawn buttons get `iconSize` icons and no
// face yet; the dialog gives each its icon and caption.
void BuildDialog(wxWindow* dialog, const DialogTemplate& layout, int iconSize);

// A template rectangle in pixels for `dialog`.
wxRect DialogUnitsToPixels(wxWindow* dialog, int x, int y, int width, int height);

}  // namespace harvelo::app
