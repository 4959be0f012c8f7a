// Reading status and length from a raw response header block.
#include "http/response_head.h"

#include <gtest/gtest.h>

#include <climits>

namespace harvelo {
namespace {

TEST(ResponseHead, ReadsStatusAndLengthAnywhereInTheBlockWhateverTheCase) {
  const ResponseHead head =
      ParseResponseHead("HTTP/1.1 206 Partial\r\nServer: x\r\ncontent-length:   77\r\n\r\n");
  EXPECT_EQ(head.status, 206);
  EXPECT_EQ(head.contentLength, 77);
  EXPECT_EQ(ParseResponseHead("http/1.0 404 Not Found\r\n\r\n").status, 404);
  // The status line comes first, so its "HTTP/" is the one found.
  EXPECT_EQ(ParseResponseHead("HTTP/1.1 200 OK\r\nVia: HTTP/1.1 500 proxy\r\n\r\n").status, 200);
}

TEST(ResponseHead, LeavesZeroWhenNothingCanBeRead) {
  EXPECT_EQ(ParseResponseHead("").status, 0);
  EXPECT_EQ(ParseResponseHead("ICY 200 OK\r\n\r\n").status, 0);
  EXPECT_EQ(ParseResponseHead("HTTP/1.1 OK\r\n\r\n").status, 0);
  EXPECT_EQ(ParseResponseHead("HTTP/1.1 200 OK\r\nContent-Length: many\r\n\r\n").contentLength, 0);
  EXPECT_EQ(ParseResponseHead("HTTP/1.1\r\n").status, 0);
}

TEST(ResponseHead, HugeNumbersSaturateInsteadOfOverflowing) {
  EXPECT_EQ(ParseResponseHead("HTTP/1.1 200 OK\r\nContent-Length: 99999999999999999999\r\n\r\n")
                .contentLength,
            INT_MAX);
  EXPECT_EQ(ParseResponseHead("HTTP/1.1 -99999999999999 OK\r\n").status, INT_MIN);
}

TEST(ResponseHead, InterimAnswersAndFollowedRedirectsAreNotFinal) {
  EXPECT_FALSE(IsFinalResponseHead("HTTP/1.1 100 Continue\r\n\r\n"));
  EXPECT_FALSE(IsFinalResponseHead("HTTP/1.1 302 Found\r\nlocation: /b\r\n\r\n"));
  EXPECT_TRUE(IsFinalResponseHead("HTTP/1.1 302 Found\r\nContent-Length: 0\r\n\r\n"));
  EXPECT_TRUE(IsFinalResponseHead("HTTP/1.1 302 Found\r\nX-Location: /b\r\n\r\n"));
  EXPECT_TRUE(IsFinalResponseHead("HTTP/1.1 200 OK\r\nLocation: /b\r\n\r\n"));
  EXPECT_TRUE(IsFinalResponseHead("HTTP/1.1 404 Not Found\r\n\r\n"));
}

}  // namespace
}  // namespace harvelo
