#include "engine/field_rules.h"

#include <cctype>
#include <string_view>

namespace harvelo {
namespace {

// True when the text begins with "scheme://": a letter, then letters, digits, '+', '-'
// or '.', then "://". "localhost:8080/x" has no "//" after its colon and so no scheme.
size_t SchemeLength(const std::string& text) {
  if (text.empty() || !std::isalpha(static_cast<unsigned char>(text[0]))) return 0;
  size_t i = 1;
  while (i < text.size()) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (!std::isalnum(c) && c != '+' && c != '-' && c != '.') break;
    ++i;
  }
  return text.compare(i, 3, "://") == 0 ? i : 0;
}

bool BeginsWithScheme(const std::string& text) {
  return SchemeLength(text) > 0;
}

bool SameLetters(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != b[i]) return false;
  }
  return true;
}

}  // namespace

std::string AddressRule(const std::string& text) {
  if (text.empty() || BeginsWithScheme(text)) return text;
  return "http://" + text;
}

std::string DestinationRule(const std::string& text) {
  if (text.empty() || text.back() == '/') return text;
  return text + "/";
}

std::string PrefixRule(const std::string& text) {
  if (text.empty() || text.back() == '_') return text;
  return text + "_";
}

std::string ResourceTypesRule(const std::string& text) {
  constexpr std::string_view kRemoved = ".\\?/:+|;* ";
  std::string kept;
  for (char c : text) {
    if (kRemoved.find(c) == std::string_view::npos) kept.push_back(c);
  }
  kept.push_back(',');
  std::string result;
  size_t start = 0;
  for (size_t comma = kept.find(','); comma != std::string::npos;
       start = comma + 1, comma = kept.find(',', start)) {
    if (comma == start) continue;
    if (!result.empty()) result.push_back(',');
    result.append(kept, start, comma - start);
  }
  for (char& c : result) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return result;
}

bool IsWebAddress(const std::string& address) {
  const std::string_view scheme(address.data(), SchemeLength(address));
  return SameLetters(scheme, "http") || SameLetters(scheme, "https");
}

std::string TargetTypesSetting(const std::string& text) {
  const std::string types = ResourceTypesRule(text);
  return types.empty() ? std::string() : "," + types;
}

}  // namespace harvelo
