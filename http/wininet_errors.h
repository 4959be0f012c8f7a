// libcurl's failures in the terms the rest of the program words them in: WinInet
// error codes and their descriptions (each ending in CR LF, at most 79 characters so
// that it fits the error record's 80 with its terminator).
#pragma once
#include <curl/curl.h>

#include <cstdint>
#include <string>

namespace harvelo {

constexpr std::uint32_t kErrInternal = 12004;            // ERROR_INTERNET_INTERNAL_ERROR
constexpr std::uint32_t kErrTimeout = 12002;             // ERROR_INTERNET_TIMEOUT
constexpr std::uint32_t kErrInvalidUrl = 12005;          // ERROR_INTERNET_INVALID_URL
constexpr std::uint32_t kErrUnrecognizedScheme = 12006;  // ERROR_INTERNET_UNRECOGNIZED_SCHEME
constexpr std::uint32_t kErrNameNotResolved = 12007;     // ERROR_INTERNET_NAME_NOT_RESOLVED
constexpr std::uint32_t kErrCannotConnect = 12029;       // ERROR_INTERNET_CANNOT_CONNECT
constexpr std::uint32_t kErrConnectionAborted = 12030;   // ERROR_INTERNET_CONNECTION_ABORTED
constexpr std::uint32_t kErrConnectionReset = 12031;     // ERROR_INTERNET_CONNECTION_RESET
constexpr std::uint32_t kErrCertDateInvalid = 12037;     // ERROR_INTERNET_SEC_CERT_DATE_INVALID
constexpr std::uint32_t kErrCertNameInvalid = 12038;     // ERROR_INTERNET_SEC_CERT_CN_INVALID
constexpr std::uint32_t kErrInvalidCa = 12045;           // ERROR_INTERNET_INVALID_CA
constexpr std::uint32_t kErrInvalidResponse = 12152;     // ERROR_HTTP_INVALID_SERVER_RESPONSE
constexpr std::uint32_t kErrRedirectFailed = 12156;      // ERROR_HTTP_REDIRECT_FAILED
constexpr std::uint32_t kErrSecureChannel = 12157;       // ERROR_INTERNET_SECURITY_CHANNEL_ERROR

struct WinInetError {
  std::uint32_t code = kErrInternal;
  std::string description;
};

// osErrno: CURLINFO_OS_ERRNO of the failed transfer; sslVerifyResult:
// CURLINFO_SSL_VERIFYRESULT. Both only refine the choice; 0 when unknown.
WinInetError WinInetErrorFor(CURLcode result, long osErrno = 0, long sslVerifyResult = 0);

// The description of a code (the texts above), or the internal error's for unknown codes.
std::string WinInetDescription(std::uint32_t code);

}  // namespace harvelo
