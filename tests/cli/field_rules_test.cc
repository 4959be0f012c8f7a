#include "cli/field_rules.h"

#include <gtest/gtest.h>

namespace harvelo::cli {
namespace {

TEST(FieldRulesTest, TargetTypesBecomeUpperCaseAfterCommas) {
  EXPECT_EQ(NormaliseTargetTypes("jpg,gif"), ",JPG,GIF");
  EXPECT_EQ(NormaliseTargetTypes(",JPG,GIF"), ",JPG,GIF");
  EXPECT_EQ(NormaliseTargetTypes(" jpg , Gif,,mpeg, "), ",JPG,GIF,MPEG");
  EXPECT_EQ(NormaliseTargetTypes("png"), ",PNG");
  EXPECT_EQ(NormaliseTargetTypes(""), "");
  EXPECT_EQ(NormaliseTargetTypes(" , ,"), "");
}

TEST(FieldRulesTest, DirectoryAndPrefixGainTheirSeparatorOnce) {
  EXPECT_EQ(DestinationFieldText("x"), "x/");
  EXPECT_EQ(DestinationFieldText("/tmp/pics/"), "/tmp/pics/");
  EXPECT_EQ(DestinationFieldText(""), "");
  EXPECT_EQ(PrefixFieldText("img"), "img_");
  EXPECT_EQ(PrefixFieldText("AAA_"), "AAA_");
  EXPECT_EQ(PrefixFieldText(""), "");
}

TEST(FieldRulesTest, AddressesKeepHttpAndHttpsGainHttpAndRefuseOtherSchemes) {
  EXPECT_EQ(NormaliseAddress("http://a/b.html"), "http://a/b.html");
  EXPECT_EQ(NormaliseAddress("HTTPS://a/"), "HTTPS://a/");
  EXPECT_EQ(NormaliseAddress("example.com/g.html"), "http://example.com/g.html");
  // A host with a port is not a scheme.
  EXPECT_EQ(NormaliseAddress("localhost:8080/g"), "http://localhost:8080/g");
  EXPECT_EQ(NormaliseAddress("ftp://a/b.jpg"), std::nullopt);
  EXPECT_EQ(NormaliseAddress("file:///etc/passwd"), std::nullopt);
  EXPECT_EQ(NormaliseAddress(""), std::nullopt);
}

}  // namespace
}  // namespace harvelo::cli
