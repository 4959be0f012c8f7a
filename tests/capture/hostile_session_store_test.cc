// Session stores that a hostile or broken profile holds: expanding to far more than any
// session, nested without end, a link to an endless device, a FIFO. Each read happens in
// a child under a memory limit and must end normally, finding no page.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>

#include "capture/firefox_session.h"
#include "capture/moz_lz4.h"
#include "support/limited_child.h"
#include "support/temp_dir.h"

namespace harvelo {
namespace {

using harvelo::testing::TempDir;
using harvelo::testing::WriteBytes;

TEST(HostileSessionStore, IsRefusedWithoutCrashingHangingOrSwelling) {
  const std::string page = R"({"windows":[{"tabs":[{"entries":[{"url":"http://a/"}]}]}]})";
  const struct {
    const char* name;
    std::function<void(const std::string& path)> make;
  } cases[] = {
      {"256 MB of '['",
       [](const std::string& path) {
         WriteBytes(path, EncodeMozLz4(std::string(256u << 20, '[')));
       }},
      {"100 000 levels deep",
       [&](const std::string& path) {
         WriteBytes(path, EncodeMozLz4(std::string(100000, '[') + page + std::string(100000, ']')));
       }},
      {"a link to /dev/zero",
       [](const std::string& path) { ::symlink("/dev/zero", path.c_str()); }},
      {"a FIFO", [](const std::string& path) { ::mkfifo(path.c_str(), 0600); }},
      {"a directory", [](const std::string& path) { std::filesystem::create_directory(path); }},
  };
  for (const auto& c : cases) {
    TempDir profile;
    std::filesystem::create_directories(profile.dir() + "sessionstore-backups");
    c.make(profile.dir() + "sessionstore-backups/recovery.jsonlz4");
    const int status = harvelo::testing::RunWithMemoryLimit(
        512u << 20,
        [&] {
          SessionPage found;
          return ReadCurrentPage(profile.dir(), found) ? 1 : 0;
        },
        20);
    EXPECT_EQ(status, 0) << c.name;
  }
}

}  // namespace
}  // namespace harvelo
