// One request, fetched ahead or when asked (the one transfer implementation of every
// fetch): its own libcurl easy handle with a cookie jar of its own (seeded from the
// process's cookie store when it goes out), its body received into a partial file, and
// everything the fetch needs to replay it as if it happened then: the header blocks, the
// status and announced length, the sizes of the reads as they came, and how it ended.
#pragma once
#include <curl/curl.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "http/lookahead_file_stock.h"
#include "http/lookahead_request.h"
#include "http/partial_files.h"
#include "http/quick_ack.h"

namespace harvelo {

// What every transfer of a pool is started with.
struct AheadTransferSetup {
  std::string agent;  // the User-Agent line's text, already cut at a line break
  bool emptyAgent = false;
  bool dumpHeaders = false;  // keep the request block as sent (VERBOSE)
  bool offerHttp2 = false;   // https: offer HTTP/2, and wait for a connection to share
  // Its server multiplexes: up to H2 Streams bodies may come in one turn, and a body
  // that waits in memory makes no file in it (only takes one that is ready).
  bool manyAtOnce = false;
  SocketList* sockets = nullptr;  // the pool's connections, for the early ACK
};

class AheadTransfer {
 public:
  enum class State { kWaiting, kRunning, kFinished };
  // What the response's body comes to, once its final head is known.
  enum class Body {
    kAwaitingHead,  // no final head yet (also while a redirect chain is followed)
    kReceiving,     // wanted: received into its file (or memory) as it comes
    kDraining,      // not wanted (too small, refused type), read to its end for the connection
    kDropped,       // not wanted: the connection ends after the head
    kCut,           // ended on purpose where the run will cancel its fetch
    kWriteFailed,   // its file could not be written
  };

  // The body goes into a file taken from `stock` (null: the body can't be kept).
  AheadTransfer(int id, AheadRequest request, AheadFileStock* stock);
  ~AheadTransfer();
  AheadTransfer(const AheadTransfer&) = delete;
  AheadTransfer& operator=(const AheadTransfer&) = delete;

  // Makes the easy handle, seeds its jar with `storeLines` (the process store's cookies
  // as Netscape lines) and the request's page cookies. Null when the request can't go
  // out: it is then finished, failed as a fetch of that address would fail.
  CURL* Prepare(const AheadTransferSetup& setup, const std::vector<std::string>& storeLines,
                const double* driveClock);
  // Its jar as it is now (sorted Netscape lines).
  std::vector<std::string> CurrentJar() const;
  // curl is done with it (result of the transfer), or the pool ended it: `ownCode`
  // non-zero records that WinInet failure (a time-out). Takes the jar, closes the file.
  // The caller has removed the handle from its multi handle first.
  void Finish(CURLcode result, std::uint32_t ownCode = 0);
  // The pool stops it without a result (Stop, or the run went another way).
  void Abandon();
  bool headersKnown() const { return body_state_ != Body::kAwaitingHead; }
  // False once the head has shown the body is not wanted (below the minimum, refused type).
  bool bodyWanted() const {
    return body_state_ != Body::kDraining && body_state_ != Body::kDropped;
  }
  // A body below the minimum size being read to its end to keep the connection.
  bool Draining() const { return body_state_ == Body::kDraining; }
  // Its body may still come and has no file yet.
  bool AwaitsBodyFile() const { return state != State::kFinished && bodyWanted() && fd_ < 0; }
  // Takes the jar as it is now into jarLines (the transfer goes on).
  void SnapshotJar();

  // Pieces of the body not yet handed to the run: the next one of at most `limit`
  // bytes, as the network delivered it. 0 when none is waiting.
  size_t NextPiece(size_t limit);
  bool HasPiece() const { return !blocks_.empty(); }

  // The run replays it from now on, as it comes: its body is written as a fetch
  // writes it.
  void MarkReplaying();
  // Where a write of the body failed, as the run meets it: the end of the 64 KB piece
  // that could not be written (-1: none failed). Waits for the file thread's write.
  long long WriteFailureCutoff();
  // The offset where the read that the next piece begins ends (-1: none waiting), and
  // whether the next piece begins one.
  long long FrontBlockEnd() const;
  bool AtBlockStart() const { return front_used_ == 0; }

  // `size` bytes of the body from `offset` (those already received): where they are
  // kept in memory, else read into `scratch`. Null when they can't be read. Valid until
  // the transfer next moves.
  const char* BodyBytes(char* scratch, size_t size, long long offset);

