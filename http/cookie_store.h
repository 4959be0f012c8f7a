// The process-wide cookie store: one libcurl share handle whose cookies every transfer
// of the process sends and keeps, and the walk that cuts a page's cookie list into the
// elements stored in it.
#pragma once
#include <curl/curl.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace harvelo {

// Initialises libcurl once and returns the share handle that holds the cookies.
CURLSH* SharedCookieStore();

// Walks a cookie list ("a=1; b=2"): skips blanks and tabs, hands over the text up to
// the next ";" (at most maxChars of it; the rest follows as a further element), steps
// over the ";". Empty texts and trailing separators give no element.
void WalkCookieList(std::string_view cookies, size_t maxChars,
                    const std::function<void(std::string_view element)>& store);

// The store's own line (Netscape cookie-file format) for one element stored for url:
// "name=value;" optionally followed by "expires=<date>;". The cookie belongs to the
// url's host, for every path. Nothing when the element can't be stored.
std::optional<std::string> CookieStoreLine(const std::string& url, std::string_view element);

// Stores an element for url through `easy` (its own cookie engine, or
// SharedCookieStore()). A rejected element is ignored.
void StoreCookie(CURL* easy, const std::string& url, const char* element);

// Stores whole cookies given as lines of the Netscape cookie-file format (a browser's
// cookies, with their own domains, paths and expiry) in the shared store.
void StoreCookieFileLines(const std::vector<std::string>& lines);

// A page's cookie list ("a=1; b=2") stored for url through `easy`, and expired again:
// a fetch stores its page's cookies before the request and expires them after it.
void SetPageCookies(CURL* easy, const std::string& url, const std::string& cookies);
void ExpirePageCookies(CURL* easy, const std::string& url, const std::string& cookies);

// The cookies `easy` holds, as the store's own lines (Netscape format), sorted.
std::vector<std::string> CookieLines(CURL* easy);

// Does to `easy`'s cookies what a transfer's responses did to its own jar, which held
// `before` when the request went out and `after` when it ended (both sorted lines, as
// CookieLines gives them): the cookies they set or changed are stored, those they
// removed are removed, every other cookie of `easy` stays as it is.
void ApplyJarChanges(CURL* easy, const std::vector<std::string>& before,
                     const std::vector<std::string>& after);

}  // namespace harvelo
