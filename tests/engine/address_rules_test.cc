#include "engine/address_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace harvelo {
namespace {

std::pair<std::string, std::string> BaseAndSite(const std::string& address) {
  std::string base = "stale";
  std::string site = "stale";
  Set_Base_And_Site(address, base, site);
  return {base, site};
}

using Pair = std::pair<std::string, std::string>;

TEST(SetBaseAndSite, DirectoryPageAndQuery) {
  EXPECT_EQ(BaseAndSite("http://example.com/gallery/2003/page.php?id=7"),
            Pair("http://example.com/gallery/2003", "http://example.com"));
  // The base loses everything from the last '?' before its last '/' is looked for.
  EXPECT_EQ(BaseAndSite("http://h.com/d/p.php?u=/a/b"), Pair("http://h.com/d", "http://h.com"));
  EXPECT_EQ(BaseAndSite("http://h.com/d/p?x=/y?z"), Pair("http://h.com/d/p?x=", "http://h.com"));
}

TEST(SetBaseAndSite, BareHostWithOrWithoutFinalSlash) {
  EXPECT_EQ(BaseAndSite("http://example.com"), Pair("http://example.com", "http://example.com"));
  EXPECT_EQ(BaseAndSite("http://example.com/"), Pair("http://example.com", "http://example.com"));
  EXPECT_EQ(BaseAndSite("http://example.com/dir/"),
            Pair("http://example.com/dir", "http://example.com"));
}

TEST(SetBaseAndSite, HttpsPagesGetTheirHostAsSite) {
  // The slash search starts past "https://", not on its second slash.
  EXPECT_EQ(BaseAndSite("https://example.com/g/p.html"),
            Pair("https://example.com/g", "https://example.com"));
  EXPECT_EQ(BaseAndSite("https://example.com"), Pair("https://example.com", "https://example.com"));
  EXPECT_EQ(BaseAndSite("https://example.com/"),
            Pair("https://example.com", "https://example.com"));
  EXPECT_EQ(BaseAndSite("HTTPS://e.com/a/b"), Pair("HTTPS://e.com/a", "HTTPS://e.com"));
  EXPECT_EQ(BaseAndSite("ftp://e.com/a/b"), Pair("ftp://e.com/a", "ftp://e.com"));
}

TEST(SetBaseAndSite, AddressesWithoutSchemeKeepTheSeventhCharacterRule) {
  EXPECT_EQ(BaseAndSite("www.example.com/g/p.html"), Pair("www.example.com/g", "www.example.com"));
  EXPECT_EQ(BaseAndSite("a.b/c/d"), Pair("a.b/c/d", "a.b/c/d"));  // both slashes before index 7
  EXPECT_EQ(BaseAndSite(""), Pair("", ""));
  EXPECT_EQ(BaseAndSite("http:/"), Pair("http:/", "http:/"));
}

constexpr const char* kBase = "http://example.com/gallery";
constexpr const char* kSite = "http://example.com";

std::string Resolve(const std::string& reference) {
  return Resolve_Reference(reference, kBase, kSite);
}

TEST(ResolveReference, RelativeReferencesGoUnderTheBase) {
  EXPECT_EQ(Resolve("photos/big.jpg"), "http://example.com/gallery/photos/big.jpg");
  EXPECT_EQ(Resolve("big.jpg?id=3"), "http://example.com/gallery/big.jpg?id=3");
  EXPECT_EQ(Resolve("page"), "http://example.com/gallery/page");
  EXPECT_EQ(Resolve(""), "http://example.com/gallery/");
  // A dot right after the first dot marks a dot segment, not a host.
  EXPECT_EQ(Resolve("../up/a.jpg"), "http://example.com/gallery/../up/a.jpg");
}

TEST(ResolveReference, RootedReferencesGoAfterTheSite) {
  EXPECT_EQ(Resolve("/img/a.jpg"), "http://example.com/img/a.jpg");
  EXPECT_EQ(Resolve("/"), "http://example.com/");
}

TEST(ResolveReference, HostsWithTwoDotsStayAsWritten) {
  EXPECT_EQ(Resolve("http://www.other.com/a.jpg"), "http://www.other.com/a.jpg");
  EXPECT_EQ(Resolve("www.other.com/a.jpg"), "www.other.com/a.jpg");
  EXPECT_EQ(Resolve("a.b.c"), "a.b.c");
}

TEST(ResolveReference, AnAddressWithSchemeIsCompleteWhateverItsDots) {
  EXPECT_EQ(Resolve("http://localhost/a.jpg"), "http://localhost/a.jpg");
  EXPECT_EQ(Resolve("http://localhost/a"), "http://localhost/a");
  EXPECT_EQ(Resolve("HTTPS://intranet/x/y.jpg"), "HTTPS://intranet/x/y.jpg");
  EXPECT_EQ(Resolve("http://127.0.0.1:8080/a.jpg"), "http://127.0.0.1:8080/a.jpg");
}

TEST(ResolveReference, ProtocolRelativeReferencesTakeTheBaseScheme) {
  EXPECT_EQ(Resolve("//cdn.example.net/a.jpg"), "http://cdn.example.net/a.jpg");
  EXPECT_EQ(Resolve_Reference("//cdn/a.jpg", "https://e.com/g", "https://e.com"),
            "https://cdn/a.jpg");
  // A base typed without a scheme is fetched as http.
  EXPECT_EQ(Resolve_Reference("//cdn/a.jpg", "www.e.com/g", "www.e.com"), "http://cdn/a.jpg");
}

TEST(ResolveReference, HttpsPageRootedReferenceEndToEnd) {
  std::string base;
  std::string site;
  Set_Base_And_Site("https://photos.example.org/albums/index.html", base, site);
  EXPECT_EQ(Resolve_Reference("/img/1.jpg", base, site), "https://photos.example.org/img/1.jpg");
  EXPECT_EQ(Resolve_Reference("t/1.jpg", base, site), "https://photos.example.org/albums/t/1.jpg");
}

}  // namespace
}  // namespace harvelo
