// How a page scan reads pictures the way pages are written today: the largest variant
// of an IMG's srcset, lazy-loading attributes that stand for src, a PICTURE's SOURCE
// elements (one picture, one entry) and image addresses with a query. The scan asks it
// about IMG tags and about the tags it does not know itself.
#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "engine/srcset.h"

namespace harvelo {

// True when `address` names one of the target types: its extension is what follows the
// last '.' before the first '?' or '#', upper-cased. A "data:" address never does.
bool IsImageTarget(std::string_view address, std::string_view targetTypes);

class ResponsiveImages {
 public:
  explicit ResponsiveImages(std::string_view targetTypes) : types_(targetTypes) {}

  // An IMG tag (its token text). True with `reference` (as written, character
  // references decoded) when it brings a picture to list.
  bool Img(std::string_view tag, std::string& reference);

  // A tag the scan has no rule for. True when it is PICTURE or a SOURCE inside one: such
  // a tag does not end a pending page link. A closing PICTURE whose picture had no IMG
  // may bring the picture's reference (`emit`).
  bool OtherTag(std::string_view tag, bool& emit, std::string& reference);

 private:
  // The largest target-type candidate of the tag's srcset (data-srcset first) and, for
  // an IMG, its src (a lazy-loading attribute first) taken as 1x. False when none.
  bool Largest(std::string_view tag, bool isImg, ImageCandidate& best, bool& lazy) const;

  std::string_view types_;
  bool inPicture_ = false;
  bool pictureDone_ = false;  // the picture's IMG has been read
  std::optional<ImageCandidate> pictureBest_;
  bool inNoscript_ = false;
  bool lazySeen_ = false;  // a lazily loaded picture was listed on this page
};

}  // namespace harvelo
