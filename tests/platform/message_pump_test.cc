#include "platform/message_pump.h"

#include <gtest/gtest.h>

#include "platform/format.h"

namespace harvelo {
namespace {

TEST(MessagePump, CallsTheInstalledPumpWithItsBudget) {
  EXPECT_EQ(Pump_Messages(100), 0);  // nothing installed
  int total = 0;
  const auto old = SetMessagePump([&](int n) {
    total += n;
    return 1;
  });
  EXPECT_EQ(Pump_Messages(50), 1);
  EXPECT_EQ(Pump_Messages(200), 1);
  EXPECT_EQ(total, 250);
  SetMessagePump(old);
  EXPECT_EQ(Pump_Messages(100), 0);
}

TEST(Format, FormatsLongTexts) {
  EXPECT_EQ(StrPrintf("%03d|%s", 7, "x"), "007|x");
  EXPECT_EQ(StrPrintf("%s", std::string(5000, 'a').c_str()).size(), 5000u);
  EXPECT_EQ(FormatText("%lu (0x%lX)", 12029ul, 12029ul), "12029 (0x2EFD)");
}

}  // namespace
}  // namespace harvelo
