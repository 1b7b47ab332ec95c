#include "tests/support/scripted_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace kv::testing {

namespace {

// Poll slice: how quickly the thread notices a stop request.
constexpr int kPollMs = 20;

}  // namespace

Script& Script::ReadRequest() {
    steps_.push_back({Kind::ReadRequest, {}, {}});
    return *this;
}

Script& Script::Send(std::string bytes) {
    steps_.push_back({Kind::Send, std::move(bytes), {}});
    return *this;
}

Script& Script::Wait(std::chrono::milliseconds pause) {
    steps_.push_back({Kind::Wait, {}, pause});
    return *this;
}

Script& Script::Trickle(std::string bytes, std::size_t piece, std::chrono::milliseconds pause) {
    if (piece == 0) piece = 1;
    for (std::size_t at = 0; at < bytes.size(); at += piece) {
        Wait(pause);
        Send(bytes.substr(at, piece));
    }
    return *this;
}

Script& Script::Close() {
    steps_.push_back({Kind::Close, {}, {}});
    return *this;
}

Script& Script::Hold() {
    steps_.push_back({Kind::Hold, {}, {}});
    return *this;
}

Script Script::Reply(std::string reply) {
    Script script;
    script.ReadRequest().Send(std::move(reply)).Close();
    return script;
}

ScriptedServer::ScriptedServer(std::vector<Script> connections)
    : scripts_(std::move(connections)), requests_(scripts_.size()) {
    listenFd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    if (listenFd_ < 0) throw std::runtime_error("scripted server: socket failed");
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;  // the system picks a free port
    socklen_t len = sizeof addr;
    if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::listen(listenFd_, 16) != 0 ||
        ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        ::close(listenFd_);
        throw std::runtime_error("scripted server: cannot listen on 127.0.0.1");
    }
    port_ = ntohs(addr.sin_port);
    deadline_ = std::chrono::steady_clock::now() + kMaxLifetime;
    thread_ = std::thread([this] { Run(); });
}

ScriptedServer::~ScriptedServer() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    ::close(listenFd_);
}

std::string ScriptedServer::Url(const std::string& path) const {
    return "http://" + HostPort() + path;
}

std::string ScriptedServer::HostPort() const {
    return "127.0.0.1:" + std::to_string(port_);
}

std::string ScriptedServer::Request(std::size_t i) const {
    std::lock_guard lock(mutex_);
    return i < requests_.size() ? requests_[i] : std::string();
}

std::vector<std::string> ScriptedServer::Requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

std::size_t ScriptedServer::ConnectionsAccepted() const {
    std::lock_guard lock(mutex_);
    return accepted_;
}

void ScriptedServer::WaitFinished() {
    std::unique_lock lock(mutex_);
    finishedCv_.wait(lock, [this] { return finished_.load(); });
}

bool ScriptedServer::Expired() const {
    return stop_ || std::chrono::steady_clock::now() >= deadline_;
}

bool ScriptedServer::Pause(std::chrono::milliseconds pause) const {
    auto until = std::chrono::steady_clock::now() + pause;
    while (std::chrono::steady_clock::now() < until) {
        if (Expired()) return false;
        std::this_thread::sleep_for(
            std::chrono::milliseconds(std::min<long>(kPollMs, pause.count())));
    }
    return true;
}

void ScriptedServer::Run() {
    for (std::size_t i = 0; i < scripts_.size() && !Expired(); ++i) {
        int fd = -1;
        while (fd < 0 && !Expired()) {
            pollfd p{listenFd_, POLLIN, 0};
            if (::poll(&p, 1, kPollMs) > 0) fd = ::accept(listenFd_, nullptr, nullptr);
        }
        if (fd < 0) break;
        {
            std::lock_guard lock(mutex_);
            ++accepted_;
        }
        Serve(fd, scripts_[i], i);
        ::close(fd);
    }
    {
        std::lock_guard lock(mutex_);
        finished_ = true;
    }
    finishedCv_.notify_all();
}

void ScriptedServer::Serve(int fd, const Script& script, std::size_t index) {
    for (const Script::Step& step : script.steps_) {
        if (Expired()) return;
        switch (step.kind) {
            case Script::Kind::ReadRequest:
                if (!ReadHead(fd, index)) return;
                break;
            case Script::Kind::Send:
                if (!SendAll(fd, step.bytes)) return;
                break;
            case Script::Kind::Wait:
                if (!Pause(step.pause)) return;
                break;
            case Script::Kind::Close:
                return;
            case Script::Kind::Hold:
                HoldOpen(fd);
                return;
        }
    }
}

bool ScriptedServer::ReadHead(int fd, std::size_t index) {
    std::string head;
    char buf[4096];
    while (head.find("\r\n\r\n") == std::string::npos && !Expired()) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, kPollMs) <= 0) continue;
        ssize_t n = ::recv(fd, buf, sizeof buf, 0);
        if (n <= 0) break;
        head.append(buf, static_cast<std::size_t>(n));
        std::lock_guard lock(mutex_);
        requests_[index] = head;
    }
    return head.find("\r\n\r\n") != std::string::npos;
}

bool ScriptedServer::SendAll(int fd, const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        if (Expired()) return false;
        pollfd p{fd, POLLOUT, 0};
        if (::poll(&p, 1, kPollMs) <= 0) continue;
        ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) return false;  // the client went away; the script ends here
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

void ScriptedServer::HoldOpen(int fd) {
    char buf[4096];
    while (!Expired()) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, kPollMs) <= 0) continue;
        if (::recv(fd, buf, sizeof buf, 0) <= 0) return;  // the peer closed
    }
}

}  // namespace kv::testing
