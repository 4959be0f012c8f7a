// The texts the page-source step shows when a page cannot be fetched, built from the
// fetcher's error record and status, in the interface language.
#pragma once
#include <string>

namespace harvelo {

class HTTPFetcher;

// After a failed page fetch: the firewall hint for "cannot connect" (12029), otherwise
// the code twice, the untrimmed description and the context.
std::string PageFetchErrorText(const HTTPFetcher& fetcher);

// The ending of the "server refused" text for an HTTP status (401, 403, 404, 500, other).
const char* Status_Suffix(int status);

// After a page fetch that succeeded with a status outside 200 to 299.
std::string ServerRefusedText(int status);

}  // namespace harvelo
