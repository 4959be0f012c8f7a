// Which certificate authorities the process trusts for https: the system's, or those of
// one file given by the user (a company's own CA, or a test's throw-away one).
#pragma once
#include <string>

namespace harvelo {

// An empty path goes back to the system's authorities. Applies to fetches started after.
void SetTrustedCertificateFile(const std::string& path);
// Empty: the system's authorities.
const std::string& TrustedCertificateFile();

}  // namespace harvelo
