// A bare HTTP server on 127.0.0.1 for tests that must see or control the exact bytes:
// it records each request head as received and lets a handler write the response
// piece by piece. One connection at a time; the connection is closed after the handler.
#pragma once
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace harvelo::testing {

class RawHttpServer {
 public:
  // Sends bytes to the client; false when the connection is gone.
  using Send = std::function<bool(std::string_view)>;
  using Handler = std::function<void(const std::string& requestHead, const Send& send)>;

  explicit RawHttpServer(Handler handler) : handler_(std::move(handler)) {}
  // A server that answers every request with the same bytes.
  explicit RawHttpServer(std::string response)
      : handler_([response](const std::string&, const Send& send) { send(response); }) {}
  ~RawHttpServer() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (listener_ >= 0) ::close(listener_);
  }
  RawHttpServer(const RawHttpServer&) = delete;
  RawHttpServer& operator=(const RawHttpServer&) = delete;

  bool Start() {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listener_ < 0) return false;
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::listen(listener_, 8) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
      return false;
    }
    port_ = ntohs(addr.sin_port);
    thread_ = std::thread([this] { Serve(); });
    return true;
  }

  int port() const { return port_; }
  std::string Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }

  // Called from a handler: the connection ends with a reset (RST) instead of a close.
  void ResetConnection() { reset_ = true; }

  // The request heads received so far, each up to and including its empty line.
  std::vector<std::string> requests() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
  }

 private:
  void Serve() {
    while (!stop_) {
      pollfd p{listener_, POLLIN, 0};
      if (::poll(&p, 1, 20) <= 0) continue;
      const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
      if (fd < 0) continue;
      std::string head;
      char buf[4096];
      while (head.find("\r\n\r\n") == std::string::npos) {
        const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
        if (n <= 0) break;
        head.append(buf, static_cast<size_t>(n));
      }
      {
        std::lock_guard<std::mutex> lock(mutex_);
        requests_.push_back(head);
      }
      handler_(head, [fd](std::string_view bytes) {
        while (!bytes.empty()) {
          const ssize_t n = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
          if (n <= 0) return false;
          bytes.remove_prefix(static_cast<size_t>(n));
        }
        return true;
      });
      if (reset_.exchange(false)) {
        const linger abort{1, 0};
        ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
      } else {
        ::shutdown(fd, SHUT_WR);
      }
      ::close(fd);
    }
  }

  Handler handler_;
  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::atomic<bool> reset_{false};
  std::thread thread_;
  mutable std::mutex mutex_;
  std::vector<std::string> requests_;
};

// Lets a server thread wait until the client has reached a step (counted upwards).
class StepGate {
 public:
  void Reach(int step) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (step > reached_) reached_ = step;
    cv_.notify_all();
  }
  // False when the step was not reached in time (the client gave up).
  bool WaitFor(int step, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    std::unique_lock<std::mutex> lock(mutex_);
    return cv_.wait_for(lock, limit, [&] { return reached_ >= step; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable cv_;
  int reached_ = -1;
};

}  // namespace harvelo::testing
