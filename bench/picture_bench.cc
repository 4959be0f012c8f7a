// The picture-size filter on a 20 MB JPEG of 16 x 16 pixels from a loopback server:
// how many bytes arrive before the transfer is cancelled and how long it takes, against
// fetching the whole file without the filter and with the curl tool, in the same run.
#include <httplib.h>
#include <sys/wait.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "engine/content_checks.h"
#include "http/http_fetcher.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

constexpr size_t kFileSize = 20u * 1024 * 1024;
constexpr int kRounds = 5;

double Seconds(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

std::string Be16(unsigned v) {
  return {static_cast<char>(v >> 8), static_cast<char>(v & 0xFF)};
}

// A JPEG whose frame header says 16 x 16, after a 30 KB EXIF block as cameras write it.
std::string JpegHead() {
  std::string s("\xFF\xD8", 2);
  s += std::string("\xFF\xE1", 2) + Be16(30000) + "Exif" + std::string(30000 - 6, 'e');
  s += std::string("\xFF\xC0", 2) + Be16(17) + "\x08" + Be16(16) + Be16(16) +
       std::string(12, '\x01');
  s += std::string("\xFF\xDA", 2) + Be16(8) + std::string(6, '\x02');
  return s;
}

struct Filter {
  harvelo::ContentChecks* checks;
  long long received = 0;
};

int Cancel(void* context, int callIndex, int, int bytesSoFar) {
  auto* filter = static_cast<Filter*>(context);
  filter->received = bytesSoFar;
  return callIndex > 0 && filter->checks->PictureTooSmall() ? 0 : 1;
}

int KeepGoing(void*, int, int, int) {
  return 1;
}

}  // namespace

int main() {
  const std::string head = JpegHead();
  const std::string filler(64 * 1024, '\x55');
  std::atomic<long long> served{0};
  httplib::Server server;
  server.Get("/big.jpg", [&](const httplib::Request&, httplib::Response& res) {
    res.set_content_provider(
        kFileSize, "image/jpeg", [&](size_t offset, size_t length, httplib::DataSink& sink) {
          const std::string& from = offset < head.size() ? head : filler;
          const size_t at = offset < head.size() ? offset : 0;
          const size_t n = std::min({length, from.size() - at, kFileSize - offset});
          served = static_cast<long long>(offset + n);
          return sink.write(from.data() + at, n);
        });
  });
  const int port = server.bind_to_any_port("127.0.0.1");
  std::thread listener([&] { server.listen_after_bind(); });
  while (!server.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  const std::string url = "http://127.0.0.1:" + std::to_string(port) + "/big.jpg";
  char pattern[] = "/tmp/harvelo-picture-bench-XXXXXX";
  const fs::path dir = ::mkdtemp(pattern);
  const std::string out = (dir / "big.jpg").string();

  harvelo::Settings settings;
  settings.minimumPictureWidth = 100;
  settings.minimumPictureHeight = 100;
  settings.skipDuplicates = 0;
  double filtered = 1e9, whole = 1e9, curl = 1e9;
  long long receivedMax = 0, servedMax = 0;
  bool cancelled = true;
  for (int round = 0; round < kRounds; ++round) {
    {
      harvelo::HTTPFetcher fetcher;
      harvelo::ContentChecks checks;
      checks.Begin(settings);
      fetcher.m_onBody = [&checks](const char* data, size_t size) { checks.Feed(data, size); };
      Filter filter{&checks};
      served = 0;
      const auto start = Clock::now();
      const int ok = fetcher.GetResource(url, out, "", "", &Cancel, &filter);
      filtered = std::min(filtered, Seconds(start));
      cancelled = cancelled && ok == 0 && !fs::exists(out);
      receivedMax = std::max(receivedMax, filter.received);
      std::this_thread::sleep_for(std::chrono::milliseconds(50));  // the server notices
      servedMax = std::max(servedMax, served.load());
    }
    {
      harvelo::HTTPFetcher fetcher;
      const auto start = Clock::now();
      if (!fetcher.GetResource(url, out, "", "", &KeepGoing, nullptr)) return 1;
      whole = std::min(whole, Seconds(start));
      fs::remove(out);
    }
    {
      const auto start = Clock::now();
      const std::string command = "curl -s --noproxy '*' -o '" + out + "' '" + url + "'";
      if (std::system(command.c_str()) != 0) return 1;
      curl = std::min(curl, Seconds(start));
      fs::remove(out);
    }
  }
  server.stop();
  listener.join();
  fs::remove_all(dir);

  std::printf(
      "picture_bench: 20 MB JPEG of 16 x 16 pixels, minimum picture 100 x 100, best of %d\n",
      kRounds);
  std::printf(
      "  cancelled: %s; received before the cancel at most %lld bytes (target <= 65536); "
      "written by the server at most %lld bytes (socket buffers included)\n",
      cancelled ? "yes, no file left" : "NO", receivedMax, servedMax);
  std::printf(
      "  time: filtered %.4f s, whole file %.4f s, curl (whole file) %.4f s, ratio "
      "filtered / curl %.3f\n",
      filtered, whole, curl, filtered / curl);
  return cancelled && receivedMax <= 65536 ? 0 : 1;
}
