// The drawing rule's arithmetic: one centred block of icon, 4-pixel gap and caption.
#include "app/button_face.h"

#include <gtest/gtest.h>

namespace harvelo::app {
namespace {

TEST(ButtonFace, CentresIconAndCaptionAsOneBlock) {
  // 110 x 34 button, 24-pixel icon, caption 50 wide: block 78, h = (110 - 78) / 2 = 16.
  const ButtonFaceLayout face = LayOutButtonFace(110, 34, 24, 50, false);
  EXPECT_EQ(face.iconX, 16);
  EXPECT_EQ(face.iconY, 5);
  EXPECT_EQ(face.captionX, 16 + 24 + 4);
}

TEST(ButtonFace, AnIconAloneIsCentredByItself) {
  const ButtonFaceLayout face = LayOutButtonFace(40, 34, 24, 0, false);
  EXPECT_EQ(face.iconX, 8);
  EXPECT_EQ(face.iconY, 5);
}

TEST(ButtonFace, PressedMovesTheIconRightAndDownAndTheCaptionRight) {
  const ButtonFaceLayout up = LayOutButtonFace(100, 28, 16, 31, false);
  const ButtonFaceLayout down = LayOutButtonFace(100, 28, 16, 31, true);
  EXPECT_EQ(down.iconX, up.iconX + 1);
  EXPECT_EQ(down.iconY, up.iconY + 1);
  EXPECT_EQ(down.captionX, up.captionX + 1);
}

TEST(ButtonFace, DivisionsRoundTowardZeroEvenWhenTheBlockIsWider) {
  // (31 - 24) / 2 = 3; (60 - 83) / 2 = -11 (toward zero, not -12).
  const ButtonFaceLayout face = LayOutButtonFace(60, 31, 24, 55, false);
  EXPECT_EQ(face.iconY, 3);
  EXPECT_EQ(face.iconX, -11);
}

}  // namespace
}  // namespace harvelo::app
