#include "engine/file_naming.h"

#include <sys/stat.h>

#include <cstring>

#include "http/http_fetcher.h"
#include "platform/format.h"

namespace harvelo {

std::string ResourceExtension(const std::string& address) {
  const size_t dot = address.rfind('.');
  if (dot == std::string::npos) return std::string();
  std::string extension = address.substr(dot + 1);
  const size_t end = extension.find_first_of("?#");
  if (end != std::string::npos) extension.resize(end);
  return extension;
}

bool IsStorableExtension(const std::string& extension) {
  for (const char ch : extension) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c == 0x7F) return false;
    if (std::strchr("\\/:*?\"<>|", ch) != nullptr) return false;
  }
  return true;
}

std::string ResourceStem(const std::string& dir, const std::string& prefix, int number) {
  return dir + prefix + StrPrintf("%03d", number);
}

std::string ResourceFileName(const std::string& dir, const std::string& prefix, int number,
                             const std::string& extension) {
  return ResourceStem(dir, prefix, number) + "." + extension;
}

std::string ChooseResourceFileName(const std::string& dir, const std::string& prefix, int number,
                                   const std::string& extension) {
  std::string name = ResourceFileName(dir, prefix, number, extension);
  const std::string stem = ResourceStem(dir, prefix, number);
  for (int variant = 2; FileHasData(name); ++variant) {
    name = stem + StrPrintf("_%02d", variant) + "." + extension;
  }
  return name;
}

std::string FirstUnusedName(const std::string& stem, const std::string& extension) {
  std::string name = stem + "." + extension;
  struct stat st {};
  for (int variant = 2; ::lstat(name.c_str(), &st) == 0; ++variant) {
    name = stem + StrPrintf("_%02d", variant) + "." + extension;
  }
  return name;
}

}  // namespace harvelo
