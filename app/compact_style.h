// Dialog layouts are given in dialog units, which make a single-line field about as high
// as its text. The desktop theme pads fields, combo boxes and progress bars for touch
// use; this style lets them keep the template's proportions.
#pragma once

namespace harvelo::app {

// Installs the style for every window of the process; call once after the toolkit starts.
void ApplyCompactStyle();

}  // namespace harvelo::app
