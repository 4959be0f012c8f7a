#include "http/tls_trust.h"

namespace harvelo {
namespace {

std::string& File() {
  static std::string file;
  return file;
}

}  // namespace

void SetTrustedCertificateFile(const std::string& path) {
  File() = path;
}

const std::string& TrustedCertificateFile() {
  return File();
}

}  // namespace harvelo
