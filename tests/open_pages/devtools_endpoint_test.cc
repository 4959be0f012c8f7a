// Inspector against endpoints that misbehave: nothing listening, a browser that accepts
// the connection and never answers, a page whose protocol connection is refused, and a
// temporary directory where nothing can be created.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>

#include "open_pages/open_pages_run.h"
#include "open_pages/recording_reporter.h"
#include "support/loopback_server.h"
#include "support/temp_dir.h"

namespace harvelo::inspector {
namespace {

using harvelo::testing::Exists;
using harvelo::testing::ReadBytes;
using harvelo::testing::TempDir;

// A loopback socket that listens: the kernel completes connections, nobody answers.
class SilentListener {
 public:
  SilentListener() {
    fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    ::listen(fd_, 16);
    socklen_t len = sizeof addr;
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len);
    port_ = ntohs(addr.sin_port);
  }
  ~SilentListener() { ::close(fd_); }
  int port() const { return port_; }

 private:
  int fd_ = -1;
  int port_ = 0;
};

int FreePort() {
  SilentListener probe;
  return probe.port();  // closed again when probe goes
}

TEST(InspectorEndpoint, NothingListeningWritesNoRecordsAndNoMessage) {
  TempDir temp;
  RecordingReporter errors;
  ShellWindows windows(FreePort(), errors);
  EXPECT_EQ(WriteInspectorFiles(windows, temp.dir()), 0);
  EXPECT_EQ(ReadBytes(temp.file("inspector.out")), "");
  EXPECT_EQ(ReadBytes(temp.file("inspector.n")), "0\r\n");
  EXPECT_TRUE(errors.messages.empty());
}

TEST(InspectorEndpoint, ABrowserThatNeverAnswersCostsOneTimeOutAndWritesNoRecords) {
  SilentListener silent;
  TempDir temp;
  RecordingReporter errors;
  ShellWindows windows(silent.port(), errors);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(WriteInspectorFiles(windows, temp.dir()), 0);
  const auto elapsed = std::chrono::steady_clock::now() - start;
  // 2 s for the one exchange that hangs; well below a hang.
  EXPECT_LT(elapsed, std::chrono::seconds(6));
  EXPECT_EQ(ReadBytes(temp.file("inspector.n")), "0\r\n");
  ASSERT_EQ(errors.messages.size(), 1u);
  EXPECT_EQ(
      errors.messages[0].rfind(
          "Error de conexión con ShellWindows:\n\n\"GetCount()\" lanzó una \"COleException\": ", 0),
      0u);
  EXPECT_GT(errors.messages[0].size(), 80u);  // followed by the error's own text
}

TEST(InspectorEndpoint, APageWithoutItsProtocolConnectionGivesTheShortForm) {
  harvelo::testing::LoopbackServer server;
  server.server().Get("/json/list", [&](const httplib::Request&, httplib::Response& res) {
    const std::string ws = "ws://127.0.0.1:" + std::to_string(server.port());
    res.set_content(R"([{"type":"page","url":"file:///tmp/x.html","title":"local",
                         "webSocketDebuggerUrl":")" +
                        ws + R"(/devtools/page/L"},
                        {"type":"page","url":"HTTP://example.net/a","title":"Listed title",
                         "webSocketDebuggerUrl":")" +
                        ws + R"(/devtools/page/A"}])",
                    "application/json");
  });
  ASSERT_TRUE(server.Start());
  TempDir temp;
  RecordingReporter errors;
  ShellWindows windows(server.port(), errors);
  EXPECT_EQ(WriteInspectorFiles(windows, temp.dir()), 1);
  EXPECT_EQ(ReadBytes(temp.file("inspector.out")),
            "\"Listed title\" \"HTTP://example.net/a\" \"\" \"\"\r\n");
  EXPECT_EQ(ReadBytes(temp.file("inspector.n")), "1\r\n");
  ASSERT_EQ(errors.messages.size(), 1u);  // the file:// page is passed over unasked
  EXPECT_EQ(
      errors.messages[0].rfind(
          "Error de conexión con IE_Window:\n\n\"GetDocument()\" lanzó una \"COleException\": ", 0),
      0u);
}

TEST(InspectorEndpoint, NoFileAtAllWhenTheListCannotBeCreated) {
  TempDir temp;
  RecordingReporter errors;
  ShellWindows windows(FreePort(), errors);
  EXPECT_EQ(WriteInspectorFiles(windows, temp.dir() + "missing/"), -1);
  EXPECT_FALSE(Exists(temp.file("missing/inspector.n")));
}

TEST(InspectorEndpoint, TheFilesAreCreatedNewForTheUserAloneNeverThroughWhatWasThere) {
  const struct {
    const char* name;
    const char* planted;  // what lay there before: "", "file" or "link"
    int records;
  } cases[] = {{"nothing", "", 0}, {"a file", "file", -1}, {"a link", "link", -1}};
  for (const auto& c : cases) {
    TempDir temp;
    const std::string out = temp.file("inspector.out");
    harvelo::testing::WriteBytes(temp.file("victim"), "planted");
    if (std::string(c.planted) == "file") harvelo::testing::WriteBytes(out, "planted");
    if (std::string(c.planted) == "link") ::symlink(temp.file("victim").c_str(), out.c_str());
    RecordingReporter errors;
    ShellWindows windows(FreePort(), errors);
    EXPECT_EQ(WriteInspectorFiles(windows, temp.dir()), c.records) << c.name;
    EXPECT_EQ(ReadBytes(temp.file("victim")), "planted") << c.name;
    if (c.records < 0) {
      EXPECT_FALSE(Exists(temp.file("inspector.n"))) << c.name;
      continue;
    }
    for (const char* name : {"inspector.out", "inspector.n"}) {
      struct stat st {};
      ASSERT_EQ(::lstat(temp.file(name).c_str(), &st), 0) << name;
      EXPECT_EQ(st.st_mode & 0777, 0600u) << name;
    }
  }
}

}  // namespace
}  // namespace harvelo::inspector
