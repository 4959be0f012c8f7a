// A destination folder shared with others: another run harvesting into it at the same
// time, and the user's own files in it. Nothing a run did not create is replaced or
// removed, and every file a run reports as stored is there with its own content.
#include <gmock/gmock.h>

#include <map>
#include <set>

#include "cli_fixture.h"

namespace harvelo::testing {
namespace {

constexpr int kImages = 6;
constexpr size_t kPiece = 600;

struct Row {
  std::string status, file, address;
};

std::vector<Row> Rows(const CliChild& child) {
  std::vector<Row> rows;
  for (const std::string& line : child.OutLines()) {
    std::vector<std::string> fields;
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, '\t');) fields.push_back(field);
    if (fields.size() == 4) rows.push_back({fields[1], fields[2], fields[3]});
  }
  return rows;
}

class CliSharedDestinationTest : public CliTest {
 protected:
  void SetUp() override {
    std::string links;
    for (int i = 1; i <= kImages; ++i) {
      const std::string path = "/" + std::to_string(i) + ".jpg";
      links += "<a href=\"" + path.substr(1) + "\">" + std::to_string(i) + "</a>";
      bodies_[path] = ImageBody(static_cast<char>('a' + i));
      // Slow enough that two runs started together overlap on every name.
      const std::string body = bodies_[path];
      site.server().Get(path, [body](const httplib::Request&, httplib::Response& res) {
        res.set_content_provider(
            body.size(), "image/jpeg", [body](size_t offset, size_t, httplib::DataSink& sink) {
              std::this_thread::sleep_for(std::chrono::milliseconds(15));
              return sink.write(body.data() + offset, std::min(kPiece, body.size() - offset));
            });
      });
    }
    Page("/gallery.html", links);
    Page("/nothing.html", "<html><p>no pictures here</p></html>");
    site.server().Get("/refused.html", [](const httplib::Request&, httplib::Response& res) {
      res.status = 404;
      res.set_content("<html>not here</html>", "text/html");
    });
    ASSERT_TRUE(site.Start());
  }

  // Two harvelo-cli runs started together into one folder.
  void TwoRunsAtOnce(const std::string& parallel) {
    std::filesystem::remove_all(work.file("dest"));
    ASSERT_TRUE(std::filesystem::create_directory(work.file("dest")));
    const std::vector<std::string> args = {
        "--dest",        "dest",       "--min-size", "1",
        "--no-auto-inc", "--parallel", parallel,     Url("/gallery.html")};
    CliChild second;
    ASSERT_TRUE(cli.Start(args, work.dir()));
    ASSERT_TRUE(second.Start(args, work.dir()));
    const int firstExit = cli.Wait();
    const int secondExit = second.Wait();

    std::set<std::string> names;
    int stored = 0;
    for (const CliChild* run : {&cli, &second}) {
      for (const Row& row : Rows(*run)) {
        const std::string path = row.address.substr(row.address.rfind('/'));
        if (!bodies_.contains(path)) continue;  // the page copy's row
        EXPECT_EQ(row.status, "Ok") << row.file;
        if (row.status != "Ok") continue;
        ++stored;
        EXPECT_TRUE(names.insert(row.file).second) << "two runs share " << row.file;
        EXPECT_TRUE(ReadBytes(row.file) == bodies_[path]) << row.file << " lost its content";
      }
    }
    EXPECT_EQ(stored, 2 * kImages) << cli.Out() << second.Out();
    EXPECT_EQ(firstExit, 0) << cli.Err();
    EXPECT_EQ(secondExit, 0) << second.Err();
    // Each stored file once, and nothing left over beside them and the logs.
    std::set<std::string> left;
    for (const auto& e : std::filesystem::directory_iterator(work.file("dest"))) {
      left.insert(e.path().string());
    }
    for (const std::string& name : names) left.erase(name);
    EXPECT_THAT(left, ::testing::UnorderedElementsAre(Dest("AAA_waddr.txt"), Dest("HV_pref.cfg")));
  }

  std::map<std::string, std::string> bodies_;  // by path
};

// With transfers one at a time, and with several fetched ahead.
TEST_F(CliSharedDestinationTest, TwoRunsIntoOneFolderKeepEveryFileTheyReportStored) {
  for (const char* parallel : {"1", "6"}) {
    SCOPED_TRACE(std::string("--parallel ") + parallel);
    TwoRunsAtOnce(parallel);
  }
}

TEST_F(CliSharedDestinationTest, TheUsersOwnPageHtmlIsNeverReplacedNorRemoved) {
  ASSERT_TRUE(std::filesystem::create_directory(work.file("dest")));
  const std::string mine = "<html>my own page</html>";
  WriteBytes(Dest("page.html"), mine);
  const std::vector<std::string> base = {"--dest", "dest", "--min-size", "1"};

  // A page that stores its resources: the copy takes the next free name, and the row
  // names the file actually written.
  std::vector<std::string> args = base;
  args.push_back(Url("/gallery.html"));
  ASSERT_EQ(Run(args), 0) << cli.Err();
  const auto rows = Rows(cli);
  ASSERT_FALSE(rows.empty());
  EXPECT_EQ(rows[0].file, Dest("page_02.html"));
  EXPECT_FALSE(Exists(Dest("page_02.html")));
  EXPECT_EQ(ReadBytes(Dest("page.html")), mine);

  // A page without pictures stores nothing: its copy under another name is no harvest.
  args = base;
  args.push_back(Url("/nothing.html"));
  EXPECT_EQ(Run(args), 1);
  EXPECT_EQ(ReadBytes(Dest("page.html")), mine);

  // A page the server refuses, and one that can't be reached at all.
  args = base;
  args.push_back(Url("/refused.html"));
  EXPECT_EQ(Run(args), 1);
  EXPECT_EQ(ReadBytes(Dest("page.html")), mine);
  EXPECT_FALSE(Exists(Dest("page_02.html")));
  args = base;
  args.push_back("http://127.0.0.1:1/closed.html");
  EXPECT_EQ(Run(args), 1);
  EXPECT_EQ(ReadBytes(Dest("page.html")), mine);

  // An empty file of that name is the user's too.
  WriteBytes(Dest("page.html"), "");
  args = base;
  args.push_back(Url("/refused.html"));
  EXPECT_EQ(Run(args), 1);
  EXPECT_TRUE(Exists(Dest("page.html")));
}

}  // namespace
}  // namespace harvelo::testing
