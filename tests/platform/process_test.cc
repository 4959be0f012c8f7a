#include "platform/process.h"

#include <gtest/gtest.h>

namespace harvelo {
namespace {

TEST(SpawnAndWait, ReportsTheChildsExitStatus) {
  int status = -1;
  ASSERT_EQ(SpawnAndWait("/bin/sh", {"sh", "-c", "exit 0"}, &status), 1);
  EXPECT_EQ(status, 0);
  ASSERT_EQ(SpawnAndWait("/bin/sh", {"sh", "-c", "exit 3"}, &status), 1);
  EXPECT_EQ(status, 3);
}

TEST(SpawnAndWait, PassesTheArgumentVectorUnchanged) {
  int status = -1;
  ASSERT_EQ(
      SpawnAndWait("/bin/sh",
                   {"sh", "-c", "[ \"$0\" = Inspector ] && [ \"$1\" = MSIE ]", "Inspector", "MSIE"},
                   &status),
      1);
  EXPECT_EQ(status, 0);
}

TEST(SpawnAndWait, AMissingProgramIsNotASuccess) {
  int status = 0;
  const int started = SpawnAndWait("/nonexistent/Inspector", {"Inspector", "MSIE"}, &status);
  EXPECT_TRUE(started == 0 || status != 0);
}

}  // namespace
}  // namespace harvelo
