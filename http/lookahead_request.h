// A request the run will make, as the look-ahead knows it: enough to start it before the
// run asks for it, and to tell that what the run asks for is exactly what was sent.
#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace harvelo {

// Reads a 2xx body as it arrives and answers true once the run is known to cancel the
// fetch at these bytes (a picture below the minimum picture size): the transfer then
// stops receiving.
using BodyCutoff = std::function<bool(const char* data, size_t size)>;

struct AheadRequest {
  std::string url;
  std::string referer;      // as sent (cut at a line break); empty: none
  std::string cookies;      // the page's cookie list ("a=1; b=2"); empty: none
  bool page = false;        // a page source (GetPage) rather than a resource
  bool decodeBody = false;  // asked for compressed, stored decoded (pages only)
  // A body announced shorter than this is not wanted: the run will discard it on its
  // first progress call, so it is not fetched ahead either. 0: every body is wanted.
  // A hint of the planner's: not part of what makes two requests the same.
  long long minimumBytes = 0;
  // Another hint: makes the body's cutoff for one transfer. Empty: never cut.
  std::function<BodyCutoff()> makeCutoff;
  // Another hint, for a body whose file type only its response tells: the run's
  // verdict on its head (status, Content-Type), false where the run's fetch will refuse
  // it (HTTPFetcher::m_nameByType). A refused body is not kept. Empty: every type is.
  std::function<bool(int status, std::string_view contentType)> acceptsHead;

  bool operator==(const AheadRequest& other) const {
    return url == other.url && referer == other.referer && cookies == other.cookies &&
           page == other.page && decodeBody == other.decodeBody;
  }
};

// What the look-ahead knows of a request it has under way or finished.
struct AheadView {
  int id = 0;  // stable while the request is held
  bool headersKnown = false;
  int status = 0;
  int contentLength = 0;
  bool bodyWanted = true;  // false: ended after its headers (below the minimum, refused type)
  bool complete = false;   // the whole body is in bodyPath
  bool failed = false;     // ended without a body (refused, reset, time-out, ...)
  std::string bodyPath;    // the partial file that holds the body
};

// The referrer as a fetch sends it: a line break would end the header line early.
inline std::string SentReferer(const std::string& referer) {
  return referer.substr(0, referer.find_first_of("\r\n"));
}

}  // namespace harvelo
