#include "engine_fixture.h"

namespace harvelo::testing {
namespace {

using ProgressTest = EngineTest;

TEST_F(ProgressTest, MinimumSizeIsDecidedOnTheAnnouncedLengthBeforeTheBody) {
  settings.minimumSizeKb = 20;
  EXPECT_EQ(Engine::Resource_Progress(&engine, 0, 15000, 0), 0);
  EXPECT_EQ(engine.tooSmall, 1);
  engine.tooSmall = 0;
  EXPECT_EQ(Engine::Resource_Progress(&engine, 0, 20480, 0), 1);
  EXPECT_EQ(engine.tooSmall, 0);
  EXPECT_EQ(Engine::Resource_Progress(&engine, 0, 20479, 0), 0);
  // Without a length the response counts as empty.
  engine.tooSmall = 0;
  EXPECT_EQ(Engine::Resource_Progress(&engine, 0, 0, 0), 0);
  EXPECT_EQ(engine.tooSmall, 1);
  // Only the first report decides.
  engine.tooSmall = 0;
  EXPECT_EQ(Engine::Resource_Progress(&engine, 1, 100, 100), 1);
  EXPECT_EQ(engine.tooSmall, 0);
}

TEST_F(ProgressTest, NothingIsTooSmallWithAMinimumOfZeroNorForAPage) {
  settings.minimumSizeKb = 0;
  EXPECT_EQ(Engine::Resource_Progress(&engine, 0, 0, 0), 1);
  settings.minimumSizeKb = 20;
  EXPECT_EQ(Engine::Page_Progress(&engine, 0, 0, 0), 1);
  EXPECT_EQ(engine.tooSmall, 0);
}

TEST_F(ProgressTest, MovesTheFileBarAndPumps) {
  EXPECT_EQ(Engine::Page_Progress(&engine, 3, 2000, 500), 1);
  EXPECT_EQ(Engine::Page_Progress(&engine, 4, 3, 2), 1);
  EXPECT_EQ(Engine::Page_Progress(&engine, 5, 0, 700), 1);
  EXPECT_EQ(window.CallsStartingWith("pos"),
            (std::vector<std::string>{"pos 1021 25", "pos 1021 66", "pos 1021 0"}));
  EXPECT_EQ(window.pumps, 3);
}

TEST_F(ProgressTest, ABodyFarLongerThanAnnouncedKeepsTheBarPositive) {
  EXPECT_EQ(Engine::Page_Progress(&engine, 9, 1, 2147483647), 1);
  EXPECT_EQ(Engine::Page_Progress(&engine, 9, -1, 2147483647), 1);
  EXPECT_EQ(window.CallsStartingWith("pos"),
            (std::vector<std::string>{"pos 1021 2147483647", "pos 1021 -2147483648"}));
}

TEST_F(ProgressTest, StopCancelsTheTransfer) {
  window.onPump = [this](int) { engine.OnStop(); };
  EXPECT_EQ(Engine::Resource_Progress(&engine, 1, 100, 50), 0);
  EXPECT_EQ(engine.tooSmall, 0);
}

}  // namespace
}  // namespace harvelo::testing
