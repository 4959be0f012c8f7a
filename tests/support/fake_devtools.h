// A browser's DevTools endpoint played by the test, on 127.0.0.1: the page list over
// HTTP and every page's protocol over WebSocket, each connection in its own thread. The
// test decides the page list and each command's answer, or that a page stays silent.
#pragma once
#include <poll.h>

#include <atomic>
#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/websocket.hpp>
#include <functional>
#include <mutex>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace harvelo::testing {

class FakeDevTools {
 public:
  // The answer to one protocol command (its text as sent); none: the page never answers.
  using Answer = std::function<std::optional<std::string>(const nlohmann::json& command)>;

  explicit FakeDevTools(Answer answer) : answer_(std::move(answer)) {
    namespace net = boost::asio;
    acceptor_.open(net::ip::tcp::v4());
    acceptor_.bind({net::ip::make_address_v4("127.0.0.1"), 0});
    acceptor_.listen();
    port_ = acceptor_.local_endpoint().port();
    thread_ = std::thread([this] { Accept(); });
  }
  ~FakeDevTools() {
    stop_ = true;
    thread_.join();
    std::lock_guard lock(connections_mutex_);
    for (auto& t : connections_) t.join();  // each ends when its client closes
  }
  FakeDevTools(const FakeDevTools&) = delete;
  FakeDevTools& operator=(const FakeDevTools&) = delete;

  int port() const { return port_; }
  void SetPageList(std::string json) {
    std::lock_guard lock(mutex_);
    page_list_ = std::move(json);
  }
  // "ws://127.0.0.1:port/devtools/page/<id>"
  std::string SocketUrl(const std::string& id) const {
    return "ws://127.0.0.1:" + std::to_string(port_) + "/devtools/page/" + id;
  }
  int pagesOpened() const { return pages_opened_; }
  int commandsReceived() const { return commands_; }

 private:
  void Accept() {
    while (!stop_) {
      pollfd p{acceptor_.native_handle(), POLLIN, 0};
      if (::poll(&p, 1, 20) <= 0) continue;
      boost::asio::ip::tcp::socket socket(ioc_);
      boost::beast::error_code ec;
      acceptor_.accept(socket, ec);
      if (ec) continue;
      std::lock_guard lock(connections_mutex_);
      connections_.emplace_back([this, s = std::move(socket)]() mutable { Serve(std::move(s)); });
    }
  }

  void Serve(boost::asio::ip::tcp::socket socket) {
    namespace http = boost::beast::http;
    namespace websocket = boost::beast::websocket;
    boost::beast::flat_buffer buffer;
    boost::beast::error_code ec;
    for (;;) {
      http::request<http::string_body> req;
      http::read(socket, buffer, req, ec);
      if (ec) return;
      if (websocket::is_upgrade(req)) {
        ++pages_opened_;
        websocket::stream<boost::asio::ip::tcp::socket> ws(std::move(socket));
        ws.read_message_max(0);
        ws.accept(req, ec);
        for (boost::beast::flat_buffer in; !ec; in.clear()) {
          ws.read(in, ec);
          if (ec) return;
          ++commands_;
          const auto answer =
              answer_(nlohmann::json::parse(boost::beast::buffers_to_string(in.data())));
          if (!answer) continue;  // silent: the client's deadline ends it
          ws.text(true);
          ws.write(boost::asio::buffer(*answer), ec);
        }
        return;
      }
      http::response<http::string_body> res{http::status::ok, req.version()};
      {
        std::lock_guard lock(mutex_);
        res.body() = page_list_;
      }
      res.prepare_payload();
      http::write(socket, res, ec);
      if (ec) return;
    }
  }

  std::string page_list_;
  Answer answer_;
  boost::asio::io_context ioc_;
  boost::asio::ip::tcp::acceptor acceptor_{ioc_};
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::atomic<int> pages_opened_{0};
  std::atomic<int> commands_{0};
  std::thread thread_;
  std::mutex mutex_;
  std::mutex connections_mutex_;
  std::vector<std::thread> connections_;
};

// A page list of `n` pages "http://site/<i>" titled "Page <i>", each with its socket.
inline std::string PageList(const FakeDevTools& fake, int n) {
  auto list = nlohmann::json::array();
  for (int i = 0; i < n; ++i) {
    list.push_back({{"type", "page"},
                    {"url", "http://site/" + std::to_string(i)},
                    {"title", "Page " + std::to_string(i)},
                    {"webSocketDebuggerUrl", fake.SocketUrl(std::to_string(i))}});
  }
  return list.dump();
}

}  // namespace harvelo::testing
