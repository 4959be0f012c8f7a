#include "engine/prefix_increment.h"

#include <gtest/gtest.h>

namespace harvelo {
namespace {

std::string Advanced(std::string prefix) {
  AdvancePrefix(prefix);
  return prefix;
}

TEST(AdvancePrefix, StepsTheCharacterBeforeTheSeparator) {
  EXPECT_EQ(Advanced("AAA_"), "AAB_");
  EXPECT_EQ(Advanced("abc_"), "abd_");
  EXPECT_EQ(Advanced("x0-"), "x1-");
  // The last character that steps without a carry.
  EXPECT_EQ(Advanced("x8_"), "x9_");
  EXPECT_EQ(Advanced("ay_"), "az_");
  EXPECT_EQ(Advanced("AY_"), "AZ_");
}

TEST(AdvancePrefix, CarriesThroughWrappingCharacters) {
  EXPECT_EQ(Advanced("AAZ_"), "ABA_");
  EXPECT_EQ(Advanced("pic9_"), "pid0_");
  EXPECT_EQ(Advanced("az9_"), "ba0_");
}

TEST(AdvancePrefix, DropsACarryPastTheFirstCharacter) {
  EXPECT_EQ(Advanced("ZZZ_"), "AAA_");
  EXPECT_EQ(Advanced("99_"), "00_");
}

TEST(AdvancePrefix, StopsAtACharacterThatIsNoLetterOrDigit) {
  EXPECT_EQ(Advanced("a-9_"), "a-0_");
  EXPECT_EQ(Advanced("A__"), "A__");
}

TEST(AdvancePrefix, NeverChangesTheLastCharacter) {
  EXPECT_EQ(Advanced("A"), "A");
  EXPECT_EQ(Advanced("9"), "9");
  EXPECT_EQ(Advanced(""), "");
  EXPECT_EQ(Advanced("AA"), "BA");
}

}  // namespace
}  // namespace harvelo
