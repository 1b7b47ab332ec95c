// The demo engine's HTTP/1.0 server on 127.0.0.1: reads one request head per connection,
// answers after the configured latency and closes. Bad requests get 400; slow or greedy
// clients are cut off by the limits below, so no client can stall or exhaust the server.
// Connections are plain non-blocking sockets watched by the event loop, so a client that
// half-closes after its request still gets its answer.
// Tests: tests/tools/demoserver_test.cpp.
#pragma once

#include <QObject>
#include <QTcpServer>
#include <memory>
#include <vector>

#include "tools/demoengine/router.h"
#include "tools/demoengine/sites.h"

namespace kv::demo {

// A client has this long to send its request head.
inline constexpr int kHeadTimeoutMs = 15000;
// After the answer, input is drained this long at most so the close is clean, not a reset.
inline constexpr int kLingerMs = 2000;
// More open connections than this are refused at once: a runaway client must not take all
// file descriptors.
inline constexpr int kMaxConnections = 256;

struct ServerOptions {
    quint16 port = 8765;  // 0: any free port
    int latencyMs = 0;    // added before every answer
    int slowDelayMs = 2000;
    int siteHosts = kMaxSiteHosts;  // result sites on 127.0.0.2 upwards (0: all on 127.0.0.1)
};

class DemoServer : public QTcpServer {
  public:
    explicit DemoServer(const ServerOptions& options, QObject* parent = nullptr);

    // Starts listening; raises std::runtime_error with the reason when the port is taken.
    void Start();
    quint16 Port() const { return serverPort(); }
    // How many loopback addresses of their own the result sites got (0: none).
    int SiteHosts() const { return site_.siteHosts; }
    // Serves a connection accepted on one of the sites' addresses.
    void Accept(qintptr descriptor) { incomingConnection(descriptor); }

  protected:
    void incomingConnection(qintptr descriptor) override;

  private:
    ServerOptions options_;
    SiteOptions site_;
    int openConnections_ = 0;
    std::vector<std::unique_ptr<QTcpServer>> siteListeners_;
};

}  // namespace kv::demo
