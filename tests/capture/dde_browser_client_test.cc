// CDdeBrowserClient over a scripted transport: the order of the calls, the step names
// and codes of each failure, the item text, and the reply parsing with its edge cases.
#include "capture/dde_browser_client.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace harvelo {
namespace {

using ::testing::ElementsAre;

class ScriptedTransport : public DdeTransport {
 public:
  std::uint32_t Initialize(std::uint32_t& instance) override {
    calls.push_back("Initialize");
    instance = 77;
    return init_rc;
  }
  void Uninitialize(std::uint32_t instance) override {
    calls.push_back("Uninitialize " + std::to_string(instance));
  }
  DdeHandle CreateStringHandle(std::uint32_t, const std::string& text) override {
    calls.push_back("String " + text);
    return fail_string == text ? 0 : ++handles;
  }
  void FreeStringHandle(std::uint32_t, DdeHandle h) override {
    calls.push_back("FreeString " + std::to_string(h));
  }
  DdeHandle Connect(std::uint32_t, DdeHandle service, DdeHandle topic) override {
    calls.push_back("Connect " + std::to_string(service) + " " + std::to_string(topic));
    return connect ? 100 : 0;
  }
  void Disconnect(DdeHandle c) override { calls.push_back("Disconnect " + std::to_string(c)); }
  DdeHandle Request(DdeHandle c, DdeHandle item, unsigned format, unsigned timeoutMs) override {
    calls.push_back("Request " + std::to_string(c) + " " + std::to_string(item) + " " +
                    std::to_string(format) + " " + std::to_string(timeoutMs));
    return reply ? 200 : 0;
  }
  bool AccessData(DdeHandle, std::string& bytes) override {
    calls.push_back("Access");
    bytes = *reply;
    return access;
  }
  void UnaccessData(DdeHandle) override { calls.push_back("Unaccess"); }
  void FreeDataHandle(DdeHandle d) override { calls.push_back("FreeData " + std::to_string(d)); }
  std::uint32_t GetLastError(std::uint32_t) override { return 0x4009; }

