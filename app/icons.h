// Icons by resource number, rendered from their SVG sources at the size asked for, so
// they stay sharp at any scale.
#pragma once
#include <wx/bmpbndl.h>

namespace harvelo::app {

enum IconId : int {
  kIconProgram = 128,
  kIconAbout = 130,
  kIconGetFromBrowser = 131,
  kIconBrowser = 132,
  kIconBatchFile = 133,
  kIconCancel = 134,
  kIconConfig = 135,
  kIconHelp = 136,
  kIconOk = 137,
  kIconPinLying = 138,
  kIconPinPressed = 139,
  kIconStart = 141,
  kIconStop = 142,
  kIconFolderTree = 143,
  kIconMinimize = 145,
  kIconToQueue = 146,
  kIconAboutPicture = 147,
  kIconClipboard = 149,
  kIconPause = 152,
  kIconPlay = 153,
  kIconFlagSpain = 156,
  kIconFlagUnitedKingdom = 157,
  kIconWindowsDefault = 158,
  kIconGlobe = 159,
};

// The icon's bundle, `size` pixels by default; an invalid bundle when there is no such icon.
wxBitmapBundle IconBundle(int id, int size = 32);
// The icon rendered at size x size pixels; an invalid bitmap when there is none.
wxBitmap IconBitmap(int id, int size);

}  // namespace harvelo::app
