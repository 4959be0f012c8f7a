// How a page scan reads pictures the way pages are written today: the largest variant
// of an IMG's srcset, lazy-loading attributes that stand for src, a PICTURE's SOURCE
// elements (one picture, one entry) and image addresses with a query. The scan asks it
// about IMG tags and about the tags it does not know itself.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "engine/srcset.h"
#include "engine/tag_attributes.h"

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
  // A chosen candidate, owning its address.
  struct Choice {
    bool found = false;
    std::string address;
    ImageCandidate size;  // its descriptors (the address view is not used)
  };
  // Takes `candidate` into `choice` when it is a target type (or names no file type)
  // and larger.
  void Consider(const ImageCandidate& candidate, Choice& choice) const;
  // The largest target-type candidate of the tag's srcset (data-srcset first) and, for
  // an IMG, its src (a lazy-loading attribute first) taken as 1x, into `choice`.
  // `lazy`: the tag had a lazy-loading attribute.
  void Largest(std::string_view tag, bool isImg, Choice& choice, bool& lazy);

  std::string_view types_;
  bool inPicture_ = false;
  bool pictureDone_ = false;  // the picture's IMG has been read
  Choice picture_;
  bool inNoscript_ = false;
  bool lazySeen_ = false;       // a lazily loaded picture was listed on this page
  bool pictureIsCopy_ = false;  // the PICTURE under way repeats one listed before
  // A NOSCRIPT after a lazily loaded picture repeats it for browsers without scripts,
  // often naming a smaller variant: what it holds is not listed again.
  bool InNoscriptCopy() const { return inNoscript_ && lazySeen_; }
  // Reused from one tag to the next.
  TagAttributes attributes_;
  std::vector<ImageCandidate> candidates_;
  std::string decodedSrcset_;
  std::string decodedSrc_;
  Choice tagChoice_;
};

}  // namespace harvelo
