// A real nginx for tests: one process (no master, no daemon) serving a temporary document
// root on a free 127.0.0.1 port, with its configuration, logs and temporary files in a
// temporary folder; stopped and removed on destruction. Tests skip when nginx is missing.
//
//   NginxFixture nginx("location = /old { return 301 /new.html; }");
//   if (!nginx.Running()) GTEST_SKIP() << nginx.Problem();
//   nginx.WriteDoc("new.html", "<html>...</html>");
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "tests/support/server_process.h"
#include "tests/support/tempdir.h"

namespace kv::testing {

class NginxFixture {
  public:
    // `serverConfig` is added inside the server block; "@PORT@" and "@DIR@" in it stand for
    // the port and the temporary folder. The access log records, per request, the request
    // line, then the Authorization, Via and Cookie fields, separated by "|".
    // `listenOptions` go after the address of the listen directive ("ssl" for TLS).
    explicit NginxFixture(const std::string& serverConfig = "",
                          const std::string& listenOptions = "");
    ~NginxFixture();

    bool Running() const { return process_ && process_->Running(); }
    // Why the server is not running.
    const std::string& Problem() const { return problem_; }

    std::uint16_t Port() const { return port_; }
    std::string Url(const std::string& path = "/") const;
    std::string Dir() const { return dir_.path().string(); }
    // Writes a file below the document root.
    void WriteDoc(const std::string& name, const std::string& bytes) const;
    // The access log lines so far.
    std::string AccessLog() const;
    // Waits until the access log holds the text (a request relayed by a proxy may be logged
    // after the client has its answer); false when it did not come within the limit.
    bool WaitForLog(const std::string& text,
                    std::chrono::milliseconds limit = std::chrono::seconds(2)) const;

  private:
    TempDir dir_;
    std::uint16_t port_ = 0;
    std::unique_ptr<ServerProcess> process_;
    std::string problem_;
};

}  // namespace kv::testing
