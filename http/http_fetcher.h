// HTTPFetcher: the only way the program talks to the web. Fetches one URL at a time
// straight into a local file, with the fixed browser-like request headers, an optional
// referrer and the page's cookies, calling a progress callback as the body streams in.
// After a fetch the caller reads the status and, when it failed, the error record.
// Every fetch is served by a LookAheadPool: the run's (m_lookAhead), else one of the
// fetcher's own that fetches one request at a time.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/message_box.h"

namespace harvelo {

class LookAheadPool;

// Non-zero to continue, 0 to cancel. Called once with callIndex 0 after the response
// headers and before the first body byte, then once per read (of at most 2048 bytes),
// including the read that finds the end: a body of k reads gives k + 1 calls.
using FetchProgressFn = int (*)(void* context, int callIndex, int contentLength, int bytesSoFar);

constexpr int kTransferAscii = 1;   // INTERNET_FLAG_TRANSFER_ASCII
constexpr int kTransferBinary = 2;  // INTERNET_FLAG_TRANSFER_BINARY

constexpr const char* kDefaultUserAgent = "Mozilla/4.0 (compatible; MSIE 5.01; Windows 98)";

class HTTPFetcher {
 public:
  // No agent: kDefaultUserAgent. A present but empty agent is used as it is.
  explicit HTTPFetcher(std::optional<std::string> agent = std::nullopt);
  ~HTTPFetcher();
  HTTPFetcher(const HTTPFetcher&) = delete;
  HTTPFetcher& operator=(const HTTPFetcher&) = delete;

  // url: absolute address. outPath: created or replaced. referer, cookies: empty = none.
  // 1: the body was read to its end and is in outPath, whatever the status code.
  // 0: failed or cancelled; the error record says why.
  int GetPage(const std::string& url, const std::string& outPath, const std::string& referer,
              const std::string& cookies, FetchProgressFn callback, void* context);
  int GetResource(const std::string& url, const std::string& outPath, const std::string& referer,
                  const std::string& cookies, FetchProgressFn callback, void* context);
  int Fetch(const std::string& url, const std::string& outPath, int transferFlag,
            const std::string& referer, const std::string& cookies, FetchProgressFn callback,
            void* context);

  // The error report: prefix, "\n\nWinInet Code: ", code, "\nDescrip: ", description,
  // "\nContext: ", context. ShowWinInetError shows it with the error icon.
  std::string WinInetErrorText(const std::string& prefix) const;
  void ShowWinInetError(const std::string& prefix, MessageBoxes& boxes) const;

  // Time-outs in milliseconds: connecting, and receiving nothing. 60 000 each by default.
  // (A run's look-ahead has its own.)
  void SetTimeouts(int connectMs, int stallMs);

  int m_nStatusCode = 0;
  int m_nContentLength = 0;
  std::uint32_t m_dwErrorCode = 0;
  char m_szErrorDesc[81] = "";
  char m_szErrorContext[81] = "";
  int m_bDumpHeaders = 0;
  int m_nPumpCount = 100;
  int m_nPauseMs = 0;
  int m_bContinue = 0;
  // Offers HTTP/2 to https servers; 0 asks for HTTP/1.1 only.
  int m_bOfferHttp2 = 0;
  // Pages (GetPage) are asked for gzip, brotli or zstd and stored decoded; resources are
  // always stored byte for byte as sent.
  int m_bDecodePages = 0;
  // Optional. Asked while a fetch waits for the network, for its head as for more of
  // its body: true cancels the fetch as a progress call returning 0 does, so that a
  // server gone silent, or sending a byte at a time, does not hold a Stop until the
  // stall time-out.
  std::function<bool()> m_cancelWhileWaiting;
  // Optional. When set, outPath is neither replaced nor removed, whatever the fetch
  // does: the body takes that name only while no file holds it, and when one does (a
  // file made meanwhile, by another run in the same folder) this gives the next name
  // to try, from the name found taken; an empty name gives up (a write failure).
  std::function<std::string(const std::string& taken)> m_nextFreeName;
  // With m_nextFreeName: a name held by an empty file counts as free, and the body
  // replaces that file (a file with data is never replaced).
  int m_bEmptyNameIsFree = 0;
  // Where the last fetch that returned 1 stored the body: outPath, or the name that
  // m_nextFreeName gave.
  std::string m_storedPath;
  // Optional. Given each block of the body once it is written, before the progress call
  // that reports it (content checks that need the bytes as they arrive).
  std::function<void(const char* data, size_t size)> m_onBody;
  // Optional. For a body whose file type only its response tells: asked once the final
  // response's head is in, before the output is created, with its status and its
  // Content-Type (ResponseContentType); gives the path the body is written to in place
  // of outPath, or nullopt to refuse it: the fetch is then cancelled before any of the
  // body is read, as a progress call returning 0 cancels it.
  std::function<std::optional<std::string>(int status, std::string_view contentType)> m_nameByType;
  // m_nameByType applied to the final response's head `rawBlock`, as both ways of
  // fetching ask it: false when the body is refused; else `outPath` is where it goes.
  bool NameForHead(std::string_view rawBlock, std::string& outPath) const;
  // Optional. When set, fetches are served by the run's look-ahead (which may have
  // fetched them already), with the same callbacks, results and files.
  LookAheadPool* m_lookAhead = nullptr;

 private:
  // The pool of the fetcher's own, for a fetch into `outPath` as the fetcher is set now.
  LookAheadPool& OwnPool(const std::string& outPath);

  std::optional<std::string> m_agent;
  int m_connectMs = 60000;
  int m_stallMs = 60000;
  std::unique_ptr<LookAheadPool> m_ownPool;
};

// 1 when the file at path opens for binary reading and is not empty.
int FileHasData(const std::string& path);

// For a console front end that must end at once on a second interrupt: removes the
// partial files of the transfers under way (and those made ready). Async-signal-safe.
void RemovePartialDownloadNow();

}  // namespace harvelo
