#include "settings/quoted_field.h"

namespace harvelo {

std::string QuotedField(std::string_view value) {
  std::string out;
  out.reserve(value.size() + 2);
  out.push_back('"');
  for (const char c : value) {
    if (c == '"') out.push_back('"');
    if (c == '\n') out.push_back('\r');
    out.push_back(c);
  }
  out.push_back('"');
  return out;
}

}  // namespace harvelo
