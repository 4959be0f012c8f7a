// A real HTTP server on 127.0.0.1 inside the test process (cpp-httplib), on a free port,
// listening in its own thread until the object is destroyed.
#pragma once
#include <httplib.h>

#include <chrono>
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
  httplib::Server server_;
  std::thread thread_;
  int port_ = 0;
};

}  // namespace harvelo::testing
