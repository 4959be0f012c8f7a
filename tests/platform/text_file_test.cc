#include "platform/text_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "support/temp_dir.h"

namespace harvelo {
namespace {

using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

TEST(TextReader, CrLfReadsAsOneNewlineAndLoneCrStays) {
  TempDir tmp;
  WriteBytes(tmp.file("a.txt"), "a\r\nb\rc\n\r\n");
  TextReader reader(tmp.file("a.txt"));
  std::string got;
  for (int c = reader.Get(); c != EOF; c = reader.Get()) got.push_back(static_cast<char>(c));
  EXPECT_EQ(got, "a\nb\rc\n\n");
}

TEST(TextReader, CrLfSplitAcrossTheBlockBoundaryIsStillOneNewline) {
  TempDir tmp;
  std::string bytes(64 * 1024 - 1, 'x');
  bytes += "\r\ny";
  WriteBytes(tmp.file("big.txt"), bytes);
  std::string got;
  ASSERT_TRUE(ReadTextFile(tmp.file("big.txt"), got));
  EXPECT_EQ(got.size(), 64u * 1024 + 1);
  EXPECT_EQ(got.substr(got.size() - 2), "\ny");
}

TEST(TextReader, ReadLineStopsAfterNewlineOrAtTheLimit) {
  TextReader reader;
  reader.OpenMemory("abcdef\r\nxy");
  std::string line;
  ASSERT_TRUE(reader.ReadLine(line, 4));
  EXPECT_EQ(line, "abcd");
  ASSERT_TRUE(reader.ReadLine(line, 4));
  EXPECT_EQ(line, "ef\n");
  ASSERT_TRUE(reader.ReadLine(line, 4));
  EXPECT_EQ(line, "xy");
  EXPECT_FALSE(reader.ReadLine(line, 4));
}

TEST(TextReader, MissingFileAndUngetBehave) {
  TextReader reader;
  EXPECT_FALSE(reader.Open("/nonexistent/dir/file"));
  EXPECT_EQ(reader.Get(), EOF);
  reader.OpenMemory("<a");
  const int c = reader.Get();
  reader.Unget(c);
  EXPECT_EQ(reader.Get(), '<');
  EXPECT_EQ(reader.Get(), 'a');
}

TEST(TextWriter, WritesEveryLineBreakAsCrLfWithoutDoublingExistingOnes) {
  TempDir tmp;
  TextWriter w;
  ASSERT_TRUE(w.Open(tmp.file("o.txt"), TextWriter::Mode::kReplace));
  w.Write("a\nb\r\n");
  w.Printf("\"%d\"\n", 7);
  ASSERT_TRUE(w.Close());
  EXPECT_EQ(ReadBytes(tmp.file("o.txt")), "a\r\nb\r\n\"7\"\r\n");
}

TEST(TextWriter, AppendKeepsWhatWasThere) {
  TempDir tmp;
  WriteBytes(tmp.file("log.txt"), "old\r\n");
  TextWriter w;
  ASSERT_TRUE(w.Open(tmp.file("log.txt"), TextWriter::Mode::kAppend));
  w.Write("new\n");
  ASSERT_TRUE(w.Close());
  EXPECT_EQ(ReadBytes(tmp.file("log.txt")), "old\r\nnew\r\n");
}

TEST(TextWriter, AtomicReplaceSwapsOnlyACompleteFile) {
  TempDir tmp;
  const std::string path = tmp.file("HV_conf.cfg");
  WriteBytes(path, "old settings\r\n");
  {
    TextWriter w;
    ASSERT_TRUE(w.Open(path, TextWriter::Mode::kReplaceAtomically));
    w.Write("new\n");
    // Until it is closed the old file is what a reader sees.
    EXPECT_EQ(ReadBytes(path), "old settings\r\n");
    ASSERT_TRUE(w.Close());
  }
  EXPECT_EQ(ReadBytes(path), "new\r\n");
  // Nothing but the file itself is left in the directory.
  int files = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(tmp.dir())) ++files;
  EXPECT_EQ(files, 1);
}

TEST(TextWriter, AWriteThatFailsHalfwayLeavesTheOldFileIntact) {
  TempDir tmp;
  const std::string path = tmp.file("HV_recent.cfg");
  const std::string old = "\"http://a/\"\r\n";
  WriteBytes(path, old);

  // A file-size limit makes the disk "full" after 100 bytes.
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  rlimit small = saved;
  small.rlim_cur = 100;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  bool closed = true;
  {
    TextWriter w;
    if (w.Open(path, TextWriter::Mode::kReplaceAtomically)) {
      w.Write(std::string(100000, 'x'));
      closed = w.Close();
    }
  }
  setrlimit(RLIMIT_FSIZE, &saved);
  EXPECT_FALSE(closed);
  EXPECT_EQ(ReadBytes(path), old);
  int files = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(tmp.dir())) ++files;
  EXPECT_EQ(files, 1);
}

TEST(TextWriter, UnwritableDirectoryFailsWithoutCreatingAnything) {
  TextWriter w;
  EXPECT_FALSE(w.Open("/nonexistent/dir/x.cfg", TextWriter::Mode::kReplaceAtomically));
  EXPECT_FALSE(w.Write("x"));
}

// A FIFO would hold the program until another process opened its other end.
TEST(TextReader, OnlyARegularFileIsReadUnlessAnyKindIsAsked) {
  TempDir tmp;
  ASSERT_EQ(::mkfifo(tmp.file("fifo").c_str(), 0644), 0);
  ASSERT_TRUE(std::filesystem::create_directory(tmp.file("dir")));
  TextReader reader;
  EXPECT_FALSE(reader.Open(tmp.file("fifo")));
  EXPECT_FALSE(reader.Open(tmp.file("dir")));
  EXPECT_FALSE(reader.IsOpen());
  EXPECT_TRUE(reader.Open("/dev/null", true));
  EXPECT_EQ(reader.Get(), EOF);
}

TEST(TextWriter, NeverWritesThroughALinkNorIntoAFifoOrDirectory) {
  TempDir tmp;
  WriteBytes(tmp.file("victim"), "precious");
  std::filesystem::create_symlink(tmp.file("victim"), tmp.file("link"));
  ASSERT_EQ(::mkfifo(tmp.file("fifo").c_str(), 0644), 0);
  ASSERT_TRUE(std::filesystem::create_directory(tmp.file("dir")));
  for (const auto mode : {TextWriter::Mode::kReplace, TextWriter::Mode::kAppend}) {
    for (const char* name : {"link", "fifo", "dir"}) {
      TextWriter writer;
      EXPECT_FALSE(writer.Open(tmp.file(name), mode)) << name;
    }
  }
  for (const char* name : {"fifo", "dir"}) {
    TextWriter writer;
    EXPECT_FALSE(writer.Open(tmp.file(name), TextWriter::Mode::kReplaceAtomically)) << name;
  }
  EXPECT_EQ(ReadBytes(tmp.file("victim")), "precious");
  struct stat st {};
  ASSERT_EQ(::lstat(tmp.file("fifo").c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

}  // namespace
}  // namespace harvelo
