// Certificates are checked: a server whose certificate nobody vouches for is refused
// before anything is stored.
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>

#include "http/http_fetcher.h"
#include "support/loopback_server.h"
#include "support/temp_dir.h"

namespace harvelo {
namespace {

using testing::Exists;
using testing::TempDir;

struct KeyFree {
  void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct CertFree {
  void operator()(X509* cert) const { X509_free(cert); }
};
struct FileClose {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

// A certificate for 127.0.0.1 signed by its own key.
bool WriteSelfSigned(const std::string& certPath, const std::string& keyPath) {
  std::unique_ptr<EVP_PKEY, KeyFree> key(EVP_EC_gen("P-256"));
  std::unique_ptr<X509, CertFree> cert(X509_new());
  if (!key || !cert) return false;
  ASN1_INTEGER_set(X509_get_serialNumber(cert.get()), 1);
  X509_gmtime_adj(X509_getm_notBefore(cert.get()), 0);
  X509_gmtime_adj(X509_getm_notAfter(cert.get()), 3600);
  X509_set_pubkey(cert.get(), key.get());
  X509_NAME* name = X509_get_subject_name(cert.get());
  X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                             reinterpret_cast<const unsigned char*>("127.0.0.1"), -1, -1, 0);
  X509_set_issuer_name(cert.get(), name);
  if (X509_sign(cert.get(), key.get(), EVP_sha256()) == 0) return false;
  std::unique_ptr<std::FILE, FileClose> certFile(std::fopen(certPath.c_str(), "w"));
  std::unique_ptr<std::FILE, FileClose> keyFile(std::fopen(keyPath.c_str(), "w"));
  return certFile && keyFile && PEM_write_X509(certFile.get(), cert.get()) == 1 &&
         PEM_write_PrivateKey(keyFile.get(), key.get(), nullptr, nullptr, 0, nullptr, nullptr) == 1;
}

TEST(FetchTls, ASelfSignedCertificateIsRefused) {
  TempDir dir;
  ASSERT_TRUE(WriteSelfSigned(dir.file("cert.pem"), dir.file("key.pem")));
  httplib::SSLServer server(dir.file("cert.pem").c_str(), dir.file("key.pem").c_str());
  ASSERT_TRUE(server.is_valid());
  server.Get("/x.jpg", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("secret", "image/jpeg");
  });
  const int port = server.bind_to_any_port("127.0.0.1");
  ASSERT_GT(port, 0);
  std::thread listener([&] { server.listen_after_bind(); });
  while (!server.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(2));

  const std::string out = dir.file("x.jpg");
  HTTPFetcher fetcher;
  const int result = fetcher.GetResource("https://127.0.0.1:" + std::to_string(port) + "/x.jpg",
                                         out, "", "", nullptr, nullptr);
  server.stop();
  listener.join();
  EXPECT_EQ(result, 0);
  EXPECT_EQ(fetcher.m_dwErrorCode, 12045u) << fetcher.m_szErrorDesc;
  EXPECT_STREQ(fetcher.m_szErrorContext, "CInternetSession::OpenURL()");
  EXPECT_FALSE(Exists(out));
}

}  // namespace
}  // namespace harvelo
