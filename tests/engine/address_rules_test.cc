#include "engine/address_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

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

// A page's references resolved as a browser resolves them: against the page, or against
// the first BASE (itself resolved against the page).
struct ResolveCase {
  const char* reference;
  std::vector<const char*> bases;  // the page's BASE HREFs, in order
  const char* expected;
};

constexpr const char* kPage = "http://host/dir/two.html?p=1#here";

TEST(ReferenceResolver, ResolvesAsABrowserDoes) {
  const ResolveCase cases[] = {
      // Names with several dots are file names, not hosts.
      {"photo.large.jpg", {}, "http://host/dir/photo.large.jpg"},
      {"IMG_1234.min.jpg", {}, "http://host/dir/IMG_1234.min.jpg"},
      {"www.other.com/a.jpg", {}, "http://host/dir/www.other.com/a.jpg"},
      {"a.jpg,b.jpg", {}, "http://host/dir/a.jpg,b.jpg"},
      {"v/c_fill,w_800/p.jpg", {}, "http://host/dir/v/c_fill,w_800/p.jpg"},
      // What the old rule got right stays.
      {"dir2/x.jpg", {}, "http://host/dir/dir2/x.jpg"},
      {"/root/x.jpg", {}, "http://host/root/x.jpg"},
      {"../x.jpg", {}, "http://host/x.jpg"},
      {"http://other.org/x.jpg?s=2", {}, "http://other.org/x.jpg?s=2"},
      // Dot segments.
      {"./b.jpg", {}, "http://host/dir/b.jpg"},
      {"a/./b/../c.jpg", {}, "http://host/dir/a/c.jpg"},
      {"../../../up.jpg", {}, "http://host/up.jpg"},
      // Scheme-relative, upper-case schemes, queries.
      {"//cdn.example.net/a.jpg", {}, "http://cdn.example.net/a.jpg"},
      {"HTTPS://cdn.example.net/B.JPG", {}, "https://cdn.example.net/B.JPG"},
      {"?p=2", {}, "http://host/dir/two.html?p=2"},
      // Fragments are never sent; blanks around an address are not part of it.
      {"x.jpg#top", {}, "http://host/dir/x.jpg"},
      {"#top", {}, "http://host/dir/two.html?p=1"},
      {" \t\r\n x.jpg \n", {}, "http://host/dir/x.jpg"},
      {"a b.jpg", {}, "http://host/dir/a%20b.jpg"},
      {"a<b>\"c\".jpg", {}, "http://host/dir/a%3Cb%3E%22c%22.jpg"},
      {"t/?<?php print rand(); ?>", {}, "http://host/dir/t/?%3C?php%20print%20rand();%20?%3E"},
      // BASE: relative and root-relative ones resolve against the page; the first counts.
      {"b.jpg", {"sub/"}, "http://host/dir/sub/b.jpg"},
      {"r.jpg", {"/base/"}, "http://host/base/r.jpg"},
      {"r.jpg", {"/base/index.html"}, "http://host/base/r.jpg"},
      {"/r.jpg", {"https://other.org/pics/"}, "https://other.org/r.jpg"},
      {"//cdn/a.jpg", {"https://other.org/"}, "https://cdn/a.jpg"},
      {"b.jpg", {"first/", "second/"}, "http://host/dir/first/b.jpg"},
      {"../b.jpg", {"http://o.org/x/y/"}, "http://o.org/x/b.jpg"},
  };
  for (const ResolveCase& c : cases) {
    ReferenceResolver resolver(kPage);
    std::string resolvedBase;
    for (const char* base : c.bases) resolver.TakeBase(base, resolvedBase);
    EXPECT_EQ(resolver.Resolve(c.reference), c.expected) << "reference: " << c.reference;
  }
}

TEST(ReferenceResolver, OnlyTheFirstBaseIsTakenAndGivenResolved) {
  ReferenceResolver resolver("https://host/a/p.html");
  std::string base;
  EXPECT_TRUE(resolver.TakeBase(" ../b/ ", base));
  EXPECT_EQ(base, "https://host/b/");
  EXPECT_FALSE(resolver.TakeBase("http://later/", base));
  // A new page forgets the BASE of the last.
  resolver.SetPage("http://next/q/r.html");
  EXPECT_EQ(resolver.Resolve("s.jpg"), "http://next/q/s.jpg");
}

TEST(ReferenceResolver, WhatCantBeParsedStaysAsWritten) {
  ReferenceResolver resolver(kPage);
  EXPECT_EQ(resolver.Resolve(" javascript:show('a.jpg') "), "javascript:show('a.jpg')");
  // A page typed without a scheme is fetched as http, and so are its references.
  resolver.SetPage("www.example.com/g/p.html");
  EXPECT_EQ(resolver.Resolve("a.jpg"), "http://www.example.com/g/a.jpg");
}

}  // namespace
}  // namespace harvelo
