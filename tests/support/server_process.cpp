#include "tests/support/server_process.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>

extern char** environ;

namespace kv::testing {

namespace {

sockaddr_in Loopback(std::uint16_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

bool Accepts(std::uint16_t port) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return false;
    sockaddr_in address = Loopback(port);
    const bool ok = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return ok;
}

// True when the child has ended (and is reaped).
bool Ended(pid_t pid) {
    int status = 0;
    return waitpid(pid, &status, WNOHANG) == pid;
}

}  // namespace

std::uint16_t FreeLoopbackPort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return 0;
    sockaddr_in address = Loopback(0);
    socklen_t size = sizeof address;
    std::uint16_t port = 0;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0) {
        port = ntohs(address.sin_port);
    }
    close(fd);
    return port;
}

std::string FindProgram(const std::vector<std::string>& candidates) {
    for (const auto& path : candidates)
        if (access(path.c_str(), X_OK) == 0) return path;
    return {};
}

ServerProcess::ServerProcess(const std::vector<std::string>& argv, std::uint16_t port,
                             std::chrono::milliseconds startLimit) {
    std::vector<char*> args;
    for (const auto& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    if (posix_spawn(&pid_, args[0], nullptr, nullptr, args.data(), environ) != 0) {
        pid_ = -1;
        return;
    }
    const auto limit = std::chrono::steady_clock::now() + startLimit;
    while (std::chrono::steady_clock::now() < limit) {
        if (Accepts(port)) {
            running_ = true;
            return;
        }
        if (Ended(pid_)) {
            pid_ = -1;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

ServerProcess::~ServerProcess() {
    Stop();
}

void ServerProcess::Stop() {
    running_ = false;
    if (pid_ < 0) return;
    kill(pid_, SIGTERM);
    bool ended = false;
    for (int i = 0; i < 200 && !(ended = Ended(pid_)); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (!ended) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    pid_ = -1;
}

}  // namespace kv::testing