  std::vector<std::string> calls;
  std::uint32_t init_rc = 0;
  std::string fail_string = "-";
  bool connect = true;
  std::optional<std::string> reply = "\"http://a/\",\"A\"";
  bool access = true;
  DdeHandle handles = 0;
};

TEST(DdeBrowserClient, OneRequestForTheItemWithTheTimeOutThenEverythingIsFreed) {
  ScriptedTransport t;
  std::string address, title;
  {
    CDdeBrowserClient client(t, "NETSCAPE6");
    ASSERT_TRUE(client.GetWindowInfo(address, title, 0xFFFFFFFF));
    EXPECT_EQ(client.lastFailure(), nullptr);
  }
  EXPECT_EQ(address, "http://a/");
  EXPECT_EQ(title, "A");
  EXPECT_THAT(t.calls,
              ElementsAre("Initialize", "String NETSCAPE6", "String WWW_GetWindowInfo",
                          "Connect 1 2", "String 0xFFFFFFFF", "Request 100 3 1 1000",
                          "FreeString 3", "Access", "Unaccess", "FreeData 200", "Disconnect 100",
                          "FreeString 1", "FreeString 2", "Uninitialize 77"));
  EXPECT_EQ(CDdeBrowserClient::ItemName(0xFFFFFFFF), "0xFFFFFFFF");
  EXPECT_EQ(CDdeBrowserClient::ItemName(0xab), "0xAB");
}

TEST(DdeBrowserClient, EachFailureRecordsItsStepAndCodeAndFreesWhatItHeld) {
  std::string a, t;
  {
    ScriptedTransport s;
    s.init_rc = 0x4004;
    CDdeBrowserClient c(s, "NETSCAPE");
    EXPECT_FALSE(c.GetWindowInfo(a, t, 0xFFFFFFFF));
    EXPECT_STREQ(c.lastFailure(), "DdeInitialize()");
    EXPECT_EQ(c.lastFailureCode(), 0x4004u);
    EXPECT_FALSE(c.initialised());
  }
  {
    ScriptedTransport s;
    s.fail_string = "WWW_GetWindowInfo";
    CDdeBrowserClient c(s, "NETSCAPE");
    EXPECT_FALSE(c.GetWindowInfo(a, t, 0xFFFFFFFF));
    EXPECT_STREQ(c.lastFailure(), "DdeCreateStringHandle()");
    EXPECT_EQ(c.lastFailureCode(), 0x4009u);
    EXPECT_THAT(s.calls, ElementsAre("Initialize", "String NETSCAPE", "String WWW_GetWindowInfo",
                                     "FreeString 1", "Uninitialize 77"));
  }
  {
    ScriptedTransport s;
    s.connect = false;
    CDdeBrowserClient c(s, "NETSCAPE");
    EXPECT_FALSE(c.GetWindowInfo(a, t, 0xFFFFFFFF));
    EXPECT_STREQ(c.lastFailure(), "DdeConnect(,,WWW_GetWindowInfo,)");
  }
  {
    ScriptedTransport s;
    s.fail_string = "0xFFFFFFFF";
    CDdeBrowserClient c(s, "NETSCAPE");
    EXPECT_FALSE(c.GetWindowInfo(a, t, 0xFFFFFFFF));
    EXPECT_STREQ(c.lastFailure(), "DdeCreateStringHandle(,str_temp,)");
    EXPECT_EQ(s.calls.back(), "Disconnect 100");
  }
  {
    ScriptedTransport s;
    s.reply.reset();
    CDdeBrowserClient c(s, "NETSCAPE");
    EXPECT_FALSE(c.GetWindowInfo(a, t, 0xFFFFFFFF));
    EXPECT_STREQ(c.lastFailure(), "DdeClientTransaction(,,,WWW_GetWindowInfo,,,,)");
    EXPECT_THAT(std::vector(s.calls.end() - 2, s.calls.end()),
                ElementsAre("FreeString 3", "Disconnect 100"));
  }
  {
    ScriptedTransport s;
    s.access = false;
    CDdeBrowserClient c(s, "NETSCAPE");
    EXPECT_FALSE(c.GetWindowInfo(a, t, 0xFFFFFFFF));
    EXPECT_STREQ(c.lastFailure(), "DdeAccessData()");
    EXPECT_THAT(std::vector(s.calls.end() - 2, s.calls.end()),
                ElementsAre("FreeData 200", "Disconnect 100"));
  }
}

TEST(DdeBrowserClient, UninitialisingTwiceOrNeverInitialisedMakesNoCall) {
  ScriptedTransport s;
  {
    CDdeBrowserClient never(s, "NETSCAPE");
    never.Uninitialize();
  }
  EXPECT_TRUE(s.calls.empty());
  CDdeBrowserClient c(s, "NETSCAPE");
  ASSERT_TRUE(c.Initialize());
  c.Uninitialize();
  const auto after_first = s.calls.size();
  c.Uninitialize();
  EXPECT_EQ(s.calls.size(), after_first);
}

TEST(DdeReply, ReadsTheQuotedAddressAndTitleWithTheirCommasAndQuotes) {
  const struct {
    const char* reply;
    const char* address;
    const char* title;
  } cases[] = {
      {"\"http://h/p\",\"Title\"", "http://h/p", "Title"},
      {"no comma at all", "", ""},
      {"\"http://h/a,b\",\"T, u\"", "http://h/a,b", "T, u"},
      {"\"http://h/\"\"q\"\"\",\"say \"\"hi\"\"\"", "http://h/\"q\"", "say \"hi\""},
      {",\"T\"", "", "T"},  // no address field before the comma
      {"\"a\",", "a", ""},  // nothing after the comma
      {",", "", ""},
  };
  for (const auto& c : cases) {
    std::string a = "x", t = "y";
    CDdeBrowserClient::ParseReply(c.reply, a, t);
    EXPECT_EQ(a, c.address) << c.reply;
    EXPECT_EQ(t, c.title) << c.reply;
  }
}

}  // namespace
}  // namespace harvelo
