#include "tests/support/testcerts.h"

#include <cstdlib>

#include "tests/support/server_process.h"

namespace kv::testing {

namespace {

// A CA that signs with chosen dates; the extension sections name the certificate's host.
const char* kCaConfig = R"([ ca ]
default_ca = testca
[ testca ]
dir = @DIR@
database = @DIR@/index.txt
new_certs_dir = @DIR@
certificate = @DIR@/ca.pem
private_key = @DIR@/ca.key
serial = @DIR@/serial
default_md = sha256
policy = anything
unique_subject = no
[ anything ]
commonName = supplied
[ localhost ]
subjectAltName = DNS:localhost
basicConstraints = CA:FALSE
extendedKeyUsage = serverAuth
[ othername ]
subjectAltName = DNS:other.example.test
basicConstraints = CA:FALSE
extendedKeyUsage = serverAuth
)";

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

}  // namespace

bool TestCertificates::Run(const std::string& command) {
    const std::string line = "cd '" + dir_.path().string() + "' && " + command + " >/dev/null 2>&1";
    if (std::system(line.c_str()) == 0) return true;
    problem_ = "openssl failed: " + command;
    return false;
}

TestCertificates::TestCertificates() {
    if (FindProgram({"/usr/bin/openssl", "/bin/openssl"}).empty()) {
        problem_ = "openssl is not installed";
        return;
    }
    WriteFileBytes(dir_.File("ca.cnf"), ReplaceAll(kCaConfig, "@DIR@", dir_.path().string()));
    WriteFileBytes(dir_.File("index.txt"), "");
    WriteFileBytes(dir_.File("serial"), "1000\n");
    const std::string ec = "-newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes";
    // kind, subject, extension section, start and end dates
    const struct {
        const char* kind;
        const char* section;
        const char* start;
        const char* end;
    } leaves[] = {
        {"good", "localhost", "20200101000000Z", "20991231000000Z"},
        {"expired", "localhost", "20200101000000Z", "20200201000000Z"},
        {"future", "localhost", "20980101000000Z", "20991231000000Z"},
        {"othername", "othername", "20200101000000Z", "20991231000000Z"},
    };
    made_ = Run("openssl req -x509 " + ec +
                " -keyout ca.key -out ca.pem -days 36500 -subj '/CN=Kelvane Test CA'"
                " -addext basicConstraints=critical,CA:TRUE"
                " -addext keyUsage=critical,keyCertSign,cRLSign");
    for (const auto& leaf : leaves) {
        const std::string kind = leaf.kind;
        made_ = made_ &&
                Run("openssl req " + ec + " -keyout " + kind + ".key -out " + kind +
                    ".csr -subj /CN=" + leaf.section) &&
                Run("openssl ca -batch -notext -config ca.cnf -extensions " +
                    std::string(leaf.section) + " -startdate " + leaf.start + " -enddate " +
                    leaf.end + " -in " + kind + ".csr -out " + kind + ".pem");
    }
    made_ = made_ && Run("openssl req -x509 " + ec +
                         " -keyout selfsigned.key -out selfsigned.pem -days 3650"
                         " -subj /CN=localhost -addext subjectAltName=DNS:localhost");
}

std::string TestCertificates::NginxTls(const std::string& kind) const {
    return "ssl_certificate " + Cert(kind) + ";\nssl_certificate_key " + Key(kind) + ";\n";
}

}  // namespace kv::testing
