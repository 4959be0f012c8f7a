#include "devtools/devtools_connection.h"

#include <algorithm>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/websocket.hpp>
#include <optional>

#include "platform/json_nesting.h"

namespace harvelo::devtools {

namespace net = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
namespace websocket = beast::websocket;
using tcp = net::ip::tcp;

struct DevToolsConnection::State {
  net::io_context ioc;
  int port = 0;
  std::chrono::milliseconds timeout;
  std::chrono::steady_clock::time_point deadline;
  std::optional<beast::tcp_stream> http_stream;
  std::optional<websocket::stream<beast::tcp_stream>> ws;
  int next_id = 1;

  tcp::endpoint Endpoint() const {
    return {net::ip::make_address_v4("127.0.0.1"), static_cast<unsigned short>(port)};
  }

  // Runs one asynchronous operation to its end. The stream's own timer (armed by the
  // caller with expires_after) closes the socket at the deadline, which ends the
  // operation with beast::error::timeout, so this never waits longer than that.
  // The time the next exchange may take: its own time-out, cut at the pass's deadline.
  std::chrono::steady_clock::duration Budget() const {
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline) return std::chrono::steady_clock::duration::zero();
    return std::min<std::chrono::steady_clock::duration>(timeout, deadline - now);
  }

  template <class Start>
  beast::error_code Run(Start start) {
    if (std::chrono::steady_clock::now() >= deadline) return beast::error::timeout;
    beast::error_code result;
    bool done = false;
    start([&](beast::error_code ec, auto&&...) {
      result = ec;
      done = true;
    });
    ioc.restart();
    while (!done && ioc.run_one() > 0) {
    }
    return done ? result : beast::error_code(net::error::operation_aborted);
  }
};

namespace {

std::string Describe(const beast::error_code& ec) {
  if (ec == beast::error::timeout) return "the browser did not answer in time";
  return ec.message();
}

}  // namespace

DevToolsConnection::DevToolsConnection(int port, std::chrono::milliseconds timeout,
                                       std::chrono::steady_clock::time_point deadline)
    : state_(std::make_unique<State>()) {
  state_->port = port;
  state_->timeout = timeout;
  state_->deadline = deadline;
}

DevToolsConnection::~DevToolsConnection() = default;

bool DevToolsConnection::Connect() {
  State& s = *state_;
  s.http_stream.emplace(s.ioc);
  s.http_stream->expires_after(s.Budget());
  const auto ec =
      s.Run([&](auto handler) { s.http_stream->async_connect(s.Endpoint(), std::move(handler)); });
  if (ec) {
    s.http_stream.reset();
    return false;
  }
  return true;
}

CallResult DevToolsConnection::HttpGet(const std::string& target, std::string& body,
                                       std::string& error) {
  State& s = *state_;
  body.clear();
  if (!s.http_stream) {
    error = "not connected";
    return CallResult::kTransport;
  }
  http::request<http::empty_body> req{http::verb::get, target, 11};
  req.set(http::field::host, "127.0.0.1:" + std::to_string(s.port));
  s.http_stream->expires_after(s.Budget());
  auto ec =
      s.Run([&](auto handler) { http::async_write(*s.http_stream, req, std::move(handler)); });
  beast::flat_buffer buffer;
  http::response_parser<http::string_body> parser;
  parser.body_limit(kMaxAnswerBytes);
  if (!ec) {
    s.http_stream->expires_after(s.Budget());
    ec = s.Run([&](auto handler) {
      http::async_read_header(*s.http_stream, buffer, parser, std::move(handler));
    });
  }
  // The string body reserves what the head announces: a lie is refused here.
  if (!ec && parser.content_length() && *parser.content_length() > kMaxAnswerBytes) {
    ec = http::error::body_limit;
  }
  if (!ec && !parser.is_done()) {
    s.http_stream->expires_after(s.Budget());
    ec = s.Run([&](auto handler) {
      http::async_read(*s.http_stream, buffer, parser, std::move(handler));
    });
  }
  if (ec) {
    error = Describe(ec);
    return CallResult::kTransport;
  }
  auto& res = parser.get();
  if (res.result() != http::status::ok) {
    error = "HTTP " + std::to_string(res.result_int()) + " " + std::string(res.reason());
    return CallResult::kRefused;
  }
  body = std::move(res.body());
  return CallResult::kOk;
}

CallResult DevToolsConnection::OpenPage(const std::string& path, std::string& error) {
  State& s = *state_;
  ClosePage();
  s.ws.emplace(s.ioc);
  auto& lowest = beast::get_lowest_layer(*s.ws);
  lowest.expires_after(s.Budget());
  auto ec = s.Run([&](auto handler) { lowest.async_connect(s.Endpoint(), std::move(handler)); });
  if (!ec) {
    s.ws->read_message_max(kMaxAnswerBytes);
    ec = s.Run([&](auto handler) {
      s.ws->async_handshake("127.0.0.1:" + std::to_string(s.port), path, std::move(handler));
    });
  }
  if (ec) {
    error = Describe(ec);
    s.ws.reset();
    return CallResult::kTransport;
  }
  return CallResult::kOk;
}

CallResult DevToolsConnection::Call(const std::string& method, const nlohmann::json& params,
                                    nlohmann::json& result, std::string& error) {
  State& s = *state_;
  result = nullptr;
  if (!s.ws) {
    error = "the page is not open";
    return CallResult::kTransport;
  }
  const int id = s.next_id++;
  const std::string request =
      nlohmann::json{{"id", id}, {"method", method}, {"params", params}}.dump();
  // One deadline for the whole exchange: the request and every message up to its answer.
  beast::get_lowest_layer(*s.ws).expires_after(s.Budget());
  s.ws->text(true);
  auto ec =
      s.Run([&](auto handler) { s.ws->async_write(net::buffer(request), std::move(handler)); });
  while (!ec) {
    beast::flat_buffer buffer;
    ec = s.Run([&](auto handler) { s.ws->async_read(buffer, std::move(handler)); });
    if (ec) break;
    const std::string text = beast::buffers_to_string(buffer.data());
    if (!JsonNestingWithin(text)) {
      error = "the answer nests deeper than " + std::to_string(kMaxJsonNesting) + " levels";
      return CallResult::kRefused;
    }
    const auto message = nlohmann::json::parse(text, nullptr, /*allow_exceptions=*/false);
    if (!message.is_object() || !message.contains("id") || message["id"] != id) {
      if (onEvent && message.is_object() && message.contains("method")) onEvent(message);
      continue;
    }
    if (message.contains("error")) {
      const auto& e = message["error"];
      error = e.is_object() && e.contains("message") && e["message"].is_string()
                  ? e["message"].get<std::string>()
                  : e.dump();
      return CallResult::kRefused;
    }
    if (message.contains("result")) result = message["result"];
    return CallResult::kOk;
  }
  error = Describe(ec);
  s.ws.reset();  // a timed-out socket is closed already; the page is not usable any more
  return CallResult::kTransport;
}

void DevToolsConnection::ClosePage() {
  State& s = *state_;
  if (!s.ws) return;
  beast::error_code ignored;
  beast::get_lowest_layer(*s.ws).socket().shutdown(tcp::socket::shutdown_both, ignored);
  beast::get_lowest_layer(*s.ws).socket().close(ignored);
  s.ws.reset();
}

}  // namespace harvelo::devtools
