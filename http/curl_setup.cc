#include "http/curl_setup.h"

#include "http/tls_trust.h"

namespace harvelo {
namespace {

// Socket reads larger than the 2048-byte reads handed on: 2048-byte socket reads cost
// two system calls each and made large bodies twice as slow.
constexpr long kSocketReadSize = 64 * 1024;
constexpr long kMaxRedirects = 20;

constexpr const char* kAcceptLine =
    "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, application/vnd.ms-excel, "
    "application/msword, application/vnd.ms-powerpoint, application/x-shockwave-flash, */*";
constexpr const char* kLanguageLine = "Accept-Language: es-mx";
constexpr const char* kIdentityLine = "Accept-Encoding: identity";

}  // namespace

void SetUpTransfer(CURL* e, const std::string& agent, bool emptyAgent) {
  if (!emptyAgent) curl_easy_setopt(e, CURLOPT_USERAGENT, agent.c_str());
  curl_easy_setopt(e, CURLOPT_PROXY, "");  // direct connection, whatever the environment says
  curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(e, CURLOPT_MAXREDIRS, kMaxRedirects);
  curl_easy_setopt(e, CURLOPT_BUFFERSIZE, kSocketReadSize);
  curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(e, CURLOPT_HTTPGET, 1L);
  if (!TrustedCertificateFile().empty()) {
    curl_easy_setopt(e, CURLOPT_CAINFO, TrustedCertificateFile().c_str());
  }
  SetTransferMode(e, TransferMode{});
}

void SetTransferMode(CURL* e, const TransferMode& mode) {
  curl_easy_setopt(
      e, CURLOPT_HTTP_VERSION,
      static_cast<long>(mode.offerHttp2 ? CURL_HTTP_VERSION_2TLS : CURL_HTTP_VERSION_1_1));
  // Null also turns decoding off: a body sent with Content-Encoding is kept as sent.
  curl_easy_setopt(
      e, CURLOPT_ACCEPT_ENCODING,
      mode.decodeBody && !DecodedEncodings().empty() ? DecodedEncodings().c_str() : nullptr);
}

std::vector<std::string> RequestHeaderLines(const std::string& referer, bool emptyAgent,
                                            bool decodeBody) {
  std::vector<std::string> lines = {kAcceptLine, kLanguageLine};
  if (!decodeBody || DecodedEncodings().empty()) lines.emplace_back(kIdentityLine);
  if (!referer.empty()) lines.push_back("Referer: " + referer);
  if (emptyAgent) lines.emplace_back("User-Agent;");  // an empty agent is sent as an empty header
  return lines;
}

const std::string& DecodedEncodings() {
  static const std::string encodings = [] {
    const curl_version_info_data* info = curl_version_info(CURLVERSION_NOW);
    std::string list;
    auto add = [&list](const char* name) {
      list += (list.empty() ? "" : ", ") + std::string(name);
    };
    if ((info->features & CURL_VERSION_LIBZ) != 0) add("gzip");
    if ((info->features & CURL_VERSION_BROTLI) != 0) add("br");
    if ((info->features & CURL_VERSION_ZSTD) != 0) add("zstd");
    return list;
  }();
  return encodings;
}

int ReportedLength(const ResponseHead& head, bool decodeBody) {
  return decodeBody && head.encoded ? 0 : head.contentLength;
}

std::string OriginOf(const std::string& url) {
  CURLU* parsed = curl_url();
  if (parsed == nullptr) return {};
  std::string origin;
  char* scheme = nullptr;
  char* host = nullptr;
  char* port = nullptr;
  if (curl_url_set(parsed, CURLUPART_URL, url.c_str(), 0) == CURLUE_OK &&
      curl_url_get(parsed, CURLUPART_SCHEME, &scheme, 0) == CURLUE_OK &&
      curl_url_get(parsed, CURLUPART_HOST, &host, 0) == CURLUE_OK &&
      curl_url_get(parsed, CURLUPART_PORT, &port, CURLU_DEFAULT_PORT) == CURLUE_OK) {
    origin = std::string(scheme) + "://" + host + ":" + port;
  }
  curl_free(scheme);
  curl_free(host);
  curl_free(port);
  curl_url_cleanup(parsed);
  return origin;
}

}  // namespace harvelo
