// Time-outs: a connection that can't be made, and time that is not the server's fault.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "fetch_recorder.h"
#include "http/http_fetcher.h"
#include "support/raw_http_server.h"
#include "support/temp_dir.h"

namespace harvelo {
namespace {

using testing::Exists;
using testing::FetchRecorder;
using testing::RawHttpServer;
using testing::ReadBytes;
using testing::TempDir;

// A listener that never accepts, with its queue filled, so that a further connection
// attempt is never answered.
class FullListener {
 public:
  FullListener() {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    ::bind(listener_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    ::listen(listener_, 0);
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&addr), &len);
    port_ = ntohs(addr.sin_port);
    for (int i = 0; i < 4; ++i) {
      const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
      ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
      fillers_.push_back(fd);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));  // let the handshakes settle
  }
  ~FullListener() {
    for (const int fd : fillers_) ::close(fd);
    ::close(listener_);
  }
  int port() const { return port_; }

 private:
  int listener_ = -1;
  int port_ = 0;
  std::vector<int> fillers_;
};

TEST(FetchTimeout, AConnectionThatCannotBeMadeTimesOutWhileOpening) {
  FullListener listener;
  TempDir dir;
  const std::string out = dir.file("x.jpg");
  HTTPFetcher fetcher;
  fetcher.SetTimeouts(300, 60000);
  EXPECT_EQ(fetcher.GetResource("http://127.0.0.1:" + std::to_string(listener.port()) + "/x.jpg",
                                out, "", "", nullptr, nullptr),
            0);
  EXPECT_EQ(fetcher.m_dwErrorCode, 12002u);
  EXPECT_STREQ(fetcher.m_szErrorContext, "CInternetSession::OpenURL()");
  EXPECT_FALSE(Exists(out));
}

TEST(FetchTimeout, TimeSpentInTheCallbackIsNotAStall) {
  // The body comes a little after the user ends a pause that was longer than the stall
  // time-out: only the little counts.
  testing::StepGate gate;
  RawHttpServer server([&](const std::string&, const RawHttpServer::Send& send) {
    send("HTTP/1.1 200 OK\r\nContent-Length: 6000\r\n\r\n");
    if (!gate.WaitFor(0)) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(1700));
    send(std::string(6000, 'p'));
  });
  ASSERT_TRUE(server.Start());
  TempDir dir;
  const std::string out = dir.file("paused.jpg");
  FetchRecorder recorder;
  recorder.onCall = [&](int index) {
    if (index != 0) return;
    gate.Reach(0);
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  };
  HTTPFetcher fetcher;
  fetcher.SetTimeouts(5000, 1000);
  ASSERT_EQ(fetcher.GetResource(server.Url("/"), out, "", "", &FetchRecorder::Callback, &recorder),
            1)
      << fetcher.m_szErrorDesc;
  EXPECT_EQ(ReadBytes(out), std::string(6000, 'p'));
}

TEST(FetchReentry, AFetchStartedFromACallbackOnTheSameFetcherIsRefused) {
  RawHttpServer server("HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\nbody");
  ASSERT_TRUE(server.Start());
  TempDir dir, other;
  HTTPFetcher fetcher;
  int inner = -1;
  int elsewhere = -1;  // into another folder, which the fetcher's own pool is not for
  FetchRecorder recorder;
  recorder.onCall = [&](int index) {
    if (index != 0) return;
    inner = fetcher.GetPage(server.Url("/"), dir.file("inner"), "", "", nullptr, nullptr);
    elsewhere = fetcher.GetPage(server.Url("/"), other.file("inner"), "", "", nullptr, nullptr);
  };
  EXPECT_EQ(fetcher.GetResource(server.Url("/"), dir.file("outer"), "", "",
                                &FetchRecorder::Callback, &recorder),
            1);
  EXPECT_EQ(inner, 0);
  EXPECT_EQ(elsewhere, 0);
  EXPECT_EQ(ReadBytes(dir.file("outer")), "body");
  EXPECT_FALSE(Exists(dir.file("inner")));
  EXPECT_FALSE(Exists(other.file("inner")));
}

}  // namespace
}  // namespace harvelo
