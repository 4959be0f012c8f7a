// A real HTTP server on 127.0.0.1 inside the test process (cpp-httplib), on a free port,
// listening in its own thread until the object is destroyed.
#pragma once
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

namespace harvelo::testing {

class LoopbackServer {
 public:
  LoopbackServer() = default;
  ~LoopbackServer() { Stop(); }
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  // Register handlers on server() first, then Start().
  httplib::Server& server() { return server_; }

  bool Start() {
    port_ = server_.bind_to_any_port("127.0.0.1");
    if (port_ <= 0) return false;
    WidenBacklog();
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    for (int i = 0; i < 500 && !server_.is_running(); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return server_.is_running();
  }

  void Stop() {
    if (thread_.joinable()) {
      server_.stop();
      thread_.join();
    }
  }

  int port() const { return port_; }
  // "http://127.0.0.1:PORT" followed by path (which begins with '/').
  std::string Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }

 private:
  // cpp-httplib listens with a backlog of 5: a burst of new connections (a proxy opening
  // one a request, many clients at once) overflows it, and each handshake dropped then
  // waits the 1 s SYN retransmission. Linux takes a second listen() as a new backlog;
  // the socket is found among the process's as the one listening on our port.
  void WidenBacklog() const {
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", ec)) {
      const int fd = std::atoi(entry.path().filename().c_str());
      int listening = 0;
      socklen_t size = sizeof listening;
      sockaddr_in address{};
      socklen_t length = sizeof address;
      if (::getsockopt(fd, SOL_SOCKET, SO_ACCEPTCONN, &listening, &size) == 0 && listening &&
          ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0 &&
          address.sin_family == AF_INET && ntohs(address.sin_port) == port_) {
        ::listen(fd, SOMAXCONN);
      }
    }
  }

  httplib::Server server_;
  std::thread thread_;
  int port_ = 0;
};

}  // namespace harvelo::testing
