// nginx on loopback for the tests and benchmarks that need a real HTTP/2 server: a
// throw-away certificate authority and a certificate for 127.0.0.1 that it signed (made
// with openssl), and nginx started in the foreground on a configuration of the caller's,
// stopped when the object goes.
#pragma once
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "support/temp_dir.h"

namespace harvelo::testing {

// A port that nothing listens on now.
inline int FreePort() {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  ::close(fd);
  return ntohs(address.sin_port);
}

inline bool Accepts(int port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<uint16_t>(port));
  const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  ::close(fd);
  return ok;
}

// ca.pem, server.pem and server.key in dir. False when openssl failed.
inline bool MakeCertificates(const TempDir& dir) {
  WriteBytes(dir.file("ext.cnf"), "subjectAltName=IP:127.0.0.1\n");
  const std::string script =
      "cd '" + dir.dir() +
      "' && openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.pem -days 1 "
      "-subj '/CN=Harvelo test CA' && openssl req -newkey rsa:2048 -nodes -keyout server.key "
      "-out server.csr -subj '/CN=127.0.0.1' && openssl x509 -req -in server.csr -CA ca.pem "
      "-CAkey ca.key -CAcreateserial -out server.pem -days 1 -extfile ext.cnf";
  return std::system(("(" + script + ") >/dev/null 2>&1").c_str()) == 0;
}

inline std::string NginxPath() {
  for (const char* path : {"/usr/sbin/nginx", "/usr/bin/nginx"}) {
    if (::access(path, X_OK) == 0) return path;
  }
  return {};
}

class Nginx {
 public:
  // `servers`: the server blocks of the http block; the rest of the configuration
  // (logs, pid and temporary files in dir) is made here. Waits until every port in
  // `ports` accepts.
  bool Start(const TempDir& dir, const std::string& servers, const std::vector<int>& ports) {
    const std::string conf =
        std::string(::geteuid() == 0 ? "user root;\n" : "") + "worker_processes 1;\nerror_log " +
        dir.file("error.log") + ";\npid " + dir.file("nginx.pid") +
        ";\nevents { worker_connections 1024; }\nhttp {\n"
        " client_body_temp_path " +
        dir.file("tmp") + ";\n proxy_temp_path " + dir.file("proxy") + ";\n" + servers + "}\n";
    WriteBytes(dir.file("nginx.conf"), conf);
    std::filesystem::create_directories(dir.file("logs"));
    const std::string path = NginxPath();
    if (path.empty()) return false;
    std::vector<std::string> args = {path, "-p",         dir.dir(), "-c", dir.file("nginx.conf"),
                                     "-g", "daemon off;"};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, path.c_str(), nullptr, nullptr, argv.data(), environ) != 0) {
      pid_ = -1;
      return false;
    }
    auto allAccept = [&ports] {
      for (const int port : ports) {
        if (!Accepts(port)) return false;
      }
      return true;
    };
    for (int i = 0; i < 500 && !allAccept(); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return allAccept();
  }
  ~Nginx() {
    if (pid_ > 0) {
      ::kill(pid_, SIGQUIT);
      int status = 0;
      ::waitpid(pid_, &status, 0);
    }
  }

 private:
  pid_t pid_ = -1;
};

}  // namespace harvelo::testing
