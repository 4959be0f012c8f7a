// What Inspector writes, read back by the window's readers: every field must come back
// exactly, whatever it holds (quotes, line ends, NUL, a megabyte), and one record's
// contents can never shift the fields of another.
#include <gtest/gtest.h>

#include <cstdlib>

#include <string>
#include <vector>

#include "capture/browser_capture.h"
#include "capture/open_pages_files.h"
#include "open_pages/open_pages_run.h"
#include "platform/text_file.h"
#include "support/temp_dir.h"

namespace harvelo {
namespace {

using harvelo::testing::TempDir;

struct Record {
  std::string title, address, cookie, referrer;
};

TEST(PageRecordFields, EveryFieldComesBackExactlyThroughBothSides) {
  using namespace std::string_literals;
  const std::vector<Record> records = {
      {"Gallery: x\" \"http://127.0.0.1:8001/evil.html", "http://real/page", "sid=secret",
       "http://r/"},
      {"Review: \"Dune\" part two", "http://a/\"q\"", "pref=\"lang=en\"", "\""},
      {"line\r\nbreaks\nand\rlone\r\r\nCRs\r", "http://b/", "a=1\n", "\r\n"},
      {"nul\0inside"s, "http://c/\0x"s, "\0"s, "end\0"s},
      {"", "http://d/", "", ""},
      {"\"\"", "http://e/\"\" \"", "\" \"", "\"\"\""},
      {std::string(1 << 20, 'T'), "http://f/" + std::string(1 << 20, '"'),
       std::string(1 << 20, '\n'), std::string(1 << 20, '\r')},
  };
  TempDir t;
  const std::string out = t.file("inspector.out");
  {
    TextWriter writer;  // as Inspector writes its list
    ASSERT_TRUE(writer.Open(out, TextWriter::Mode::kReplace));
    for (const auto& r : records)
      writer.Write(inspector::RecordLine(r.title, r.address, r.cookie, r.referrer));
    ASSERT_TRUE(writer.Close());
  }
  std::vector<std::string> titles;
  for (const auto& r : records) titles.push_back(r.title);
  EXPECT_TRUE(ReadRecordTitles(out) == titles);  // (no megabyte dump on failure)
  for (size_t i = 0; i < records.size(); ++i) {
    const auto& r = records[i];
    CapturedPage at, found;
    ASSERT_TRUE(ReadRecordAt(out, static_cast<int>(i), at)) << i;
    EXPECT_TRUE(at.address == r.address) << i;
    EXPECT_TRUE(at.cookie == r.cookie) << i;
    EXPECT_TRUE(at.referrer == r.referrer) << i;
    ASSERT_TRUE(FindRecordByAddress(out, r.address, found)) << i;
    EXPECT_TRUE(found.cookie == r.cookie) << i;
    EXPECT_TRUE(found.referrer == r.referrer) << i;
  }
  CapturedPage crafted;
  EXPECT_FALSE(FindRecordByAddress(out, "http://127.0.0.1:8001/evil.html", crafted));
}

TEST(PageRecordFields, TheProgramWritesIntoTheFolderItsStarterNames) {
  ::setenv("HARVELO_DEVTOOLS_PORT", "1", 1);  // no browser: an empty list
  TempDir first, second;
  EXPECT_EQ(RunInspectorProgram(INSPECTOR_DIR, first.dir()), 1);
  EXPECT_EQ(RunInspectorProgram(INSPECTOR_DIR, second.dir()), 1);
  ::unsetenv("HARVELO_DEVTOOLS_PORT");
  for (const TempDir* dir : {&first, &second}) {
    EXPECT_EQ(harvelo::testing::ReadBytes(dir->file("inspector.n")), "0\r\n");
    EXPECT_TRUE(harvelo::testing::Exists(dir->file("inspector.out")));
  }
  EXPECT_EQ(RunInspectorProgram(INSPECTOR_DIR, ""), 0) << "no folder: nowhere to write the list";
}

}  // namespace
}  // namespace harvelo
