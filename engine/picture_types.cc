#include "engine/picture_types.h"

#include <cctype>

#include "engine/target_types.h"

namespace harvelo {
namespace {

struct PictureType {
  std::string_view mediaType;
  std::string_view extensions[2];  // upper case, in the order they are preferred
};

constexpr PictureType kPictureTypes[] = {
    {"image/jpeg", {"JPG", "JPEG"}}, {"image/pjpeg", {"JPG", "JPEG"}},
    {"image/jpg", {"JPG", "JPEG"}},  {"image/png", {"PNG", {}}},
    {"image/apng", {"PNG", {}}},     {"image/gif", {"GIF", {}}},
    {"image/webp", {"WEBP", {}}},    {"image/avif", {"AVIF", {}}},
    {"image/bmp", {"BMP", {}}},      {"image/x-ms-bmp", {"BMP", {}}},
    {"image/svg+xml", {"SVG", {}}},  {"image/tiff", {"TIF", "TIFF"}},
    {"image/x-icon", {"ICO", {}}},   {"image/vnd.microsoft.icon", {"ICO", {}}},
    {"image/heic", {"HEIC", {}}},    {"image/jxl", {"JXL", {}}},
};

// Extensions of scripts that answer with a picture.
constexpr std::string_view kScriptTypes[] = {"PHP", "ASPX", "ASP", "CGI", "JSP"};

bool EqualNoCase(std::string_view a, std::string_view upper) {
  if (a.size() != upper.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(a[i])) != upper[i]) return false;
  }
  return true;
}

// The scheme of an absolute address ("http" of "http://a/b"); empty for a reference.
std::string_view SchemeOf(std::string_view address) {
  for (size_t i = 0; i < address.size(); ++i) {
    const char c = address[i];
    if (c == ':') return i == 0 ? std::string_view() : address.substr(0, i);
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.') break;
  }
  return std::string_view();
}

}  // namespace

bool NamesNoFileType(std::string_view address) {
  const std::string_view scheme = SchemeOf(address);
  if (!scheme.empty() && !EqualNoCase(scheme, "HTTP") && !EqualNoCase(scheme, "HTTPS")) {
    return false;
  }
  const std::string_view path = address.substr(0, address.find_first_of("?#"));
  // A query or a fragment alone names the page itself.
  if (path.empty()) return false;
  const std::string_view name = path.substr(path.rfind('/') + 1);
  const size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return true;
  for (const std::string_view script : kScriptTypes) {
    if (EqualNoCase(name.substr(dot + 1), script)) return true;
  }
  return false;
}

std::optional<std::string> TypedPictureExtension(int status, std::string_view contentType,
                                                 std::string_view targetTypes) {
  if (status < 200 || status > 299) return std::string();
  for (const PictureType& type : kPictureTypes) {
    if (type.mediaType != contentType) continue;
    for (const std::string_view extension : type.extensions) {
      if (extension.empty() || !HasTargetType(targetTypes, extension)) continue;
      std::string lower(extension);
      for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      return lower;
    }
    return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace harvelo
