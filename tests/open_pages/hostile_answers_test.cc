// Inspector against a browser that answers with intent: answers nested without end, a
// page list that lies about its size or is too large to hold, pages that never answer,
// and one honest answer over 64 KB. Each hostile run happens in a child under a memory
// limit; it must end normally, with the failure's one message.
#include <gtest/gtest.h>

#include <string>

#include "open_pages/open_pages_run.h"
#include "open_pages/recording_reporter.h"
#include "support/fake_devtools.h"
#include "support/limited_child.h"
#include "support/raw_http_server.h"
#include "support/temp_dir.h"

namespace harvelo::inspector {
namespace {

using harvelo::testing::FakeDevTools;
using harvelo::testing::RawHttpServer;
using harvelo::testing::ReadBytes;
using harvelo::testing::TempDir;

constexpr size_t kMemoryLimit = 768u << 20;

std::string Nested(size_t depth) {
  return std::string(depth, '[') + std::string(depth, ']');
}

// An answer to the command with its id and `result` as the raw result text.
std::string AnswerWith(const nlohmann::json& command, const std::string& result) {
  return "{\"id\":" + command["id"].dump() + ",\"result\":" + result + "}";
}

std::string StringResult(const nlohmann::json& command, const std::string& value) {
  return AnswerWith(command,
                    nlohmann::json{{"result", {{"type", "string"}, {"value", value}}}}.dump());
}

// Runs Inspector's pass against `port` in a limited child: 0 when it wrote `records`
// records and showed `messages` messages.
int LimitedPass(int port, int records, size_t messages) {
  return harvelo::testing::RunWithMemoryLimit(kMemoryLimit, [&] {
    TempDir temp;
    RecordingReporter errors;
    ShellWindows windows(port, errors);
    const int written = WriteInspectorFiles(windows, temp.dir());
    return written == records && errors.messages.size() == messages ? 0 : 1;
  });
}

TEST(InspectorHostileAnswers, DeepAnswersAreRefusedWithOneMessage) {
  // A page whose every answer nests 100 000 levels (about 200 KB).
  FakeDevTools deep([](const nlohmann::json& c) { return AnswerWith(c, Nested(100000)); });
  deep.SetPageList(harvelo::testing::PageList(deep, 1));
  EXPECT_EQ(LimitedPass(deep.port(), 1, 1), 0);
  // A page list nested as deep.
  FakeDevTools deep_list([](const nlohmann::json&) { return std::nullopt; });
  deep_list.SetPageList(Nested(100000));
  EXPECT_EQ(LimitedPass(deep_list.port(), 0, 1), 0);
}

TEST(InspectorHostileAnswers, APageListThatLiesOrIsTooLargeIsRefusedUnread) {
  const struct {
    const char* name;
    std::string head;
    size_t sent;
  } cases[] = {
      {"declares 10^12 bytes", "HTTP/1.1 200 OK\r\nContent-Length: 1000000000000\r\n\r\n", 1 << 20},
      {"holds 200 MB", "HTTP/1.1 200 OK\r\nContent-Length: 209715200\r\n\r\n", 200u << 20},
  };
  for (const auto& c : cases) {
    RawHttpServer server([&](const std::string&, const RawHttpServer::Send& send) {
      if (!send(c.head) || !send("[")) return;
      const std::string entry = R"({"type":"page","url":"http://a/","title":"t"},)";
      std::string block;
      while (block.size() < (1u << 20)) block += entry;
      for (size_t sent = 0; sent < c.sent && send(block); sent += block.size()) {
      }
    });
    ASSERT_TRUE(server.Start());
    EXPECT_EQ(LimitedPass(server.port(), 0, 1), 0) << c.name;
  }
}

TEST(InspectorHostileAnswers, SilentPagesCostOneMessageAndTheRestAreListedUnasked) {
  FakeDevTools silent([](const nlohmann::json&) { return std::nullopt; });
  silent.SetPageList(harvelo::testing::PageList(silent, 30));
  TempDir temp;
  RecordingReporter errors;
  ShellWindows windows(silent.port(), errors);
  EXPECT_EQ(WriteInspectorFiles(windows, temp.dir()), 30);
  EXPECT_EQ(errors.messages.size(), 1u);
  EXPECT_EQ(silent.pagesOpened(), 1) << "a browser that failed is not asked again";
  const std::string list = ReadBytes(temp.file("inspector.out"));
  EXPECT_NE(list.find("\"Page 29\" \"http://site/29\" \"\" \"\""), std::string::npos);
}

TEST(InspectorHostileAnswers, TheWholePassEndsAtItsTimeLimit) {
  // Every answer takes longer than the pass may last in all.
  FakeDevTools slow([](const nlohmann::json& c) {
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    return StringResult(c, "late");
  });
  slow.SetPageList(harvelo::testing::PageList(slow, 30));
  TempDir temp;
  RecordingReporter errors;
  ShellWindows windows(slow.port(), errors, std::chrono::milliseconds(1000));
  EXPECT_EQ(WriteInspectorFiles(windows, temp.dir()), 30);
  EXPECT_EQ(errors.messages.size(), 1u);
  EXPECT_LT(slow.commandsReceived(), 10) << "the pass stopped asking at its limit";
}

TEST(InspectorHostileAnswers, AnHonestAnswerOver64KBIsReadWhole) {
  const std::string title(70000, 'x');
  FakeDevTools big([&](const nlohmann::json& c) {
    if (c["method"] == "Network.getCookies") return AnswerWith(c, R"({"cookies":[]})");
    const auto expression = c["params"]["expression"].get<std::string>();
    return StringResult(c, expression == "document.title" ? title : "");
  });
  big.SetPageList(harvelo::testing::PageList(big, 1));
  TempDir temp;
  RecordingReporter errors;
  ShellWindows windows(big.port(), errors);
  EXPECT_EQ(WriteInspectorFiles(windows, temp.dir()), 1);
  EXPECT_TRUE(errors.messages.empty());
  EXPECT_EQ(ReadBytes(temp.file("inspector.out")),
            "\"" + title + "\" \"http://site/0\" \"\" \"\"\r\n");
}

}  // namespace
}  // namespace harvelo::inspector
