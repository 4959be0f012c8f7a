// A body far larger than memory would want is streamed to disk in constant memory.
#include <sys/resource.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>
#include <string>

#include "http/http_fetcher.h"
#include "support/loopback_server.h"
#include "support/temp_dir.h"

#if defined(__SANITIZE_ADDRESS__)
#define HARVELO_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define HARVELO_ASAN 1
#endif
#endif

#ifdef HARVELO_ASAN
// The sanitizer's quarantine of freed blocks (256 MB by default, filled by the server's
// per-chunk buffers) would pass for growth.
extern "C" const char* __asan_default_options() {
  return "quarantine_size_mb=8";
}
#endif

namespace harvelo {
namespace {

using testing::LoopbackServer;
using testing::TempDir;

#ifdef HARVELO_ASAN
// Slower under the sanitizer, so a smaller body.
constexpr long long kBodySize = 256LL << 20;
#else
constexpr long long kBodySize = 1LL << 30;
#endif

long MaxRssKb() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

TEST(FetchLarge, StreamsAGigabyteInConstantMemory) {
  LoopbackServer server;
  server.server().Get("/huge.bin", [](const httplib::Request&, httplib::Response& res) {
    res.set_chunked_content_provider("application/octet-stream",
                                     [](size_t offset, httplib::DataSink& sink) {
                                       static const std::string block(64 * 1024, 'h');
                                       if (static_cast<long long>(offset) >= kBodySize) {
                                         sink.done();
                                         return true;
                                       }
                                       return sink.write(block.data(), block.size());
                                     });
  });
  ASSERT_TRUE(server.Start());
  TempDir dir;
  const std::string out = dir.file("huge.bin");
  struct Progress {
    int calls = 0;
    int last = 0;
  } progress;
  const FetchProgressFn callback = [](void* self, int, int, int bytesSoFar) {
    auto* p = static_cast<Progress*>(self);
    ++p->calls;
    p->last = bytesSoFar;
    return 1;
  };
  HTTPFetcher fetcher;
  const long before = MaxRssKb();
  ASSERT_EQ(fetcher.GetResource(server.Url("/huge.bin"), out, "", "", callback, &progress), 1);
  const long growthKb = MaxRssKb() - before;
  std::cout << "[ measured ] " << (kBodySize >> 20) << " MB in " << progress.calls
            << " calls, max RSS growth " << growthKb << " KB\n";
  EXPECT_EQ(progress.last, kBodySize);
  EXPECT_EQ(static_cast<long long>(std::filesystem::file_size(out)), kBodySize);
  EXPECT_LT(growthKb, 32 * 1024);
}

}  // namespace
}  // namespace harvelo
