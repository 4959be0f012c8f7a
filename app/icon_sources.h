// The program's icons as SVG text, compiled in from app/icons/ (one file per icon,
// named after its resource number).
#pragma once
#include <span>

namespace harvelo::app {

struct IconSource {
  int id;
  const char* svg;
};

std::span<const IconSource> IconSources();

}  // namespace harvelo::app
