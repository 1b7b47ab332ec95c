// A real tinyproxy for tests: in the foreground on a free 127.0.0.1 port, allowing only
// 127.0.0.1, optionally asking for Basic credentials (407), its configuration and log in a
// temporary folder; stopped on destruction. Tests skip when tinyproxy is missing.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "tests/support/server_process.h"
#include "tests/support/tempdir.h"

namespace kv::testing {

class TinyproxyFixture {
  public:
    // With a user name, the proxy asks for that user and password.
    explicit TinyproxyFixture(const std::string& user = "", const std::string& password = "");
    ~TinyproxyFixture();

    bool Running() const { return process_ && process_->Running(); }
    const std::string& Problem() const { return problem_; }
    std::uint16_t Port() const { return port_; }
    // The proxy's log so far (it names each request line it received).
    std::string Log() const;

  private:
    TempDir dir_;
    std::uint16_t port_ = 0;
    std::unique_ptr<ServerProcess> process_;
    std::string problem_;
};

}  // namespace kv::testing
