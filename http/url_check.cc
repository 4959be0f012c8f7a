#include "http/url_check.h"

#include <curl/curl.h>

#include <cstring>

#include "http/wininet_errors.h"

namespace harvelo {

std::uint32_t CheckFetchableUrl(const std::string& url) {
  CURLU* parsed = curl_url();
  if (parsed == nullptr) return kErrInternal;
  std::uint32_t code = 0;
  const CURLUcode rc = curl_url_set(parsed, CURLUPART_URL, url.c_str(), 0);
  char* scheme = nullptr;
  if (rc == CURLUE_BAD_SCHEME || rc == CURLUE_UNSUPPORTED_SCHEME) {
    code = kErrUnrecognizedScheme;
  } else if (rc != CURLUE_OK) {
    code = kErrInvalidUrl;
  } else if (curl_url_get(parsed, CURLUPART_SCHEME, &scheme, 0) != CURLUE_OK ||
             (std::strcmp(scheme, "http") != 0 && std::strcmp(scheme, "https") != 0)) {
    code = kErrUnrecognizedScheme;
  }
  curl_free(scheme);
  curl_url_cleanup(parsed);
  return code;
}

}  // namespace harvelo
