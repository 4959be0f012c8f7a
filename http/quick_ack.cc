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

void SocketList::AcknowledgeAll() const {
#ifdef TCP_QUICKACK
  const int on = 1;
  for (const curl_socket_t socket : sockets_) {
    ::setsockopt(socket, IPPROTO_TCP, TCP_QUICKACK, &on, sizeof on);
  }
#endif
}

}  // namespace harvelo
