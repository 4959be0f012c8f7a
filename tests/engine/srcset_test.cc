// The srcset reader against the way browsers read the attribute, and the choice of the
// largest candidate.
#include "engine/srcset.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace harvelo {
namespace {

// "address width density" per candidate, for compact expectations.
std::vector<std::string> Read(std::string_view text) {
  std::vector<std::string> out;
  for (const ImageCandidate& c : ParseSrcset(text)) {
    out.push_back(std::string(c.address) + " " + std::to_string(c.width) + " " +
                  std::to_string(c.density).substr(0, 4));
  }
  return out;
}

using Strings = std::vector<std::string>;

TEST(SrcsetTest, CandidatesWithWidthsDensitiesAndNone) {
  EXPECT_EQ(Read("photo-480.jpg 480w, photo-1600.jpg 1600w"),
            (Strings{"photo-480.jpg 480 1.00", "photo-1600.jpg 1600 1.00"}));
  // A comma right after an address without a blank is part of it.
  EXPECT_EQ(Read(" a.jpg,b.jpg 2x ,\n\tc.jpg 1.5x"),
            (Strings{"a.jpg,b.jpg 0 2.00", "c.jpg 0 1.50"}));
  EXPECT_EQ(Read(""), Strings{});
  EXPECT_EQ(Read(" , ,, "), Strings{});
}

TEST(SrcsetTest, CommasInsideAddressesAndDescriptors) {
  // A CDN's transformations hold commas; only a comma after blanks or at the end of an
  // address separates candidates.
  EXPECT_EQ(Read("https://cdn.example/w_300,h_200/p.jpg 300w,https://cdn.example/w_900,h_600/"
                 "p.jpg 900w"),
            (Strings{"https://cdn.example/w_300,h_200/p.jpg 300 1.00",
                     "https://cdn.example/w_900,h_600/p.jpg 900 1.00"}));
  EXPECT_EQ(Read("a.jpg,,, b.jpg"), (Strings{"a.jpg 0 1.00", "b.jpg 0 1.00"}));
  // A comma inside parentheses does not end the descriptors (which are then refused).
  EXPECT_EQ(Read("a.jpg 1x (x, y), b.jpg 2x"), (Strings{"b.jpg 0 2.00"}));
  EXPECT_EQ(Read("a.jpg 100w 50h"), (Strings{"a.jpg 100 1.00"}));
}

TEST(SrcsetTest, CandidatesABrowserRefusesAreLeftOut) {
  for (const char* bad : {"a.jpg 0w", "a.jpg -1x", "a.jpg 1x 2x", "a.jpg 100w 2x", "a.jpg 2x 100w",
                          "a.jpg 50h", "a.jpg 1.x", "a.jpg +2x", "a.jpg 2q", "a.jpg 10.5w",
                          "a.jpg w", "a.jpg 1e400x", "a.jpg 100w 0h", "a.jpg 2x 50h"}) {
    EXPECT_EQ(Read(bad), Strings{}) << bad;
  }
  // Valid floating-point forms.
  EXPECT_EQ(Read("a.jpg .5x, b.jpg 1e1x, c.jpg 0x"),
            (Strings{"a.jpg 0 0.50", "b.jpg 0 10.0", "c.jpg 0 0.00"}));
  // A width beyond 64 bits saturates instead of wrapping to something small.
  ASSERT_EQ(ParseSrcset("a.jpg 99999999999999999999999w").size(), 1u);
  EXPECT_EQ(ParseSrcset("a.jpg 99999999999999999999999w")[0].width, UINT64_MAX);
}

TEST(SrcsetTest, LargestIsTheWidestWidthElseTheHighestDensity) {
  const auto c = ParseSrcset("s.jpg 480w, l.jpg 1600w, m.jpg 800w");
  EXPECT_TRUE(IsLargerCandidate(c[1], c[0]));
  EXPECT_FALSE(IsLargerCandidate(c[0], c[2]));
  const auto d = ParseSrcset("one.jpg, two.jpg 2x, half.jpg 0.5x");
  EXPECT_TRUE(IsLargerCandidate(d[1], d[0]));
  EXPECT_TRUE(IsLargerCandidate(d[0], d[2]));
  EXPECT_FALSE(IsLargerCandidate(d[0], d[0]));
  // Any width beats any density.
  EXPECT_TRUE(IsLargerCandidate(c[0], d[1]));
  EXPECT_FALSE(IsLargerCandidate(d[1], c[0]));
}

}  // namespace
}  // namespace harvelo
