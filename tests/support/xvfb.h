// A private X server for a test (Xvfb on the first free display number from :90), ended
// with the object.
#pragma once
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

namespace harvelo::testing {

class Xvfb {
 public:
  Xvfb() {
    for (int n = 90; n < 190 && display_.empty(); ++n) {
      const std::string socket = "/tmp/.X11-unix/X" + std::to_string(n);
      const std::string lock = "/tmp/.X" + std::to_string(n) + "-lock";
      if (std::filesystem::exists(socket) || std::filesystem::exists(lock)) continue;
      const std::string name = ":" + std::to_string(n);
      pid_ = ::fork();
      if (pid_ == 0) {
        ::setpgid(0, 0);
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        ::dup2(null, 2);
        ::execlp("Xvfb", "Xvfb", name.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
                 static_cast<char*>(nullptr));
        ::_exit(127);
      }
      // Ready once its socket is there; a server that ended lost the number to another.
      for (int i = 0; i < 500; ++i) {
        if (::waitpid(pid_, nullptr, WNOHANG) == pid_) {
          pid_ = 0;
          break;
        }
        if (std::filesystem::exists(socket)) {
          display_ = name;
          break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      }
    }
  }
  ~Xvfb() {
    if (pid_ > 0) {
      ::kill(pid_, SIGTERM);
      ::waitpid(pid_, nullptr, 0);
    }
  }
  Xvfb(const Xvfb&) = delete;
  Xvfb& operator=(const Xvfb&) = delete;

  // ":N", or "" when no server started.
  const std::string& display() const { return display_; }

 private:
  pid_t pid_ = 0;
  std::string display_;
};

}  // namespace harvelo::testing
