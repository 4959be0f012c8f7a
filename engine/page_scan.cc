#include "engine/page_scan.h"

#include <cstring>
#include <optional>
#include <string_view>

#include "engine/address_rules.h"
#include "engine/responsive_images.h"
#include "engine/target_types.h"
#include "engine/text_limits.h"

namespace harvelo {
namespace {

// The link types that make an A tag a page that may stand around a thumbnail.
constexpr std::string_view kPageTypes = ",HTM,HTML,PHP,ASP,CGI";

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

// The extension of an upper-cased value: what follows its last '.', up to the first '?'
// after it when `cutQuery`. False when the value has no '.'.
bool ExtensionOf(const char* upper, bool cutQuery, std::string_view* extension) {
  const char* dot = std::strrchr(upper, '.');
  if (dot == nullptr) return false;
  std::string_view rest(dot + 1);
  if (cutQuery) rest = rest.substr(0, rest.find('?'));
  // Blanks around an address are not part of it.
  while (!rest.empty() && IsBlank(rest.back())) rest.remove_suffix(1);
  *extension = rest;
  return true;
}

// Resolves `reference` into `scratch` (reused for every reference) and appends it. A list
// entry that can't be had is dropped; the scan goes on with the rest.
void Append(CNameList* list, std::string_view reference, ReferenceResolver& resolver,
            std::string& scratch, int kind, const char* cookie = nullptr,
            const char* referrer = nullptr) {
  if (list == nullptr) return;
  resolver.Resolve(reference, scratch);
  list->PushBack(scratch.c_str(), kind, cookie, referrer);
}

}  // namespace

void ScanPage(HTMLFile& file, const PageScanTarget& target) {
  const std::string_view targetTypes =
      target.targetTypes != nullptr ? std::string_view(*target.targetTypes) : std::string_view();
  ReferenceResolver resolver(target.pageAddress != nullptr ? std::string_view(*target.pageAddress)
                                                           : std::string_view());
  const char* cookie = target.cookie != nullptr && *target.cookie != '\0' ? target.cookie : nullptr;
  const char* referrer =
      target.referrer != nullptr && *target.referrer != '\0' ? target.referrer : nullptr;

  bool inTitle = false;
  bool linkPending = false;
  std::string pendingPage;
  std::string scratch;
  std::string_view extension;
  std::optional<ResponsiveImages> modern;
  if (target.modernPages) modern.emplace(targetTypes);
  std::string picture;
  bool emit = false;
  // An embedded picture found: listed, with the page link that stands around it.
  auto listImage = [&](std::string_view reference) {
    const int kind = IsImageTarget(reference, targetTypes) ? ResourceEntry : TypedPictureEntry;
    Append(target.images, reference, resolver, scratch, kind);
    if (linkPending) Append(target.pages, pendingPage, resolver, scratch, ResourceEntry);
  };

  // The words of a text matter only in the title.
  while (file.NextToken(inTitle && target.pageTitle != nullptr) != 0) {
    switch (file.kind) {
      case kTokenTitle:
        inTitle = file.closing == 1;
        break;

      case kTokenA:
        linkPending = false;
        if (file.closing != 1 || file.ExtractHref() == 0) break;
        if (!ExtensionOf(file.UpperTokenToWork(), true, &extension)) break;
        if (HasTargetType(targetTypes, extension)) {
          Append(target.links, file.token(), resolver, scratch, ResourceEntry);
        } else if (HasTargetType(kPageTypes, extension)) {
          pendingPage = file.token();
          linkPending = true;
        }
        break;

      case kTokenImg:
        if (modern) {
          if (modern->Img(file.token(), picture)) listImage(picture);
        } else if (file.ExtractSrc() != 0 &&
                   ExtensionOf(file.UpperTokenToWork(), false, &extension) &&
                   HasTargetType(targetTypes, extension)) {
          Append(target.images, file.token(), resolver, scratch, ResourceEntry);
          if (linkPending) {
            Append(target.pages, pendingPage, resolver, scratch, ResourceEntry);
          }
        }
        linkPending = false;
        break;

      case kTokenFrame:
        if (file.ExtractSrc() != 0 && target.queue != nullptr) {
          resolver.Resolve(file.token(), scratch);
          if (target.reachedPages == nullptr || target.reachedPages->insert(scratch).second) {
            target.queue->PushBack(scratch.c_str(), PageEntry, cookie, referrer);
          }
        }
        linkPending = false;
        break;

      case kTokenBase:
        // References before the tag keep what they got; the pending link stays.
        if (file.ExtractHref() != 0 && resolver.TakeBase(file.token(), scratch) && target.onBase) {
          target.onBase(scratch);
        }
        break;

      case kTokenText:
        linkPending = false;
        if (inTitle && target.pageTitle != nullptr) {
          std::string& title = *target.pageTitle;
          if (!title.empty()) title.push_back(' ');
          title.append(file.token());
          // A title without end keeps its beginning; the rest of the page is still read.
          if (title.size() > kMaxKeptText) title.resize(kMaxKeptText);
        }
        break;

      default:
        if (modern && modern->OtherTag(file.token(), emit, picture)) {
          if (!emit) break;
          listImage(picture);
        }
        linkPending = false;
        break;
    }
  }
}

}  // namespace harvelo
