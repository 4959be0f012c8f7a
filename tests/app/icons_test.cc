// Every icon the buttons and dialogs name exists as an SVG source and renders crisp at
// the size asked for.
#include <wx/bitmap.h>
#include <wx/image.h>

#include "app/icons.h"
#include "app_fixture.h"

namespace harvelo::testing {
namespace {

TEST(Icons, EveryNamedIconRendersAtTheSizeAskedFor) {
  const int ids[] = {128, 130, 131, 132, 133, 134, 135, 136, 137, 138, 139, 141,
                     142, 143, 145, 146, 147, 149, 152, 153, 156, 157, 158, 159};
  for (int id : ids) {
    for (int size : {16, 24, 32, 48}) {
      const wxBitmap bitmap = app::IconBitmap(id, size);
      ASSERT_TRUE(bitmap.IsOk()) << id;
      EXPECT_EQ(bitmap.GetSize(), wxSize(size, size)) << id << " at " << size;
      // Drawn at its own size: a scale factor would make a device context stretch it.
      EXPECT_EQ(bitmap.GetScaleFactor(), 1.0) << id << " at " << size;
      // Something is drawn: not every pixel is transparent.
      const wxImage image = bitmap.ConvertToImage();
      bool drawn = false;
      for (int y = 0; y < size && !drawn; ++y) {
        for (int x = 0; x < size && !drawn; ++x)
          drawn = !image.HasAlpha() || image.GetAlpha(x, y) > 0;
      }
      EXPECT_TRUE(drawn) << id;
    }
  }
  EXPECT_FALSE(app::IconBitmap(140, 24).IsOk());
}

}  // namespace
}  // namespace harvelo::testing
