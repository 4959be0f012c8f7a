// The private files that bodies fetched ahead are received into.
#include "http/lookahead_file_stock.h"

#include <gmock/gmock.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>

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
  for (const std::string& name : Names(dir)) n += name.ends_with(".part") ? 1 : 0;
  return n;
}

void WriteAll(int fd, const std::string& bytes) {
  ASSERT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
}

bool Eventually(const std::function<bool()>& condition) {
  for (int i = 0; i < 500; ++i) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return condition();
}

TEST(AheadFileStock, FilesWithoutANameLeaveNothingInTheDirectoryUntilLinked) {
  TempDir dest;
  AheadDirectory directory;
  ASSERT_TRUE(directory.Create(dest.dir()));
  {
    AheadFileStock stock(directory, 4);
    AheadFile file = stock.Take();
    ASSERT_GE(file.fd, 0);
    ASSERT_TRUE(file.anonymous) << "this file system has O_TMPFILE";
    WriteAll(file.fd, "body");
    // Only the lock is in the directory: neither the file taken nor the stock.
    EXPECT_EQ(Names(dest.dir()).size(), 1u);

    WriteBytes(dest.file("taken.jpg"), "theirs");
    errno = 0;
    EXPECT_FALSE(AheadFileStock::Link(file, dest.file("taken.jpg")));
    EXPECT_EQ(errno, EEXIST);
    EXPECT_EQ(ReadBytes(dest.file("taken.jpg")), "theirs");
    ASSERT_TRUE(AheadFileStock::Link(file, dest.file("free.jpg")));
    ::close(file.fd);
    EXPECT_EQ(ReadBytes(dest.file("free.jpg")), "body");
  }
  // The stock is gone with its files; what was linked stays.
  EXPECT_THAT(Names(dest.dir()), ::testing::Contains("free.jpg"));
  EXPECT_EQ(PrivateFiles(dest.dir()), 0);
}

TEST(AheadFileStock, BothWaysOfNamingAFileNeverReplaceOne) {
  TempDir dest;
  AheadDirectory directory;
  ASSERT_TRUE(directory.Create(dest.dir()));
  AheadFileStock stock(directory, 0);
  WriteBytes(dest.file("taken.jpg"), "theirs");
  int linked = 0;
  for (auto* link : {&AheadFileStock::LinkDescriptor, &AheadFileStock::LinkThroughProc}) {
    const AheadFile file = stock.Take();
    ASSERT_GE(file.fd, 0);
    ASSERT_TRUE(file.anonymous);
    WriteAll(file.fd, "body " + std::to_string(linked));
    errno = 0;
    const bool overTaken = link(file, dest.file("taken.jpg"));
    if (!overTaken && errno != EEXIST && link == &AheadFileStock::LinkDescriptor) {
      // A process without CAP_DAC_READ_SEARCH can't name a descriptor: Link takes the
      // other way.
      ::close(file.fd);
      continue;
    }
    EXPECT_FALSE(overTaken);
    EXPECT_EQ(errno, EEXIST);
    const std::string name = dest.file("free" + std::to_string(linked) + ".jpg");
    EXPECT_TRUE(link(file, name));
    ::close(file.fd);
    EXPECT_EQ(ReadBytes(name), "body " + std::to_string(linked));
    ++linked;
  }
  EXPECT_GE(linked, 1);
  EXPECT_EQ(ReadBytes(dest.file("taken.jpg")), "theirs");
}

TEST(AheadFileStock, NamedFilesAreMadeAheadAndTheUntakenOnesRemoved) {
  TempDir dest;
  AheadDirectory directory;
  ASSERT_TRUE(directory.Create(dest.dir()));
  AheadFile kept;
  {
    AheadFileStock stock(directory, 3, false);
    // The thread fills the stock before anyone asks.
    ASSERT_TRUE(Eventually([&] { return PrivateFiles(dest.dir()) == 3; }));
    kept = stock.Take();
    ASSERT_GE(kept.fd, 0);
    EXPECT_FALSE(kept.anonymous);
    EXPECT_TRUE(
        std::filesystem::path(kept.path).filename().string().starts_with(kAheadDirectoryPrefix));
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
  AheadDirectory directory;
  ASSERT_TRUE(directory.Create(dest.dir()));
  for (const bool anonymous : {true, false}) {
    SCOPED_TRACE(anonymous ? "without a name" : "named");
    AheadFileStock stock(directory, 2, anonymous);
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

TEST(AheadFileStock, ADirectoryGoneGivesNoFileAndNoThreadSpins) {
  for (const bool anonymous : {true, false}) {
    SCOPED_TRACE(anonymous ? "without a name" : "named");
    auto dest = std::make_unique<TempDir>();
    AheadDirectory directory;
    ASSERT_TRUE(directory.Create(dest->dir()));
    dest.reset();  // the user removed the destination during the run
    AheadFileStock stock(directory, 2, anonymous);
    EXPECT_LT(stock.Take().fd, 0);
    EXPECT_LT(stock.Take().fd, 0);
  }
}

}  // namespace
}  // namespace harvelo::testing
