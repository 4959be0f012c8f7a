#include "app/icons.h"

#include "app/icon_sources.h"

namespace harvelo::app {

wxBitmapBundle IconBundle(int id) {
  for (const IconSource& icon : IconSources()) {
    if (icon.id == id) return wxBitmapBundle::FromSVG(icon.svg, wxSize(24, 24));
  }
  return {};
}

wxBitmap IconBitmap(int id, int size) {
  const wxBitmapBundle bundle = IconBundle(id);
  if (!bundle.IsOk()) return wxNullBitmap;
  return bundle.GetBitmap(wxSize(size, size));
}

}  // namespace harvelo::app
