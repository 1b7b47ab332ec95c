// A scripted TCP server for protocol tests: listens on 127.0.0.1 on a free port, in its own
// thread, serves one script per accepted connection in order, records the exact bytes each
// request head arrived as, and ends by itself when the scripts are played or its lifetime
// is over. Plain POSIX sockets, so it never depends on the event loop of the code it tests.
//
//   ScriptedServer server({Script().ReadRequest().Send("HTTP/1.0 200 OK\r\n\r\nhi").Close()});
//   ... client fetches server.Url("/a") ...
//   EXPECT_EQ(server.Request(0), "GET /a HTTP/1.0\r\n...");
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kv::testing {

class Script {
  public:
    // Reads until the end of a request head (an empty line), the peer's close or the
    // server's end; the bytes are recorded as this connection's request.
    Script& ReadRequest();
    Script& Send(std::string bytes);
    Script& Wait(std::chrono::milliseconds pause);
    // Sends the bytes in pieces of `piece` bytes with a pause before each piece.
    Script& Trickle(std::string bytes, std::size_t piece, std::chrono::milliseconds pause);
    // Closes the connection; a script also closes when its steps run out.
    Script& Close();
    // Never answers: keeps the connection open until the peer closes it or the server ends.
    Script& Hold();

    // ReadRequest, Send(reply), Close: the usual HTTP/1.0 exchange.
    static Script Reply(std::string reply);

  private:
    friend class ScriptedServer;
    enum class Kind { ReadRequest, Send, Wait, Close, Hold };
    struct Step {
        Kind kind;
        std::string bytes;
        std::chrono::milliseconds pause{0};
    };
    std::vector<Step> steps_;
};

class ScriptedServer {
  public:
    // Upper bound on the server's life, so that a test never hangs on it.
    static constexpr std::chrono::seconds kMaxLifetime{20};

    explicit ScriptedServer(std::vector<Script> connections);
    ~ScriptedServer();
    ScriptedServer(const ScriptedServer&) = delete;
    ScriptedServer& operator=(const ScriptedServer&) = delete;

    std::uint16_t Port() const { return port_; }
    // "http://127.0.0.1:" + port + path
    std::string Url(const std::string& path = "/") const;
    // "127.0.0.1:" + port
    std::string HostPort() const;

    // The recorded request of connection i ("" when it never came).
    std::string Request(std::size_t i) const;
    std::vector<std::string> Requests() const;
    std::size_t ConnectionsAccepted() const;
    // Blocks until every script has been played or the server's lifetime is over.
    void WaitFinished();
    bool Finished() const { return finished_; }

  private:
    void Run();
    void Serve(int fd, const Script& script, std::size_t index);
    bool ReadHead(int fd, std::size_t index);
    bool SendAll(int fd, const std::string& bytes);
    void HoldOpen(int fd);
    bool Expired() const;
    bool Pause(std::chrono::milliseconds pause) const;

    std::vector<Script> scripts_;
    int listenFd_ = -1;
    std::uint16_t port_ = 0;
    std::chrono::steady_clock::time_point deadline_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> finished_{false};
    mutable std::mutex mutex_;
    std::condition_variable finishedCv_;
    std::vector<std::string> requests_;
    std::size_t accepted_ = 0;
    std::thread thread_;
};

}  // namespace kv::testing
