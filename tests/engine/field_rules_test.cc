// The text rules behind the fields' loss of focus, on the examples a user meets.
#include "engine/field_rules.h"

#include <gtest/gtest.h>

namespace harvelo {
namespace {

TEST(AddressRule, PrefixesHttpOnlyWhenNoSchemeIsTyped) {
  EXPECT_EQ(AddressRule("www.example.test/gallery.html"), "http://www.example.test/gallery.html");
  EXPECT_EQ(AddressRule("localhost:8080/x"), "http://localhost:8080/x");
  EXPECT_EQ(AddressRule("ab"), "http://ab");
  EXPECT_EQ(AddressRule("://x"), "http://://x");
  EXPECT_EQ(AddressRule(""), "");
  // Any scheme in any letter case stays: https pages are no longer "http://https://...".
  EXPECT_EQ(AddressRule("http://a.test/"), "http://a.test/");
  EXPECT_EQ(AddressRule("hTTp://a.test/"), "hTTp://a.test/");
  EXPECT_EQ(AddressRule("https://a.test/"), "https://a.test/");
  EXPECT_EQ(AddressRule("HTTPS://a.test/"), "HTTPS://a.test/");
  EXPECT_EQ(AddressRule("ftp://a.test/"), "ftp://a.test/");
}

TEST(DestinationAndPrefixRules, AppendTheirSeparatorOnce) {
  EXPECT_EQ(DestinationRule("/home/u/pics"), "/home/u/pics/");
  EXPECT_EQ(DestinationRule("/home/u/pics/"), "/home/u/pics/");
  EXPECT_EQ(DestinationRule(""), "");
  EXPECT_EQ(PrefixRule("img"), "img_");
  EXPECT_EQ(PrefixRule("img_"), "img_");
  EXPECT_EQ(PrefixRule(""), "");
}

TEST(ResourceTypesRule, KeepsAPlainUpperCaseCommaList) {
  EXPECT_EQ(ResourceTypesRule(".jpg, .Gif ,,png"), "JPG,GIF,PNG");
  EXPECT_EQ(ResourceTypesRule("gif;png"), "GIFPNG");
  EXPECT_EQ(ResourceTypesRule("tif*:jp2"), "TIFJP2");
  EXPECT_EQ(ResourceTypesRule("JPG,JPEG,MPG,MPEG"), "JPG,JPEG,MPG,MPEG");
  EXPECT_EQ(ResourceTypesRule(",,a/b\\c?d+e|f,"), "ABCDEF");
  EXPECT_EQ(ResourceTypesRule(", , ,"), "");
  EXPECT_EQ(ResourceTypesRule("webp,-x_y"), "WEBP,-X_Y");
}

}  // namespace
}  // namespace harvelo
