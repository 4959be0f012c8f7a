// The libcurl side of an HTTPFetcher: one easy handle and one multi handle kept for the
// fetcher's life, so that its fetches reuse their connections. The transfer runs through
// the multi interface so that the window is pumped while the network keeps us waiting.
#pragma once
#include <curl/curl.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "http/curl_setup.h"
#include "http/http_fetcher.h"
#include "http/output_file.h"

namespace harvelo {

struct CurlEasyDeleter {
  void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct CurlMultiDeleter {
  void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};
struct CurlSlistDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

struct HTTPFetcher::Session {
  using Clock = std::chrono::steady_clock;

  Session(HTTPFetcher& owner, const std::string& agent);
  ~Session();

  // Opens url, receives the body into outPath and fills the owner's status, length,
  // error record and m_bContinue. The cookies are already in the store.
  void Run(const std::string& url, const std::string& outPath,
           const std::vector<std::string>& headerLines, const TransferMode& mode,
           FetchProgressFn callback, void* context);

  HTTPFetcher& owner;
  std::unique_ptr<CURL, CurlEasyDeleter> easy;
  std::unique_ptr<CURLM, CurlMultiDeleter> multi;
  bool emptyAgent = false;
  long connectMs = 60000;
  long stallMs = 60000;
  bool running = false;                // a fetch is under way (guards against reentry)
  std::vector<curl_socket_t> sockets;  // open connections of this session

  // State of the fetch under way.
  TransferMode mode;
  std::string outPath;
  FetchProgressFn callback = nullptr;
  void* context = nullptr;
  std::string requestBlock;   // as sent on the wire, of the latest request
  std::string responseBlock;  // raw, of the latest response
  bool headersKnown = false;  // the final response's headers are complete
  bool headEnded = false;     // the latest header line was the blank line ending a block
  bool created = false;       // the output file was created
  bool stopped = false;       // ended by the fetcher itself; the error record is filled
  bool connected = false;     // the stall clock runs
  int callIndex = 0;
  std::int64_t bytesSoFar = 0;
  OutputFile out;
  Clock::time_point lastActivity;
  Clock::time_point lastPump;

 private:
  void Reset(const std::string& path, FetchProgressFn cb, void* ctx);
  bool OnHeadersKnown();
  bool CallProgress();
  bool CancelledWhileWaiting();
  bool OnBody(const char* data, size_t size);
  void OnHeaderLine(const char* data, size_t size);
  void AcknowledgeNow();
  void PumpIfDue();
  void Fail(std::uint32_t code, const std::string& description, const char* context);
  void OwnFailure(const char* description, const char* context);
  void Cancelled();

  static size_t HeaderCallback(char* data, size_t size, size_t count, void* self);
  static size_t WriteCallback(char* data, size_t size, size_t count, void* self);
  static int DebugCallback(CURL*, curl_infotype type, char* data, size_t size, void* self);
  static int PrereqCallback(void* self, char*, char*, int, int);
  static int SockoptCallback(void* self, curl_socket_t socket, curlsocktype purpose);
  static int CloseSocketCallback(void* self, curl_socket_t socket);
};

}  // namespace harvelo
