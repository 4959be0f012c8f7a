// How every transfer of the program is set up in libcurl, the one-at-a-time fetch's and
// the look-ahead's alike: one rule in one place, so that what goes on the wire never
// depends on which path fetched it.
#pragma once
#include <curl/curl.h>

#include <string>
#include <vector>

#include "http/response_head.h"

namespace harvelo {

// What may differ from one request to the next.
struct TransferMode {
  bool offerHttp2 = false;  // https: offer HTTP/2 in the TLS handshake (plain http stays 1.1)
  bool decodeBody = false;  // ask for compressed bodies; curl stores them decoded
};

// The options every transfer has: no proxy, http and https only, redirects followed,
// large socket reads, the trusted authorities, the agent (unless it is sent empty).
void SetUpTransfer(CURL* easy, const std::string& agent, bool emptyAgent);
// The options of one request's mode; each call sets all of them.
void SetTransferMode(CURL* easy, const TransferMode& mode);

// The fixed request header lines with the optional Referer (already cut at a line
// break). A decoded body leaves Accept-Encoding to curl, which names what it decodes.
std::vector<std::string> RequestHeaderLines(const std::string& referer, bool emptyAgent,
                                            bool decodeBody);

// The encodings this libcurl decodes among gzip, brotli and zstd ("gzip, br, zstd").
const std::string& DecodedEncodings();

// The length a fetch reports to its progress calls: the announced one, but none for a
// body that is decoded, whose announced length counts the compressed bytes while the
// progress counts the decoded ones.
int ReportedLength(const ResponseHead& head, bool decodeBody);

// "scheme://host:port" of an address (the port given even when it is the scheme's
// default); empty when it can't be read.
std::string OriginOf(const std::string& url);

}  // namespace harvelo
