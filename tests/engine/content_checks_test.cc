// The content checks of a resource: picture size from the bytes as they arrive or from
// the file, duplicates among the run's files and the destination's, and never a file
// taken for a copy unless the bytes agree.
#include "engine/content_checks.h"

#include <gtest/gtest.h>

#include <string>

#include "support/temp_dir.h"

namespace harvelo {
namespace {

using testing::TempDir;
using testing::WriteBytes;
using Verdict = ContentChecks::Verdict;

std::string Gif(unsigned width, unsigned height, char fill) {
  return std::string("GIF89a") + static_cast<char>(width & 0xFF) + static_cast<char>(width >> 8) +
         static_cast<char>(height & 0xFF) + static_cast<char>(height >> 8) + std::string(500, fill);
}

class ContentChecksTest : public ::testing::Test {
 protected:
  // A resource arrives in `path` with `bytes`, fed in 7-byte pieces unless `fed` is false.
  Verdict Arrive(const std::string& name, const std::string& bytes, bool fed = true) {
    checks.Begin(settings);
    if (fed) {
      for (size_t at = 0; at < bytes.size(); at += 7) {
        checks.Feed(bytes.data() + at, std::min<size_t>(7, bytes.size() - at));
      }
    }
    WriteBytes(dir.file(name), bytes);
    copyOf.clear();
    return checks.Finish(dir.file(name), dir.dir(), copyOf);
  }

  TempDir dir;
  Settings settings;
  ContentChecks checks;
  std::string copyOf;
};

TEST_F(ContentChecksTest, PictureSizeDecidesAsTheBytesArriveOrFromTheFile) {
  settings.minimumPictureWidth = 100;
  settings.minimumPictureHeight = 50;
  settings.skipDuplicates = 0;
  checks.Begin(settings);
  const std::string icon = Gif(16, 16, 'i');
  checks.Feed(icon.data(), 9);
  EXPECT_FALSE(checks.PictureTooSmall());  // the height is not there yet
  checks.Feed(icon.data() + 9, 1);
  EXPECT_TRUE(checks.PictureTooSmall());

  EXPECT_EQ(Arrive("wide.gif", Gif(400, 49, 'w')), Verdict::kTooSmall);
  EXPECT_EQ(Arrive("ok.gif", Gif(100, 50, 'o')), Verdict::kKeep);
  // A fetch that did not hand its bytes over is checked from its file.
  EXPECT_EQ(Arrive("unfed.gif", Gif(16, 16, 'u'), false), Verdict::kTooSmall);
  EXPECT_EQ(Arrive("text.gif", "<html>not a picture</html>"), Verdict::kKeep);
  // Off: nothing is too small.
  settings.minimumPictureWidth = settings.minimumPictureHeight = 0;
  EXPECT_EQ(Arrive("tiny.gif", Gif(1, 1, 't')), Verdict::kKeep);
}

TEST_F(ContentChecksTest, DuplicatesOfTheRunsFilesAndOfKnownFiles) {
  WriteBytes(dir.file("old.gif"), Gif(300, 300, 'k'));
  WriteBytes(dir.file("page.html"), Gif(300, 300, 'p'));  // the page copy goes away again
  EXPECT_EQ(Arrive("a.gif", Gif(300, 300, 'a')), Verdict::kKeep);
  EXPECT_EQ(Arrive("b.gif", Gif(300, 300, 'a')), Verdict::kDuplicate);
  EXPECT_EQ(copyOf, dir.file("a.gif"));
  EXPECT_EQ(Arrive("c.gif", Gif(300, 300, 'a'), false), Verdict::kDuplicate);
  EXPECT_EQ(Arrive("d.gif", Gif(300, 300, 'k')), Verdict::kKeep);  // known files not asked

  checks.StartRun();
  settings.skipKnownFiles = 1;
  EXPECT_EQ(Arrive("e.gif", Gif(300, 300, 'k')), Verdict::kDuplicate);
  EXPECT_TRUE(copyOf == dir.file("old.gif") || copyOf == dir.file("d.gif")) << copyOf;
  EXPECT_EQ(Arrive("f.gif", Gif(300, 300, 'p')), Verdict::kKeep);
  // A file of the new run is found among the run's files once it is stored.
  EXPECT_EQ(Arrive("g.gif", Gif(300, 300, 'p')), Verdict::kDuplicate);
  EXPECT_EQ(copyOf, dir.file("f.gif"));
  // Duplicates off: nothing is compared.
  settings.skipDuplicates = 0;
  EXPECT_EQ(Arrive("h.gif", Gif(300, 300, 'p')), Verdict::kKeep);
}

TEST_F(ContentChecksTest, FilesThatAgreeOverTheHashedHeadButNotAfterAreBothKept) {
  std::string first = Gif(300, 300, 'h') + std::string(200 * 1024, 'x');
  std::string second = first;
  second.back() = 'y';
  EXPECT_EQ(Arrive("first.gif", first), Verdict::kKeep);
  EXPECT_EQ(Arrive("second.gif", second), Verdict::kKeep);
  EXPECT_EQ(Arrive("third.gif", second), Verdict::kDuplicate);
  EXPECT_EQ(copyOf, dir.file("second.gif"));

  // A known file larger than the hashed head is hashed over the same head as an arrival.
  checks.StartRun();
  settings.skipKnownFiles = 1;
  const std::string big = Gif(300, 300, 'b') + std::string(100 * 1024, 'z');
  WriteBytes(dir.file("known.gif"), big);
  EXPECT_EQ(Arrive("again.gif", big), Verdict::kDuplicate);
  EXPECT_EQ(copyOf, dir.file("known.gif"));
}

TEST(StoredContentTest, AnEqualHashIsNotEnoughWithoutEqualBytes) {
  TempDir dir;
  WriteBytes(dir.file("stored"), "abcdef");
  WriteBytes(dir.file("new"), "abcdeg");
  StoredContent stored;
  stored.Add(dir.file("stored"), 6, 42);
  EXPECT_EQ(stored.FindCopy(dir.file("new"), 6, 42, nullptr), std::nullopt);
  WriteBytes(dir.file("new"), "abcdef");
  EXPECT_EQ(stored.FindCopy(dir.file("new"), 6, 42, nullptr), dir.file("stored"));
  // The stored file changed meanwhile: no longer a copy.
  WriteBytes(dir.file("stored"), "zzzzzz");
  EXPECT_EQ(stored.FindCopy(dir.file("new"), 6, 42, nullptr), std::nullopt);
}

}  // namespace
}  // namespace harvelo