  // Gives the body the name `to` (the file there is replaced), or with `next` the
  // first free name from `to` on, never replacing anything (`to` becomes the name
  // taken). False when the body can't be stored; it is gone either way.
  bool StoreBody(std::string& to, const NextName& next, bool emptyIsFree);

  AheadView View() const;
  bool Stalled(double now, long connectMs, long stallMs) const;

  const int id;
  const AheadRequest request;
  State state = State::kWaiting;
  CURL* easy() const { return easy_.get(); }

  // What came back.
  std::string requestBlock;  // as sent, of the last request of a redirect chain
  std::string responseBlock;
  int status = 0;
  int contentLength = 0;
  bool failed = false;  // the error fields tell why
  std::uint32_t errorCode = 0;
  std::string errorDescription;
  std::string errorContext;
  bool setCookieSeen = false;
  bool multiplexed = false;           // the final response came over HTTP/2
  std::string origin;                 // ... from this scheme://host:port
  std::vector<std::string> sentJar;   // its own jar when it went out (store and page cookies)
  std::vector<std::string> jarLines;  // its own jar when it ended

 private:
  struct EasyDeleter {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
  };
  struct SlistDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
  };

  bool OnHeadersKnown();
  void OnHeaderLine(const char* data, size_t size);
  bool OnBody(const char* data, size_t size);
  void Touch() { lastActivity_ = *clock_; }
  void Fail(std::uint32_t code, const std::string& description, const std::string& context);

  static size_t HeaderCallback(char* data, size_t size, size_t count, void* self);
  static size_t WriteCallback(char* data, size_t size, size_t count, void* self);
  static int DebugCallback(CURL*, curl_infotype type, char* data, size_t size, void* self);
  static int PrereqCallback(void* self, char*, char*, int, int);

  std::unique_ptr<CURL, EasyDeleter> easy_;
  std::unique_ptr<curl_slist, SlistDeleter> headers_;
  bool OpenBodyFile();
  // Makes `file` the body's (fd < 0: nothing to take); false when there is none.
  bool Adopt(AheadFile&& file);
  // The file that the stock's thread made for the body, once its write has ended.
  void TakeWrittenFile();
  // Writes the first `size` bytes of pending_; on failure remembers where it stopped.
  bool WriteOut(size_t size);
  bool FlushPieces();  // the whole 64 KB pieces of pending_
  // Reads bytes of a body not held whole in memory: those written from the file, the
  // rest from pending_.
  bool ReadBody(char* data, size_t size, long long offset);
  bool ReadFile(char* data, size_t size, long long offset);
  // The body waits whole in memory (until it ends, or outgrows the bound). Not a page
  // source's: the look-ahead scans that from its file as soon as the transfer ends.
  bool InMemory() const { return written_ == 0 && !replaying_ && !request.page; }

  AheadFileStock* stock_;
  std::string body_path_;           // empty until the body begins
  bool anonymous_ = false;          // the body's file has no name (yet)
  int fd_ = -1;                     // open until the body is stored or dropped
  std::string pending_;             // received, not yet written
  long long written_ = 0;           // bytes of the body in the file
  long long write_failed_at_ = -1;  // bytes in the file when a write failed
  bool write_checked_ = false;      // write_'s outcome is in write_failed_at_
  bool replaying_ = false;
  long long handed_ = 0;                     // bytes handed on by NextPiece
  std::shared_ptr<const std::string> body_;  // the whole body, when it came in memory
  std::shared_ptr<AheadWrite> write_;        // the stock's thread writing body_
  int local_port_ = 0;                       // of the connection the request went out on
  std::unique_ptr<char[]> read_buffer_;      // the body read ahead for ReadBody
  size_t read_capacity_ = 0;
  size_t read_size_ = 0;
  long long read_offset_ = 0;
  Body body_state_ = Body::kAwaitingHead;
  bool no_file_ = false;       // the body's file could not be made
  bool many_at_once_ = false;  // AheadTransferSetup::manyAtOnce
  bool head_ended_ = false;    // the latest header line was the blank line ending a head
  size_t drained_ = 0;
  BodyCutoff cutoff_;                 // from request.makeCutoff
  std::deque<std::uint32_t> blocks_;  // reads not yet handed on, as they came
  std::uint32_t front_used_ = 0;      // bytes of blocks_.front() already handed on
  long long received_ = 0;            // bytes of the body taken from curl
  bool paused_ = false;               // curl holds the body until the replay catches up
  const double* clock_ = nullptr;
  SocketList* sockets_ = nullptr;
  double started_ = 0;
  double lastActivity_ = 0;
  bool connected_ = false;
};

}  // namespace harvelo
