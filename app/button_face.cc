#include "app/button_face.h"

namespace harvelo::app {

ButtonFaceLayout LayOutButtonFace(int width, int height, int iconSize, int captionWidth,
                                  bool pressed) {
  const int p = pressed ? 1 : 0;
  const int v = (height - iconSize) / 2 + p;
  const int block = captionWidth > 0 ? captionWidth + iconSize + kIconCaptionGap : iconSize;
  const int h = p + (width - block) / 2;
  return {h, v, h + iconSize + kIconCaptionGap};
}

}  // namespace harvelo::app
