// The Debian package made by `cpack -G DEB` from this build: lintian says nothing, it is
// small, the unpacked harvelo-cli harvests a loopback gallery, and every file that the
// desktop entry and the AppStream metadata name is in it.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <regex>
#include <set>
#include <string>

#include "support/loopback_server.h"
#include "support/temp_dir.h"

namespace harvelo::testing {
namespace {

namespace fs = std::filesystem;

struct Shell {
  int status = -1;
  std::string output;  // standard output and error together
};

Shell Sh(const std::string& command) {
  Shell result;
  std::FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return result;
  char buf[4096];
  for (size_t n; (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;) result.output.append(buf, n);
  const int status = ::pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

bool Installed(const std::string& program) {
  return Sh("command -v " + program).status == 0;
}

// Every match of `pattern`'s first group in `text`.
std::set<std::string> Matches(const std::string& text, const std::string& pattern) {
  std::set<std::string> found;
  const std::regex re(pattern);
  for (auto it = std::sregex_iterator(text.begin(), text.end(), re); it != std::sregex_iterator();
       ++it) {
    found.insert((*it)[1].str());
  }
  return found;
}

class PackageTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (HARVELO_SANITIZED) {
      skip_ =
          "the package is made from the normal build; this one is instrumented "
          "(HARVELO_SANITIZE), its programs neither small nor meant to be shipped";
    } else if (!Installed("dpkg-deb") || !Installed("lintian")) {
      skip_ = "dpkg-deb or lintian is missing (scripts/install-deps.sh test installs both)";
    }
    if (!skip_.empty()) return;
    work_ = new TempDir;
    const Shell cpack =
        Sh(HARVELO_CPACK " -G DEB --config " HARVELO_BUILD_DIR "/CPackConfig.cmake -B " +
           work_->dir() + "out");
    build_log_ = cpack.output;
    for (const auto& entry : fs::directory_iterator(work_->dir() + "out")) {
      if (entry.path().extension() == ".deb") deb_ = entry.path().string();
    }
    root_ = work_->dir() + "root/";
    if (!deb_.empty()) Sh("dpkg-deb -x " + deb_ + " " + root_);
  }
  static void TearDownTestSuite() {
    delete work_;
    work_ = nullptr;
  }
  void SetUp() override {
    if (!skip_.empty()) GTEST_SKIP() << skip_;
    ASSERT_FALSE(deb_.empty()) << "cpack made no package:\n" << build_log_;
  }
  static std::string Packaged(const std::string& path) { return root_ + path; }

  static inline std::string skip_, build_log_, deb_, root_;
  static inline TempDir* work_ = nullptr;
};

TEST_F(PackageTest, LintianReportsNoErrorAndNoWarning) {
  const Shell lintian = Sh("lintian --fail-on error,warning " + deb_);
  EXPECT_EQ(lintian.status, 0) << lintian.output;
  std::printf("lintian %s:\n%s", fs::path(deb_).filename().c_str(), lintian.output.c_str());
}

TEST_F(PackageTest, ProgramsAreStrippedAndTheInstalledSizeSmall) {
  const Shell size = Sh("dpkg-deb -f " + deb_ + " Installed-Size");
  ASSERT_EQ(size.status, 0) << size.output;
  EXPECT_LT(std::stol(size.output), 20 * 1024) << "KB installed";
  std::printf("package %jd bytes, installed %s KB\n", static_cast<intmax_t>(fs::file_size(deb_)),
              size.output.c_str());
  for (const char* program : {"harvelo", "harvelo-cli", "Inspector", "agentscout"}) {
    const std::string path = Packaged(std::string("usr/lib/harvelo/") + program);
    const Shell sections = Sh("objdump -h " + path);
    ASSERT_EQ(sections.status, 0) << sections.output;
    EXPECT_EQ(sections.output.find(".debug_info"), std::string::npos) << program;
    EXPECT_EQ(sections.output.find(".symtab"), std::string::npos) << program;
  }
}

TEST_F(PackageTest, BothProgramsAnswerVersionWithoutADisplay) {
  for (const char* program : {"harvelo", "harvelo-cli"}) {
    const Shell version = Sh(std::string("env -u DISPLAY -u WAYLAND_DISPLAY ") +
                             Packaged("usr/bin/") + program + " --version");
    EXPECT_EQ(version.status, 0) << version.output;
    EXPECT_TRUE(std::regex_match(version.output,
                                 std::regex(std::string(program) + " [0-9]+\\.[0-9]+\\.[0-9]+\n")))
        << version.output;
  }
}

TEST_F(PackageTest, UnpackedCliHarvestsALoopbackGallery) {
  LoopbackServer site;
  site.server().Get("/gallery.html", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("<a href=\"1.jpg\">1</a><a href=\"2.jpg\">2</a>", "text/html");
  });
  for (const char* name : {"/1.jpg", "/2.jpg"}) {
    site.server().Get(name, [name](const httplib::Request&, httplib::Response& res) {
      res.set_content("\xFF\xD8\xFF\xE0" + std::string(3000, name[1]), "image/jpeg");
    });
  }
  ASSERT_TRUE(site.Start());
  TempDir home;
  const Shell run = Sh("cd " + home.dir() + " && env -i LANG=C HOME=" + home.dir() + " " +
                       Packaged("usr/bin/harvelo-cli") + " --dest pictures --min-size 1 " +
                       site.Url("/gallery.html"));
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(ReadBytes(home.file("pictures/AAA_001.jpg")),
            "\xFF\xD8\xFF\xE0" + std::string(3000, '1'));
  EXPECT_TRUE(Exists(home.file("pictures/AAA_002.jpg")));
  // Nothing but the destination in the folder it ran in.
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(home.dir())) {
    names.insert(entry.path().filename().string());
  }
  EXPECT_EQ(names, std::set<std::string>{"pictures"});
}

