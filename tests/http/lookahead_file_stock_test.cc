// The files that bodies fetched ahead are received into: without a name, or partial files.
#include "http/lookahead_file_stock.h"

#include <gmock/gmock.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>

#include "support/file_size_limit.h"
#include "support/temp_dir.h"

namespace harvelo::testing {
namespace {

std::vector<std::string> Names(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir)) {
    names.push_back(e.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

int PrivateFiles(const std::string& dir) {
  int n = 0;
  for (const std::string& name : Names(dir)) n += name.ends_with(".hvpart") ? 1 : 0;
  return n;
}

bool Eventually(const std::function<bool()>& condition) {
  for (int i = 0; i < 500; ++i) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return condition();
}

TEST(AheadFileStock, FilesWithoutANameLeaveNothingInTheDirectoryUntilNamed) {
  TempDir dest;
  const PartialFiles files(dest.dir());
  {
    AheadFileStock stock(files, 4);
    AheadFile file = stock.Take();
    ASSERT_GE(file.fd, 0);
    ASSERT_TRUE(file.anonymous) << "this file system has O_TMPFILE";
    ASSERT_EQ(::write(file.fd, "body", 4), 4);
    // Neither the file taken nor the stock is in the directory.
    EXPECT_TRUE(Names(dest.dir()).empty());
    std::string named;
    ASSERT_TRUE(files.Name(file.fd, named));
    ::close(file.fd);
    EXPECT_EQ(ReadBytes(named), "body");
    EXPECT_EQ(PrivateFiles(dest.dir()), 1);
    ::unlink(named.c_str());
  }
  EXPECT_TRUE(Names(dest.dir()).empty());
}

TEST(AheadFileStock, NamedFilesAreMadeAheadAndTheUntakenOnesRemoved) {
  TempDir dest;
  const PartialFiles files(dest.dir());
  AheadFile kept;
  {
    AheadFileStock stock(files, 3, false);
    // The thread fills the stock before anyone asks.
    ASSERT_TRUE(Eventually([&] { return PrivateFiles(dest.dir()) == 3; }));
    kept = stock.Take();
    ASSERT_GE(kept.fd, 0);
    EXPECT_EQ(std::filesystem::path(kept.path).filename().string(),
              ".harvelo." + std::to_string(::getpid()) + "-" +
                  kept.path.substr(kept.path.rfind('-') + 1));
    std::vector<std::string> paths = {kept.path};
    // Once it runs half empty, it is filled again.
    const AheadFile second = stock.Take();
    ASSERT_GE(second.fd, 0);
    ::close(second.fd);
    paths.push_back(second.path);
    ASSERT_TRUE(Eventually([&] { return PrivateFiles(dest.dir()) == 5; }));
    for (int i = 0; i < 4; ++i) {  // more than the stock holds: made at once
      const AheadFile file = stock.Take();
      ASSERT_GE(file.fd, 0);
      EXPECT_THAT(paths, ::testing::Not(::testing::Contains(file.path)));
      paths.push_back(file.path);
      ::close(file.fd);
    }
  }
  // Untaken files went with the stock; the taken ones are their takers' to remove.
  EXPECT_TRUE(std::filesystem::exists(kept.path));
  EXPECT_EQ(PrivateFiles(dest.dir()), 6);
  ::close(kept.fd);
}

TEST(AheadFileStock, TheThreadWritesBodiesAndTellsWhenOneCouldNotBeWritten) {
  TempDir dest;
  const PartialFiles files(dest.dir());
  for (const bool anonymous : {true, false}) {
    SCOPED_TRACE(anonymous ? "without a name" : "named");
    AheadFileStock stock(files, 2, anonymous);
    const AheadFile small = stock.Take();
    const AheadFile large = stock.Take();
    ASSERT_GE(small.fd, 0);
    ASSERT_GE(large.fd, 0);
    const auto smallBody = std::make_shared<const std::string>(30000, 's');
    const auto largeBody = std::make_shared<const std::string>(90000, 'l');
    {
      const FileSizeLimit limit(64 * 1024);
      const auto smallWrite = stock.WriteLater(small.fd, smallBody);
      const auto largeWrite = stock.WriteLater(large.fd, largeBody);
      EXPECT_TRUE(stock.Wait(*smallWrite));
      EXPECT_FALSE(stock.Wait(*largeWrite)) << "a body cut by the limit counts as written";
    }
    std::string back(30000, '\0');
    ASSERT_EQ(::pread(small.fd, back.data(), back.size(), 0), 30000);
    EXPECT_EQ(back, *smallBody);
    for (const AheadFile* file : {&small, &large}) {
      ::close(file->fd);
      if (!file->anonymous) ::unlink(file->path.c_str());
    }
  }
}

// A body coming into memory takes only a file that is ready: none is made while the
// transfers wait, and its write takes one (of the stock, or made then) once it is whole.
TEST(AheadFileStock, OnlyAReadyFileIsTakenWithoutMakingOne) {
  TempDir dest;
  const PartialFiles files(dest.dir());
  AheadFileStock stock(files, 0, false);
  EXPECT_LT(stock.TakeReady().fd, 0);
  EXPECT_EQ(PrivateFiles(dest.dir()), 0);
}

TEST(AheadFileStock, AWriteWithoutAFileTakesOneAndTheBodyIsInIt) {
  TempDir dest;
  const PartialFiles files(dest.dir());
  for (const size_t depth : {0, 2}) {
    for (const bool anonymous : {true, false}) {
      SCOPED_TRACE(std::to_string(depth) + (anonymous ? " without a name" : " named"));
      AheadFileStock stock(files, depth, anonymous);
      const auto body = std::make_shared<const std::string>(30000, 'b');
      const auto write = stock.WriteLater(-1, body);
      ASSERT_TRUE(stock.Wait(*write));
      ASSERT_GE(write->made.fd, 0);
      EXPECT_EQ(write->made.anonymous, anonymous);
      std::string back(body->size(), '\0');
      ASSERT_EQ(::pread(write->made.fd, back.data(), back.size(), 0), 30000);
      EXPECT_EQ(back, *body);
      ::close(write->made.fd);
      if (!write->made.anonymous) ::unlink(write->made.path.c_str());
    }
  }
}

TEST(AheadFileStock, ADirectoryGoneGivesNoFileAndNoThreadSpins) {
  for (const size_t depth : {0, 2}) {
    for (const bool anonymous : {true, false}) {
      SCOPED_TRACE(std::to_string(depth) + (anonymous ? " without a name" : " named"));
      auto dest = std::make_unique<TempDir>();
      const PartialFiles files(dest->dir());
      dest.reset();  // the user removed the destination during the run
      AheadFileStock stock(files, depth, anonymous);
      EXPECT_LT(stock.Take().fd, 0);
      EXPECT_LT(stock.Take().fd, 0);
    }
  }
}

}  // namespace
}  // namespace harvelo::testing
