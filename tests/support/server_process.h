// A server program run by a test fixture: started with its arguments, waited for until it
// accepts connections on 127.0.0.1, and stopped (SIGTERM, then SIGKILL) on destruction.
// Also: a free 127.0.0.1 port and the path of an installed program.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace kv::testing {

// A port no one listens on at the moment (the kernel's choice of an ephemeral port).
std::uint16_t FreeLoopbackPort();

// The first of the paths that is an executable file ("" when none is).
std::string FindProgram(const std::vector<std::string>& candidates);

class ServerProcess {
  public:
    // Starts the program; Running() tells whether it then accepted a connection on the port
    // within `startLimit`.
    ServerProcess(const std::vector<std::string>& argv, std::uint16_t port,
                  std::chrono::milliseconds startLimit = std::chrono::seconds(5));
    ~ServerProcess();
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    bool Running() const { return running_; }
    void Stop();

  private:
    pid_t pid_ = -1;
    bool running_ = false;
};

}  // namespace kv::testing
