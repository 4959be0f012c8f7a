// The drawing rule every push button of the program shares: the icon and the caption
// form one block, centred in the button, with a 4-pixel gap between them; a pressed
// button moves the icon one pixel right and down and the caption one pixel right.
#pragma once

namespace harvelo::app {

inline constexpr int kIconCaptionGap = 4;

struct ButtonFaceLayout {
  int iconX, iconY;  // top-left of the icon, relative to the button
  int captionX;      // left edge of the caption's rectangle (vertically centred)
};

// `iconSize` is S (24 on the main window, 16 on dialogs); `captionWidth` is 0 for an
// icon-only button. Integer divisions round toward zero, as the rule says.
ButtonFaceLayout LayOutButtonFace(int width, int height, int iconSize, int captionWidth,
                                  bool pressed);

}  // namespace harvelo::app
