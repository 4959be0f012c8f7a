#include "app/icons.h"

#include "app/icon_sources.h"

namespace harvelo::app {

wxBitmapBundle IconBundle(int id, int size) {
  for (const IconSource& icon : IconSources()) {
    if (icon.id == id) return wxBitmapBundle::FromSVG(icon.svg, wxSize(size, size));
  }
  return {};
}

// The bundle's own size is the size asked for: a bundle of another default size hands out
// bitmaps with a scale factor, which the device context would draw at that other size.
wxBitmap IconBitmap(int id, int size) {
  const wxBitmapBundle bundle = IconBundle(id, size);
  if (!bundle.IsOk()) return wxNullBitmap;
  return bundle.GetBitmap(wxSize(size, size));
}

}  // namespace harvelo::app
