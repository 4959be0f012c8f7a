// The partial files bodies are received into, and the walk over free names that every
// stored body takes: names taken meanwhile by another process are passed over, an empty
// file counts as free, and the walk ends.
#include "http/partial_files.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "http/http_fetcher.h"
#include "support/temp_dir.h"

namespace harvelo {
namespace {

using testing::Exists;
using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

// Each body has a name of its own, beside its final one, that tells the process; the
// second interrupt's handler removes those of the live folders, and nothing else.
TEST(PartialFiles, NamesTellTheProcessAndTheInterruptRemovesThem) {
  TempDir one, two;
  WriteBytes(one.file("AAA_001.jpg"), "stored");
  std::string first, second, third;
  {
    const PartialFiles files(one.dir());
    const PartialFiles others(two.dir());
    const int a = files.Create(first);
    const int b = files.Create(second);
    const int c = others.Create(third);
    ASSERT_GE(a, 0);
    ASSERT_GE(b, 0);
    ASSERT_GE(c, 0);
    const std::string pid = std::to_string(::getpid());
    EXPECT_TRUE(first.starts_with(one.dir() + ".harvelo." + pid + "-")) << first;
    EXPECT_TRUE(first.ends_with(".hvpart"));
    EXPECT_NE(first, second);
    for (const int fd : {a, b, c}) ::close(fd);
    RemovePartialDownloadNow();
  }
  EXPECT_FALSE(Exists(first));
  EXPECT_FALSE(Exists(second));
  EXPECT_FALSE(Exists(third));
  EXPECT_EQ(ReadBytes(one.file("AAA_001.jpg")), "stored");
}

TEST(TakeFreeName, PassesOverNamesTakenMeanwhileAndEndsOnItsBound) {
  auto next = [](const std::string& taken) {
    const int n = taken == "a.jpg" ? 2 : std::stoi(taken.substr(2, 2)) + 1;
    return "a_" + std::string(n < 10 ? "0" : "") + std::to_string(n) + ".jpg";
  };
  const struct {
    int takenInARow;
    bool stored;
    std::string name;
  } cases[] = {{0, true, "a.jpg"}, {3, true, "a_04.jpg"}, {1000, false, ""}};
  for (const auto& c : cases) {
    std::vector<std::string> tried;
    std::string to = "a.jpg";
    const bool stored = TakeFreeName(
        to, next,
        [&](const std::string& name) {
          tried.push_back(name);
          return static_cast<int>(tried.size()) > c.takenInARow ? 0 : EEXIST;
        },
        nullptr);
    EXPECT_EQ(stored, c.stored) << c.takenInARow;
    if (stored) {
      EXPECT_EQ(to, c.name);
    }
    EXPECT_EQ(tried.size(), static_cast<size_t>(std::min(c.takenInARow + 1, 1000)));
  }
}

TEST(TakeFreeName, AnEmptyFileIsReplacedAndOneWithDataNever) {
  TempDir dir;
  for (const std::string& held : {std::string(), std::string("the user's")}) {
    WriteBytes(dir.file("x.jpg"), held);
    WriteBytes(dir.file("body"), "body");
    std::string to = dir.file("x.jpg");
    ASSERT_TRUE(MoveWithoutReplacing(
        dir.file("body"), to, [&](const std::string&) { return dir.file("x_02.jpg"); }, true));
    EXPECT_EQ(to, held.empty() ? dir.file("x.jpg") : dir.file("x_02.jpg"));
    EXPECT_EQ(ReadBytes(to), "body");
    if (!held.empty()) {
      EXPECT_EQ(ReadBytes(dir.file("x.jpg")), held);
    }
  }
}

}  // namespace
}  // namespace harvelo