TEST_F(PackageTest, EveryFileTheDesktopEntryAndMetainfoNameIsPackaged) {
  const std::string desktop = Packaged("usr/share/applications/harvelo.desktop");
  const std::string metainfo = Packaged("usr/share/metainfo/" HARVELO_METAINFO_ID ".metainfo.xml");
  ASSERT_TRUE(Exists(desktop));
  ASSERT_TRUE(Exists(metainfo));
  const std::string entry = ReadBytes(desktop);
  const std::string meta = ReadBytes(metainfo);

  for (const std::string& exec : Matches(entry, "\nExec=([^ \n]+)")) {
    EXPECT_TRUE(Exists(Packaged("usr/bin/" + exec))) << exec;
  }
  for (const std::string& icon : Matches(entry, "\nIcon=([^\n]+)")) {
    EXPECT_TRUE(Exists(Packaged("usr/share/icons/hicolor/scalable/apps/" + icon + ".svg")));
    EXPECT_TRUE(Exists(Packaged("usr/share/icons/hicolor/48x48/apps/" + icon + ".png")));
  }
  EXPECT_EQ(Matches(meta, "<id>([^<]+)</id>"), std::set<std::string>{HARVELO_METAINFO_ID});
  const auto launchables = Matches(meta, "<launchable type=\"desktop-id\">([^<]+)<");
  ASSERT_FALSE(launchables.empty());
  for (const std::string& id : launchables) {
    EXPECT_TRUE(Exists(Packaged("usr/share/applications/" + id))) << id;
  }
  for (const std::string& binary : Matches(meta, "<binary>([^<]+)</binary>")) {
    EXPECT_TRUE(Exists(Packaged("usr/bin/" + binary))) << binary;
  }
  // The screenshots are the user's guide's pictures, published beside it.
  const auto screenshots = Matches(meta, "<image>[^<]*/([^/<]+)</image>");
  ASSERT_FALSE(screenshots.empty());
  for (const std::string& picture : screenshots) {
    EXPECT_TRUE(Exists(Packaged("usr/lib/harvelo/Help/images/" + picture))) << picture;
  }
  if (Installed("desktop-file-validate")) {
    const Shell check = Sh("desktop-file-validate " + desktop);
    EXPECT_TRUE(check.status == 0 && check.output.empty()) << check.output;
  }
  if (Installed("appstreamcli")) {
    const Shell check = Sh("appstreamcli validate --no-net " + metainfo);
    EXPECT_EQ(check.status, 0) << check.output;
  }
}

TEST_F(PackageTest, ManualAndCompletionKnowEveryOption) {
  const Shell help = Sh(Packaged("usr/bin/harvelo-cli") + " --help");
  ASSERT_EQ(help.status, 0) << help.output;
  const auto options = Matches(help.output, "(?:^|[ ,])(--[a-z][a-z-]+)");
  ASSERT_GT(options.size(), 10u);
  const std::string completion =
      ReadBytes(Packaged("usr/share/bash-completion/completions/harvelo-cli"));
  const Shell manual = Sh("zcat " + Packaged("usr/share/man/man1/harvelo-cli.1.gz"));
  ASSERT_EQ(manual.status, 0);
  for (const std::string& option : options) {
    EXPECT_NE(completion.find(option), std::string::npos) << option << " in the completion";
    std::string roff;  // the manual writes each '-' as "\-"
    for (char c : option) roff += c == '-' ? std::string("\\-") : std::string(1, c);
    EXPECT_NE(manual.output.find(roff), std::string::npos) << option << " in the manual";
  }
  EXPECT_TRUE(Exists(Packaged("usr/share/man/man1/harvelo.1.gz")));
}

}  // namespace
}  // namespace harvelo::testing
