#include "engine/target_types.h"

namespace harvelo {

bool HasTargetType(std::string_view types, std::string_view upperExtension) {
  for (size_t comma = types.find(','); comma != std::string_view::npos;
       comma = types.find(',', comma + 1)) {
    if (types.substr(comma + 1, upperExtension.size()) == upperExtension) return true;
  }
  return false;
}

}  // namespace harvelo
