#include "http/quick_ack.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>

namespace harvelo {

int SocketList::Opened(void* self, curl_socket_t socket, curlsocktype) {
  static_cast<SocketList*>(self)->sockets_.push_back(socket);
  return CURL_SOCKOPT_OK;
}

int SocketList::Closed(void* self, curl_socket_t socket) {
  std::erase(static_cast<SocketList*>(self)->sockets_, socket);
  return ::close(socket);
}

void SocketList::Acknowledge(CURL* easy) const {
#ifdef TCP_QUICKACK
  long localPort = 0;
  if (curl_easy_getinfo(easy, CURLINFO_LOCAL_PORT, &localPort) != CURLE_OK) return;
  for (const curl_socket_t socket : sockets_) {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (::getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length) != 0) continue;
    in_port_t port = 0;
    if (address.ss_family == AF_INET) {
      port = reinterpret_cast<const sockaddr_in&>(address).sin_port;
    } else if (address.ss_family == AF_INET6) {
      port = reinterpret_cast<const sockaddr_in6&>(address).sin6_port;
    }
    if (ntohs(port) != localPort) continue;
    const int on = 1;
    ::setsockopt(socket, IPPROTO_TCP, TCP_QUICKACK, &on, sizeof on);
  }
#else
  (void)easy;
#endif
}

}  // namespace harvelo
