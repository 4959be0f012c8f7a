// The DevTools client shared by Inspector and the rendering of pages.
// One conversation with a Chromium-family browser's DevTools endpoint on the loopback
// address: the page list over HTTP, and one page's protocol over its WebSocket. Every
// exchange (connect, request and its answer) has its own deadline, so a browser that
// accepts the connection and never answers costs at most that long.
#pragma once
#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include <nlohmann/json.hpp>

namespace harvelo::devtools {

// How a call ended: kOk; kTransport when the connection failed, broke or timed out (the
// error text says which); kRefused when the browser answered with an error of its own.
enum class CallResult { kOk, kTransport, kRefused };

// The largest page list or protocol message read; far above any real browser's.
inline constexpr size_t kMaxAnswerBytes = 64u * 1024 * 1024;

class DevToolsConnection {
 public:
  // Each exchange may take `timeout`, and none goes on past `deadline` (the end of the
  // whole pass): one that would start after it fails at once as timed out.
  explicit DevToolsConnection(int port, std::chrono::milliseconds timeout = std::chrono::seconds(2),
                              std::chrono::steady_clock::time_point deadline =
                                  std::chrono::steady_clock::time_point::max());
  ~DevToolsConnection();
  DevToolsConnection(const DevToolsConnection&) = delete;
  DevToolsConnection& operator=(const DevToolsConnection&) = delete;

  // Opens a TCP connection to 127.0.0.1:port (the HTTP side). False when nothing listens.
  bool Connect();
  // GET `target` on the connection made by Connect, the body into `body`. A body over
  // kMaxAnswerBytes, or announced as such, is refused unread.
  CallResult HttpGet(const std::string& target, std::string& body, std::string& error);

  // Opens the WebSocket of a page; `path` is the path part of its debugger address.
  CallResult OpenPage(const std::string& path, std::string& error);
  // One protocol command on the page's WebSocket: `result` gets the answer's "result".
  // Messages that are not the answer (events) are passed over; an answer nested deeper
  // than any real one is refused.
  CallResult Call(const std::string& method, const nlohmann::json& params, nlohmann::json& result,
                  std::string& error);
  void ClosePage();

  // Receives the events (messages with a "method" and no id) that arrive while Call waits
  // for its answer; without one they are passed over.
  std::function<void(const nlohmann::json& event)> onEvent;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace harvelo::devtools
