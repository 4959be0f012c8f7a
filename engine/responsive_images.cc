#include "engine/responsive_images.h"

#include "engine/tag_attributes.h"
#include "engine/target_types.h"

namespace harvelo {
namespace {

char Upper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Attributes that lazy-loading scripts read the real address from, in order of trust.
constexpr std::string_view kLazySources[] = {"data-src", "data-original", "data-lazy-src"};

// Whether the name of an unknown tag may be one handled here; most tags are not, and
// are rejected without looking further.
bool MayBeHandled(std::string_view tag) {
  size_t i = 1;
  if (i < tag.size() && tag[i] == '/') ++i;
  if (i >= tag.size()) return false;
  const char c = Upper(tag[i]);
  return c == 'P' || c == 'S' || c == 'N';
}

void Consider(const ImageCandidate& candidate, std::string_view types,
              std::optional<ImageCandidate>& best) {
  if (!IsImageTarget(candidate.address, types)) return;
  if (!best || IsLargerCandidate(candidate, *best)) best = candidate;
}

}  // namespace

bool IsImageTarget(std::string_view address, std::string_view targetTypes) {
  if (address.size() >= 5) {
    std::string scheme;
    for (size_t i = 0; i < 5; ++i) scheme.push_back(Upper(address[i]));
    if (scheme == "DATA:") return false;
  }
  const std::string_view path = address.substr(0, address.find_first_of("?#"));
  const size_t dot = path.rfind('.');
  if (dot == std::string_view::npos) return false;
  std::string extension;
  extension.reserve(path.size() - dot - 1);
  for (size_t i = dot + 1; i < path.size(); ++i) extension.push_back(Upper(path[i]));
  return HasTargetType(targetTypes, extension);
}

bool ResponsiveImages::Largest(std::string_view tag, bool isImg, ImageCandidate& best,
                               bool& lazy) const {
  const TagAttributes attributes(tag);
  std::optional<ImageCandidate> chosen;
  std::optional<std::string> srcset = attributes.Get("data-srcset");
  lazy = srcset.has_value();
  if (!srcset) srcset = attributes.Get("srcset");
  if (srcset) {
    for (const ImageCandidate& c : ParseSrcset(*srcset)) Consider(c, types_, chosen);
  }
  if (isImg) {
    std::optional<std::string> src;
    for (const std::string_view name : kLazySources) {
      if ((src = attributes.Get(name))) {
        lazy = true;
        break;
      }
    }
    if (!src) src = attributes.Get("src");
    // An address with blanks around it still names the picture.
    if (src) {
      const size_t first = src->find_first_not_of(" \t\n\f\r");
      const size_t last = src->find_last_not_of(" \t\n\f\r");
      ImageCandidate c;
      if (first != std::string::npos) c.address = src->substr(first, last - first + 1);
      if (!c.address.empty()) Consider(c, types_, chosen);
    }
  }
  if (!chosen) return false;
  best = std::move(*chosen);
  return true;
}

bool ResponsiveImages::Img(std::string_view tag, std::string& reference) {
  const bool fallback = inNoscript_ && lazySeen_;
  if (inPicture_ && pictureDone_) return false;
  ImageCandidate best;
  bool lazy = false;
  const bool found = Largest(tag, true, best, lazy);
  if (inPicture_) {
    pictureDone_ = true;
    if (lazy) lazySeen_ = true;
    if (found) Consider(best, types_, pictureBest_);
    if (!pictureBest_) return false;
    reference = pictureBest_->address;
    return true;
  }
  // A NOSCRIPT copy of a lazily loaded picture repeats what the scan already took.
  if (!found || fallback) return false;
  if (lazy) lazySeen_ = true;
  reference = std::move(best.address);
  return true;
}

bool ResponsiveImages::OtherTag(std::string_view tag, bool& emit, std::string& reference) {
  emit = false;
  if (!MayBeHandled(tag)) return false;
  const bool closing = tag.size() > 1 && tag[1] == '/';
  const std::string name = TagNameOf(tag);
  if (name == "NOSCRIPT") {
    inNoscript_ = !closing;
    return false;
  }
  if (name == "PICTURE") {
    if (!closing) {
      inPicture_ = true;
      pictureDone_ = false;
      pictureBest_.reset();
      return true;
    }
    if (inPicture_ && !pictureDone_ && pictureBest_) {
      emit = true;
      reference = pictureBest_->address;
    }
    inPicture_ = false;
    pictureBest_.reset();
    return true;
  }
  if (name == "SOURCE" && inPicture_) {
    ImageCandidate best;
    bool lazy = false;
    if (!closing && !pictureDone_ && Largest(tag, false, best, lazy)) {
      Consider(best, types_, pictureBest_);
      if (lazy) lazySeen_ = true;
    }
    return true;
  }
  return false;
}

}  // namespace harvelo
