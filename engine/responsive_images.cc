#include "engine/responsive_images.h"

#include "engine/picture_types.h"
#include "engine/target_types.h"

namespace harvelo {
namespace {

char Upper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

// Attributes that lazy-loading scripts read the real address from, in order of trust.
constexpr std::string_view kLazySources[] = {"data-src", "data-original", "data-lazy-src"};

// Whether the name of an unknown tag may be one handled here (NOSCRIPT, PICTURE,
// SOURCE); most tags are not, and are rejected by their first two letters.
bool MayBeHandled(std::string_view tag) {
  size_t i = 1;
  if (i < tag.size() && tag[i] == '/') ++i;
  if (i + 1 >= tag.size()) return false;
  const char first = Upper(tag[i]);
  const char second = Upper(tag[i + 1]);
  return ((first == 'N' || first == 'S') && second == 'O') || (first == 'P' && second == 'I');
}

// The value decoded into `buffer` when it holds a character reference; else as it is.
std::string_view Decoded(std::string_view raw, std::string& buffer) {
  if (raw.find('&') == std::string_view::npos) return raw;
  buffer = DecodeCharacterReferences(raw);
  return buffer;
}

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && IsSpace(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsSpace(s.back())) s.remove_suffix(1);
  return s;
}

}  // namespace

bool IsImageTarget(std::string_view address, std::string_view targetTypes) {
  if (address.size() >= 5 && Upper(address[0]) == 'D' && Upper(address[1]) == 'A' &&
      Upper(address[2]) == 'T' && Upper(address[3]) == 'A' && address[4] == ':') {
    return false;
  }
  // (find_first_of would search the set once per character.)
  size_t end = 0;
  while (end < address.size() && address[end] != '?' && address[end] != '#') ++end;
  const std::string_view path = address.substr(0, end);
  const size_t dot = path.rfind('.');
  if (dot == std::string_view::npos) return false;
  const std::string_view raw = path.substr(dot + 1);
  char small[32];
  std::string large;
  char* upper = small;
  if (raw.size() > sizeof small) {
    large.resize(raw.size());
    upper = large.data();
  }
  for (size_t i = 0; i < raw.size(); ++i) upper[i] = Upper(raw[i]);
  return HasTargetType(targetTypes, std::string_view(upper, raw.size()));
}

void ResponsiveImages::Consider(const ImageCandidate& candidate, Choice& choice) const {
  // A picture whose address names no file type competes too: its response tells.
  if (!IsImageTarget(candidate.address, types_) && !NamesNoFileType(candidate.address)) return;
  if (choice.found && !IsLargerCandidate(candidate, choice.size)) return;
  choice.found = true;
  choice.address.assign(candidate.address);
  choice.size = candidate;
  choice.size.address = {};
}

void ResponsiveImages::Largest(std::string_view tag, bool isImg, Choice& choice, bool& lazy) {
  choice.found = false;
  attributes_.Parse(tag);
  const std::string_view* srcset = attributes_.Raw("data-srcset");
  lazy = srcset != nullptr;
  if (srcset == nullptr) srcset = attributes_.Raw("srcset");
  if (srcset != nullptr) {
    ParseSrcset(Decoded(*srcset, decodedSrcset_), candidates_);
    for (const ImageCandidate& c : candidates_) Consider(c, choice);
  }
  if (!isImg) return;
  const std::string_view* src = nullptr;
  for (const std::string_view name : kLazySources) {
    if ((src = attributes_.Raw(name)) != nullptr) {
      lazy = true;
      break;
    }
  }
  if (src == nullptr) src = attributes_.Raw("src");
  if (src == nullptr) return;
  // An address with blanks around it still names the picture.
  ImageCandidate c;
  c.address = Trimmed(Decoded(*src, decodedSrc_));
  if (!c.address.empty()) Consider(c, choice);
}

bool ResponsiveImages::Img(std::string_view tag, std::string& reference) {
  if (inPicture_ && pictureDone_) return false;
  bool lazy = false;
  Largest(tag, true, tagChoice_, lazy);
  if (inPicture_) {
    pictureDone_ = true;
    if (lazy) lazySeen_ = true;
    if (tagChoice_.found) {
      ImageCandidate c = tagChoice_.size;
      c.address = tagChoice_.address;
      Consider(c, picture_);
    }
    if (!picture_.found || pictureIsCopy_) return false;
    reference = picture_.address;
    return true;
  }
  // A NOSCRIPT copy of a lazily loaded picture repeats what the scan already took.
  if (!tagChoice_.found || InNoscriptCopy()) return false;
  if (lazy) lazySeen_ = true;
  reference = tagChoice_.address;
  return true;
}

bool ResponsiveImages::OtherTag(std::string_view tag, bool& emit, std::string& reference) {
  emit = false;
  if (!MayBeHandled(tag)) return false;
  const bool closing = tag.size() > 1 && tag[1] == '/';
  const std::string_view name = TagName(tag);
  if (NameIs(name, "NOSCRIPT")) {
    inNoscript_ = !closing;
    return false;
  }
  if (NameIs(name, "PICTURE")) {
    if (!closing) {
      inPicture_ = true;
      pictureIsCopy_ = InNoscriptCopy();
      pictureDone_ = false;
      picture_.found = false;
      return true;
    }
    if (inPicture_ && !pictureDone_ && picture_.found && !pictureIsCopy_) {
      emit = true;
      reference = picture_.address;
    }
    inPicture_ = false;
    picture_.found = false;
    return true;
  }
  if (inPicture_ && NameIs(name, "SOURCE")) {
    bool lazy = false;
    if (!closing && !pictureDone_) {
      Largest(tag, false, tagChoice_, lazy);
      if (tagChoice_.found) {
        ImageCandidate c = tagChoice_.size;
        c.address = tagChoice_.address;
        Consider(c, picture_);
      }
      if (lazy) lazySeen_ = true;
    }
    return true;
  }
  return false;
}

}  // namespace harvelo
