#include "http/quick_ack.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>

namespace harvelo {

namespace {

void QuickAck([[maybe_unused]] curl_socket_t socket) {
#ifdef TCP_QUICKACK
  const int on = 1;
  ::setsockopt(socket, IPPROTO_TCP, TCP_QUICKACK, &on, sizeof on);
#endif
}

int LocalPort(curl_socket_t socket) {
  sockaddr_storage address{};
  socklen_t length = sizeof address;
  if (::getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length) != 0) return 0;
  if (address.ss_family == AF_INET) {
    return ntohs(reinterpret_cast<const sockaddr_in*>(&address)->sin_port);
  }
  if (address.ss_family == AF_INET6) {
    return ntohs(reinterpret_cast<const sockaddr_in6*>(&address)->sin6_port);
  }
  return 0;
}

}  // namespace

int SocketList::Opened(void* self, curl_socket_t socket, curlsocktype) {
  static_cast<SocketList*>(self)->sockets_.push_back({socket, 0});
  return CURL_SOCKOPT_OK;
}

int SocketList::Closed(void* self, curl_socket_t socket) {
  std::erase_if(static_cast<SocketList*>(self)->sockets_,
                [socket](const Open& open) { return open.socket == socket; });
  return ::close(socket);
}

void SocketList::AcknowledgeAll() const {
  for (const Open& open : sockets_) QuickAck(open.socket);
}

void SocketList::Acknowledge(int localPort) {
  bool found = false;
  for (Open& open : sockets_) {
    if (open.port == 0) open.port = LocalPort(open.socket);
    if (localPort != 0 && open.port == localPort) {
      QuickAck(open.socket);
      found = true;
    }
  }
  if (!found) AcknowledgeAll();
}

}  // namespace harvelo
