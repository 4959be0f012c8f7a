#include "cli/field_rules.h"

#include <cctype>

namespace harvelo::cli {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

// Length of the scheme when the address begins with "scheme://", else 0. A host with a
// port ("localhost:8080/x") has no "//" after its colon and so no scheme.
size_t SchemeLength(const std::string& address) {
  if (address.empty() || !std::isalpha(static_cast<unsigned char>(address[0]))) return 0;
  size_t i = 1;
  while (i < address.size()) {
    const unsigned char c = static_cast<unsigned char>(address[i]);
    if (!std::isalnum(c) && c != '+' && c != '-' && c != '.') break;
    ++i;
  }
  return address.compare(i, 3, "://") == 0 ? i : 0;
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace

std::string NormaliseTargetTypes(const std::string& list) {
  std::string out;
  size_t pos = 0;
  while (pos <= list.size()) {
    size_t end = list.find(',', pos);
    if (end == std::string::npos) end = list.size();
    size_t first = pos;
    size_t last = end;
    while (first < last && IsBlank(list[first])) ++first;
    while (last > first && IsBlank(list[last - 1])) --last;
    if (last > first) {
      out.push_back(',');
      for (size_t i = first; i < last; ++i) {
        out.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(list[i]))));
      }
    }
    pos = end + 1;
  }
  return out;
}

std::string DestinationFieldText(const std::string& dir) {
  if (dir.empty() || dir.back() == '/') return dir;
  return dir + "/";
}

std::string PrefixFieldText(const std::string& prefix) {
  if (prefix.empty() || prefix.back() == '_') return prefix;
  return prefix + "_";
}

std::optional<std::string> NormaliseAddress(const std::string& address) {
  if (address.empty()) return std::nullopt;
  const size_t scheme = SchemeLength(address);
  if (scheme == 0) return "http://" + address;
  const std::string name = Lower(address.substr(0, scheme));
  if (name == "http" || name == "https") return address;
  return std::nullopt;
}

}  // namespace harvelo::cli
