// The name and attributes of one tag as a browser reads them: names without regard to
// case, values quoted with '"' or '\'' or unquoted up to a blank, blanks allowed around
// the '=', the first of two equal names winning, and character references decoded.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace harvelo {

// The tag's name in a tag token ("<img ...>", "</picture>"), as written: the text after
// '<' or "</" up to a blank, '/' or '>'.
std::string_view TagName(std::string_view tag);
// Whether `name` is `upperName` regardless of case.
bool NameIs(std::string_view name, std::string_view upperName);

// `value` with the character references a URL in an attribute holds decoded: &amp;
// &lt; &gt; &quot; &apos; and numeric ones below 128 (a reference to another character
// stays as written: the addresses are single-byte text).
std::string DecodeCharacterReferences(std::string_view value);

class TagAttributes {
 public:
  TagAttributes() = default;
  explicit TagAttributes(std::string_view tag) { Parse(tag); }

  // Reads the attributes of `tag`, which must outlive the lookups; the storage of the
  // previous tag is reused.
  void Parse(std::string_view tag);

  // The value of the attribute `lowerName` ("data-src") as written, or null when the tag
  // does not have it. An attribute without '=' has an empty value.
  const std::string_view* Raw(std::string_view lowerName) const;
  // The same, decoded.
  std::optional<std::string> Get(std::string_view lowerName) const;

 private:
  struct Attribute {
    std::string_view name;  // as written: compared without regard to case
    std::string_view value;
  };
  std::vector<Attribute> attributes_;
};

}  // namespace harvelo
