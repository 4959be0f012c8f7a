// The writing side of the quoted-field format, shared by every writer of a settings file
// or of Inspector's page list so that QuoteFile reads back exactly what was written: a double quote
// inside the value is doubled, and every line feed gets its own carriage return so that
// the text-mode reading (CR LF -> LF, a lone CR kept) gives back the value's own line
// ends, a CR LF pair included. A value without a double quote or a line feed is written
// as earlier versions wrote it.
#pragma once
#include <string>
#include <string_view>

namespace harvelo {

// `value` between double quotes, escaped as above; NUL bytes are kept.
std::string QuotedField(std::string_view value);

}  // namespace harvelo
