#include "engine/target_types.h"

#include <cctype>
#include <string>

namespace harvelo {

bool HasTargetType(std::string_view types, std::string_view upperExtension) {
  for (size_t comma = types.find(','); comma != std::string_view::npos;
       comma = types.find(',', comma + 1)) {
    if (types.substr(comma + 1, upperExtension.size()) == upperExtension) return true;
  }
  return false;
}

bool IsDirectResource(std::string_view address, std::string_view types) {
  const size_t dot = address.rfind('.');
  if (dot == std::string_view::npos) return false;
  std::string extension;
  for (size_t i = dot + 1; i < address.size(); ++i) {
    extension.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(address[i]))));
  }
  return HasTargetType(types, extension);
}

}  // namespace harvelo
