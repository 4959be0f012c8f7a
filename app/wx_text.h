// The program's texts are UTF-8 std::strings; the toolkit's are wxStrings.
#pragma once
#include <wx/string.h>

#include <string>

namespace harvelo::app {

inline wxString Wx(const std::string& text) {
  return wxString::FromUTF8(text.c_str(), text.size());
}
inline wxString Wx(const char* text) {
  return wxString::FromUTF8(text ? text : "");
}
inline std::string Utf8(const wxString& text) {
  const wxScopedCharBuffer buffer = text.utf8_str();
  return std::string(buffer.data(), buffer.length());
}

}  // namespace harvelo::app
