#include "http/wininet_errors.h"

#include <cerrno>

namespace harvelo {

std::string WinInetDescription(std::uint32_t code) {
  switch (code) {
    case kErrTimeout:
      return "The operation timed out\r\n";
    case kErrInvalidUrl:
      return "The URL is invalid\r\n";
    case kErrUnrecognizedScheme:
      return "The URL does not use a recognized protocol\r\n";
    case kErrNameNotResolved:
      return "The server name or address could not be resolved\r\n";
    case kErrCannotConnect:
      return "A connection with the server could not be established\r\n";
    case kErrConnectionAborted:
      return "The connection with the server was terminated abnormally\r\n";
    case kErrConnectionReset:
      return "The connection with the server was reset\r\n";
    case kErrCertDateInvalid:
      return "The date in the certificate is invalid or has expired\r\n";
    case kErrCertNameInvalid:
      return "The host name in the certificate is invalid or does not match\r\n";
    case kErrInvalidCa:
      return "The certificate authority is invalid or incorrect\r\n";
    case kErrInvalidResponse:
      return "The server returned an invalid or unrecognized response\r\n";
    case kErrRedirectFailed:
      return "The redirection failed: too many redirections, or a refused one\r\n";
    case kErrSecureChannel:
      return "An error occurred in the secure channel support\r\n";
    default:
      return "An internal error has occurred\r\n";
  }
}

WinInetError WinInetErrorFor(CURLcode result, long osErrno, long sslVerifyResult) {
  std::uint32_t code = kErrInternal;
  switch (result) {
    case CURLE_UNSUPPORTED_PROTOCOL:
      code = kErrUnrecognizedScheme;
      break;
    case CURLE_URL_MALFORMAT:
      code = kErrInvalidUrl;
      break;
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_RESOLVE_HOST:
      code = kErrNameNotResolved;
      break;
    case CURLE_COULDNT_CONNECT:
      code = kErrCannotConnect;
      break;
    case CURLE_OPERATION_TIMEDOUT:
      code = kErrTimeout;
      break;
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_GOT_NOTHING:
    case CURLE_HTTP2:
    case CURLE_HTTP2_STREAM:
    case CURLE_BAD_CONTENT_ENCODING:
    case CURLE_HTTP3:
      code = kErrInvalidResponse;
      break;
    case CURLE_TOO_MANY_REDIRECTS:
      code = kErrRedirectFailed;
      break;
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
      code = osErrno == ECONNRESET ? kErrConnectionReset : kErrConnectionAborted;
      break;
    case CURLE_PARTIAL_FILE:
      code = kErrConnectionAborted;
      break;
    case CURLE_PEER_FAILED_VERIFICATION:
      // A chain that verified (result 0) failed on the host name check.
      if (sslVerifyResult == 9 || sslVerifyResult == 10) {  // not yet valid, expired
        code = kErrCertDateInvalid;
      } else if (sslVerifyResult == 0) {
        code = kErrCertNameInvalid;
      } else {
        code = kErrInvalidCa;
      }
      break;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_ENGINE_NOTFOUND:
    case CURLE_SSL_ENGINE_SETFAILED:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_ENGINE_INITFAILED:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_SHUTDOWN_FAILED:
    case CURLE_SSL_CRL_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_INVALIDCERTSTATUS:
    case CURLE_SSL_CLIENTCERT:
      code = kErrSecureChannel;
      break;
    default:
      code = kErrInternal;
      break;
  }
  return {code, WinInetDescription(code)};
}

}  // namespace harvelo
