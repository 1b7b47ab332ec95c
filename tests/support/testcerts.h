// Certificates for TLS tests, made at test time with the `openssl` command in a temporary
// folder: a test CA, and certificates for "localhost" that are good, expired, not yet valid,
// issued for another name, or self-signed (each with its key). Tests skip when openssl is
// missing.
#pragma once

#include <string>

#include "tests/support/tempdir.h"

namespace kv::testing {

class TestCertificates {
  public:
    TestCertificates();
    bool Made() const { return made_; }
    const std::string& Problem() const { return problem_; }

    // The CA's certificate (PEM), for the CA-file setting.
    std::string CaFile() const { return dir_.File("ca.pem"); }
    // "good", "expired", "future", "othername", "selfsigned": certificate and key files.
    std::string Cert(const std::string& kind) const { return dir_.File(kind + ".pem"); }
    std::string Key(const std::string& kind) const { return dir_.File(kind + ".key"); }
    // nginx directives that serve that certificate.
    std::string NginxTls(const std::string& kind) const;

  private:
    bool Run(const std::string& command);

    TempDir dir_;
    bool made_ = false;
    std::string problem_;
};

}  // namespace kv::testing
