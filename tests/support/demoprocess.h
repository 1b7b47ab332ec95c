// Test fixtures for the demo engine: the program started as a process on a free port, and a
// raw HTTP/1.0 exchange that shows the answer's bytes as they came.
#pragma once

#include <QProcess>
#include <QStringList>
#include <map>
#include <memory>
#include <string>

namespace kv::testing {

std::string DemoEnginePath();

// Starts kelvane-demo-engine --port 0 (plus `arguments`) and reads the port it prints. Raises
// std::runtime_error when it does not start. Ends the process (SIGTERM) when it goes.
class DemoEngine {
  public:
    explicit DemoEngine(const QStringList& arguments = {});
    ~DemoEngine();
    DemoEngine(const DemoEngine&) = delete;
    DemoEngine& operator=(const DemoEngine&) = delete;

    quint16 Port() const { return port_; }
    std::string Host() const { return "127.0.0.1:" + std::to_string(port_); }
    qint64 Pid() const { return process_->processId(); }
    // Sends SIGTERM and waits; the exit code, or -1 when it crashed or did not end.
    int Stop();
    // Waits for an end caused elsewhere; the exit code as for Stop.
    int WaitForExit();

  private:
    std::unique_ptr<QProcess> process_;
    quint16 port_ = 0;
};

struct RawReply {
    std::string statusLine;
    int status = 0;
    std::map<std::string, std::string> headers;  // names lower-cased
    std::string body;
};

// Sends the bytes as they are and reads the answer to the server's close; with `halfClose`
// the sending side is shut down after the request, as some command-line clients do.
RawReply Exchange(quint16 port, const std::string& requestBytes, bool halfClose = false);
// A well-formed GET of `target` ("/path?query").
RawReply Get(quint16 port, const std::string& target);
// GET of an absolute address on this server ("http://127.0.0.1:PORT/...").
RawReply GetAddress(quint16 port, const std::string& address);

}  // namespace kv::testing
