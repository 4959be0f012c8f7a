// How references on a page become absolute addresses.
#pragma once
#include <curl/curl.h>

#include <memory>
#include <string>
#include <string_view>

namespace harvelo {

// Where the host part begins: just past "://" when the address begins with a scheme and
// "://", else 7 (where it stands in an "http://" address). 0 is never returned.
size_t HostStart(std::string_view address);

// base: the address without its query, cut before its last '/' past the scheme's "://";
// site: scheme and host. What the run shows of a page's place and sends as its Referer.
void Set_Base_And_Site(const std::string& address, std::string& baseAddress,
                       std::string& siteAddress);

// Resolves a page's references as a browser does: against the page's address, or against
// the first BASE element's address, by libcurl's URL parser (absolute only with a scheme,
// "//host" takes the base's scheme, dot segments removed). Surrounding white space is
// ignored and the fragment is never kept: it is not sent.
class ReferenceResolver {
 public:
  ReferenceResolver();
  explicit ReferenceResolver(std::string_view pageAddress);

  // The page's address (one without a scheme is taken as the fetch takes it). Clears any
  // BASE taken before.
  void SetPage(std::string_view pageAddress);
  // A BASE element's HREF: the first one becomes the base, resolved against the page,
  // and is given in `resolved`; later ones change nothing (false).
  bool TakeBase(std::string_view href, std::string& resolved);

  // The absolute address of `reference`, into `out` (its storage reused from one
  // reference to the next). What can't be parsed is kept as written, trimmed and
  // without its fragment, and fails when fetched.
  void Resolve(std::string_view reference, std::string& out);
  std::string Resolve(std::string_view reference);

 private:
  struct UrlFree {
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
  };
  using Url = std::unique_ptr<CURLU, UrlFree>;

  bool ResolveWithCurl(std::string_view reference, std::string& out);
  void SetBase(Url base);

  Url base_;
  bool base_taken_ = false;
  // For plain relative references, which are most of a page's: resolving one is then
  // putting it after one of these, exactly what the parser would give.
  std::string origin_;     // scheme and authority of the base
  std::string directory_;  // the base up to the last '/' of its path
  std::string base_text_;  // the base itself, without its fragment
  std::string work_;
};

}  // namespace harvelo
