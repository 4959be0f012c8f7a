#include "engine/tag_attributes.h"

#include <cstdlib>

namespace harvelo {
namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

char Lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

char Upper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Where the name begins: after '<' and an optional '/'.
size_t NameStart(std::string_view tag) {
  size_t i = tag.starts_with('<') ? 1 : 0;
  if (i < tag.size() && tag[i] == '/') ++i;
  return i;
}

size_t NameEnd(std::string_view tag, size_t i) {
  while (i < tag.size() && !IsSpace(tag[i]) && tag[i] != '/' && tag[i] != '>') ++i;
  return i;
}

// The character a reference at the start of `text` (just past '&') stands for, and its
// length up to and including ';'. False when it is none of those decoded.
bool ReadReference(std::string_view text, char& c, size_t& length) {
  static constexpr struct {
    std::string_view name;
    char c;
  } kNamed[] = {{"amp;", '&'}, {"lt;", '<'}, {"gt;", '>'}, {"quot;", '"'}, {"apos;", '\''}};
  for (const auto& named : kNamed) {
    if (text.starts_with(named.name)) {
      c = named.c;
      length = named.name.size();
      return true;
    }
  }
  if (!text.starts_with('#')) return false;
  size_t i = 1;
  int base = 10;
  if (i < text.size() && (text[i] == 'x' || text[i] == 'X')) {
    base = 16;
    ++i;
  }
  long value = 0;
  const size_t digitsStart = i;
  for (; i < text.size() && i - digitsStart < 8; ++i) {
    const char d = Lower(text[i]);
    int digit = -1;
    if (d >= '0' && d <= '9') digit = d - '0';
    if (base == 16 && d >= 'a' && d <= 'f') digit = d - 'a' + 10;
    if (digit < 0) break;
    value = value * base + digit;
  }
  if (i == digitsStart || i >= text.size() || text[i] != ';') return false;
  if (value <= 0 || value >= 128) return false;
  c = static_cast<char>(value);
  length = i + 1;
  return true;
}

}  // namespace

std::string_view TagName(std::string_view tag) {
  const size_t start = NameStart(tag);
  return tag.substr(start, NameEnd(tag, start) - start);
}

bool NameIs(std::string_view name, std::string_view upperName) {
  if (name.size() != upperName.size()) return false;
  for (size_t i = 0; i < name.size(); ++i) {
    if (Upper(name[i]) != upperName[i]) return false;
  }
  return true;
}

std::string DecodeCharacterReferences(std::string_view value) {
  std::string out;
  out.reserve(value.size());
  for (size_t i = 0; i < value.size(); ++i) {
    char c = 0;
    size_t length = 0;
    if (value[i] == '&' && ReadReference(value.substr(i + 1), c, length)) {
      out.push_back(c);
      i += length;
    } else {
      out.push_back(value[i]);
    }
  }
  return out;
}

void TagAttributes::Parse(std::string_view tag) {
  attributes_.clear();
  size_t i = NameEnd(tag, NameStart(tag));
  const size_t n = tag.size();
  for (;;) {
    while (i < n && (IsSpace(tag[i]) || tag[i] == '/')) ++i;
    if (i >= n || tag[i] == '>') return;
    // A name may begin with '=' (it is then part of the name, as browsers read it).
    const size_t nameStart = i++;
    while (i < n && !IsSpace(tag[i]) && tag[i] != '/' && tag[i] != '>' && tag[i] != '=') ++i;
    Attribute attribute;
    attribute.name = tag.substr(nameStart, i - nameStart);
    size_t j = i;
    while (j < n && IsSpace(tag[j])) ++j;
    if (j < n && tag[j] == '=') {
      ++j;
      while (j < n && IsSpace(tag[j])) ++j;
      if (j < n && (tag[j] == '"' || tag[j] == '\'')) {
        const char quote = tag[j++];
        const size_t end = tag.find(quote, j);
        const size_t stop = end == std::string_view::npos ? n : end;
        attribute.value = tag.substr(j, stop - j);
        i = end == std::string_view::npos ? n : end + 1;
      } else {
        const size_t start = j;
        while (j < n && !IsSpace(tag[j]) && tag[j] != '>') ++j;
        attribute.value = tag.substr(start, j - start);
        i = j;
      }
    }
    attributes_.push_back(attribute);
  }
}

const std::string_view* TagAttributes::Raw(std::string_view lowerName) const {
  for (const Attribute& a : attributes_) {
    if (a.name.size() != lowerName.size()) continue;
    size_t k = 0;
    while (k < lowerName.size() && Lower(a.name[k]) == lowerName[k]) ++k;
    if (k == lowerName.size()) return &a.value;
  }
  return nullptr;
}

std::optional<std::string> TagAttributes::Get(std::string_view lowerName) const {
  const std::string_view* value = Raw(lowerName);
  if (value == nullptr) return std::nullopt;
  return DecodeCharacterReferences(*value);
}

}  // namespace harvelo
