// The fixed parts of Inspector that need no browser: which pages count, the command
// line, the record and count formats, the error texts and the page list.
#include <gtest/gtest.h>

#include <cstdlib>

#include "open_pages/browser_windows.h"
#include "open_pages/error_reporter.h"
#include "open_pages/error_texts.h"
#include "open_pages/open_pages_run.h"
#include "platform/command_line_keyword.h"

namespace harvelo::inspector {
namespace {

TEST(InspectorRules, OnlyAddressesBeginningWithTheHttpSchemesCount) {
  EXPECT_TRUE(IsOnlineAddress("http://example.net/"));
  EXPECT_TRUE(IsOnlineAddress("HTTPS://example.net/"));
  EXPECT_TRUE(IsOnlineAddress("hTtP:/not-a-second-slash"));  // only six characters compared
  EXPECT_TRUE(IsOnlineAddress("https:/x"));
  EXPECT_FALSE(IsOnlineAddress("ftp://example.net/"));
  EXPECT_FALSE(IsOnlineAddress("file:///home/user/a.html"));
  EXPECT_FALSE(IsOnlineAddress("/home/user"));
  EXPECT_FALSE(IsOnlineAddress("chrome://newtab/"));
  EXPECT_FALSE(IsOnlineAddress("http"));
  EXPECT_FALSE(IsOnlineAddress("https:"));
  EXPECT_FALSE(IsOnlineAddress(""));
}

TEST(InspectorRules, ActsOnlyWhenTheCommandLineHoldsTheKeywordInItsCase) {
  const char* passed[] = {"Inspector", "MSIE"};
  const char* inside[] = {"Inspector", "xxMSIEyy"};
  const char* lower[] = {"Inspector", "msie"};
  const char* none[] = {"Inspector"};
  EXPECT_TRUE(CommandLineHolds(2, passed, "MSIE"));
  EXPECT_TRUE(CommandLineHolds(2, inside, "MSIE"));
  EXPECT_FALSE(CommandLineHolds(2, lower, "MSIE"));
  EXPECT_FALSE(CommandLineHolds(1, none, "MSIE"));
}

TEST(InspectorRules, RecordLinesQuoteEachValueDoublingItsQuotes) {
  EXPECT_EQ(RecordLine("T", "http://a/", "c=1; d=2", "http://r/"),
            "\"T\" \"http://a/\" \"c=1; d=2\" \"http://r/\"\n");
  EXPECT_EQ(RecordLine("", "http://a/", "", ""), "\"\" \"http://a/\" \"\" \"\"\n");
  EXPECT_EQ(RecordLine("say \"hi\"", "u", "", ""), "\"say \"\"hi\"\"\" \"u\" \"\" \"\"\n");
}

TEST(InspectorRules, PortComesFromTheEnvironmentWhenItIsAPortNumber) {
  ::unsetenv("HARVELO_DEVTOOLS_PORT");
  EXPECT_EQ(DevToolsPort(), 9222);
  ::setenv("HARVELO_DEVTOOLS_PORT", "9333", 1);
  EXPECT_EQ(DevToolsPort(), 9333);
  ::setenv("HARVELO_DEVTOOLS_PORT", "93x", 1);
  EXPECT_EQ(DevToolsPort(), 9222);
  ::setenv("HARVELO_DEVTOOLS_PORT", "70000", 1);
  EXPECT_EQ(DevToolsPort(), 9222);
  ::unsetenv("HARVELO_DEVTOOLS_PORT");
}

TEST(InspectorErrorTexts, NameTheWrapperTheOperationAndTheFailure) {
  EXPECT_EQ(ErrorText("ShellWindows", "GetCount", FailureKind::kOleException),
            "Error de conexión con ShellWindows:\n\n\"GetCount()\" lanzó una \"COleException\": ");
  EXPECT_EQ(ErrorText("HTML_Document", "GetReferrer", FailureKind::kDispatchException),
            "Error de conexión con HTML_Document:\n\n\"GetReferrer()\" lanzó una "
            "\"COleDispatchException\": ");
  // The message box shows Windows-1252 letters.
  EXPECT_EQ(Utf8ToLatin1("conexión lanzó €"), "conexi\xF3n lanz\xF3 ?");
}

TEST(InspectorPageList, KeepsThePagesInOrderWithTheirSocketPaths) {
  std::vector<PageTarget> pages;
  ASSERT_TRUE(ParsePageList(R"([
    {"type":"page","url":"http://a/","title":"A",
     "webSocketDebuggerUrl":"ws://127.0.0.1:9222/devtools/page/AAA"},
    {"type":"service_worker","url":"http://a/sw.js","title":"sw"},
    {"type":"page","url":"chrome://newtab/","title":"New Tab"}
  ])",
                            pages));
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_EQ(pages[0].url, "http://a/");
  EXPECT_EQ(pages[0].title, "A");
  EXPECT_EQ(pages[0].socket_path, "/devtools/page/AAA");
  EXPECT_EQ(pages[1].url, "chrome://newtab/");
  EXPECT_EQ(pages[1].socket_path, "");  // a page already under inspection has none
  EXPECT_FALSE(ParsePageList("{\"type\":\"page\"}", pages));
  EXPECT_FALSE(ParsePageList("not json", pages));
}

}  // namespace
}  // namespace harvelo::inspector
