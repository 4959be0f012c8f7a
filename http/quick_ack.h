// The open connections of a multi handle, kept so that the connection that has just
// brought a response's headers can send its ACK at once.
//
// A server that writes the headers and then a body of less than one segment has the
// body held by its Nagle algorithm until the headers are acknowledged, and on a kept-
// alive connection the kernel delays that ACK by up to 40 ms.
#pragma once
#include <curl/curl.h>

#include <vector>

namespace harvelo {

class SocketList {
 public:
  // For CURLOPT_SOCKOPTFUNCTION and CURLOPT_CLOSESOCKETFUNCTION, with this list as data.
  static int Opened(void* self, curl_socket_t socket, curlsocktype purpose);
  static int Closed(void* self, curl_socket_t socket);

  // Sends the ACK now on every open connection: the one that has just brought headers
  // is among them, and curl names a transfer's socket only once the transfer is over.
  // On the others it does no harm (a connection waiting for its response would
  // acknowledge it at once anyway).
  void AcknowledgeAll() const;
  // The same for the connection with this local port only (all when none has it). The
  // ports are learnt once a connection is used, so a kept-alive one costs one call.
  void Acknowledge(int localPort);

 private:
  struct Open {
    curl_socket_t socket;
    int port;  // 0: not known yet
  };
  std::vector<Open> sockets_;
};

}  // namespace harvelo
