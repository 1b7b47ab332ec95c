#include "tools/demoengine/demoserver.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <stdexcept>
#include <string>

#include "tools/demoengine/demostrings.h"
#include "tools/demoengine/request.h"
#include "tools/demoengine/transport.h"

namespace kv::demo {
namespace {

// Bytes read per call; a head never needs more than a few of these.
constexpr std::size_t kReadChunk = 4096;

// One connection: head, delayed answer, our side closed, the client's end awaited.
class Exchange : public QObject {
  public:
    Exchange(int descriptor, const ServerOptions& options, const SiteOptions& site, QObject* parent)
        : QObject(parent),
          fd_(descriptor),
          options_(options),
          site_(site),
          reader_(descriptor, QSocketNotifier::Read),
          writer_(descriptor, QSocketNotifier::Write) {
        ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) | O_NONBLOCK);
        writer_.setEnabled(false);
        connect(&reader_, &QSocketNotifier::activated, this, &Exchange::Readable);
        connect(&writer_, &QSocketNotifier::activated, this, &Exchange::Send);
        deadline_.setSingleShot(true);
        connect(&deadline_, &QTimer::timeout, this, &Exchange::Finish);
        deadline_.start(kHeadTimeoutMs);
    }

    ~Exchange() override {
        reader_.setEnabled(false);
        writer_.setEnabled(false);
        ::close(fd_);
    }

  private:
    void Readable() {
        char chunk[kReadChunk];
        while (true) {
            const ssize_t n = ::recv(fd_, chunk, sizeof chunk, 0);
            if (n > 0) {
                if (!answering_) Received(std::string_view(chunk, static_cast<std::size_t>(n)));
                continue;
            }
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
            if (n < 0 && errno == EINTR) continue;
            // The client's end: an error, or its side closed.
            reader_.setEnabled(false);
            if (n < 0 || sent_) return Finish();
            if (!answering_) {
                // A head cut short by the client's close: nothing, or a broken request.
                if (received_.empty()) return Finish();
                Answer(ErrorPage(400, "Bad Request"));
            }
            return;
        }
    }

    void Received(std::string_view bytes) {
        received_.append(bytes);
        HeadResult head = ParseRequestHead(received_);
        if (head.status == HeadStatus::Incomplete) return;
        if (head.status == HeadStatus::Bad) return Answer(ErrorPage(400, "Bad Request"));
        // A POST's form follows its head.
        const std::size_t length = head.request.contentLength;
        if (length > kMaxRequestBodyBytes) return Answer(ErrorPage(413, "Payload Too Large"));
        if (received_.size() < head.headBytes + length) return;
        head.request.body = received_.substr(head.headBytes, length);
        Answer(Route(head.request, site_));
    }

    void Answer(const Response& response) {
        answering_ = true;
        received_.clear();
        deadline_.stop();
        answer_ = Serialize(response);
        QTimer::singleShot(options_.latencyMs + response.extraDelayMs, this, &Exchange::Send);
    }

    void Send() {
        while (written_ < answer_.size()) {
            const ssize_t n =
                ::send(fd_, answer_.data() + written_, answer_.size() - written_, MSG_NOSIGNAL);
            if (n > 0) {
                written_ += static_cast<std::size_t>(n);
            } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                writer_.setEnabled(true);
                return;
            } else if (n < 0 && errno == EINTR) {
                continue;
            } else {
                return Finish();  // the client went away
            }
        }
        writer_.setEnabled(false);
        sent_ = true;
        // The end of the answer is our close; the client's close ends the exchange.
        ::shutdown(fd_, SHUT_WR);
        if (!reader_.isEnabled()) return Finish();
        deadline_.start(kLingerMs);
    }

    void Finish() {
        reader_.setEnabled(false);
        writer_.setEnabled(false);
        deadline_.stop();
        deleteLater();
    }

    int fd_;
    const ServerOptions& options_;
    const SiteOptions& site_;
    QSocketNotifier reader_;
    QSocketNotifier writer_;
    QTimer deadline_;
    std::string received_;
    std::string answer_;
    std::size_t written_ = 0;
    bool answering_ = false;
    bool sent_ = false;
};

// A listener on one of the result sites' addresses; the server serves what it accepts.
class SiteListener : public QTcpServer {
  public:
    explicit SiteListener(DemoServer& server) : server_(server) {}

  protected:
    void incomingConnection(qintptr descriptor) override { server_.Accept(descriptor); }

  private:
    DemoServer& server_;
};

}  // namespace

DemoServer::DemoServer(const ServerOptions& options, QObject* parent)
    : QTcpServer(parent), options_(options) {
    site_.slowDelayMs = options.slowDelayMs;
}

void DemoServer::Start() {
    if (!listen(QHostAddress::LocalHost, options_.port)) {
        char message[512];
        std::snprintf(message, sizeof message, strings::kCannotListen,
                      static_cast<unsigned>(options_.port), errorString().toUtf8().constData());
        throw std::runtime_error(message);
    }
    site_.host = "127.0.0.1:" + std::to_string(serverPort());
    // The sites' own addresses on the same port; where the system refuses one, every site
    // stays on 127.0.0.1, so the demo works on any loopback setup.
    for (int i = 0; i < std::min(options_.siteHosts, kMaxSiteHosts); ++i) {
        auto listener = std::make_unique<SiteListener>(*this);
        const QString address = QString("127.0.0.%1").arg(2 + i);
        if (!listener->listen(QHostAddress(address), serverPort())) {
            siteListeners_.clear();
            return;
        }
        siteListeners_.push_back(std::move(listener));
    }
    site_.siteHosts = static_cast<int>(siteListeners_.size());
}

void DemoServer::incomingConnection(qintptr descriptor) {
    const int fd = static_cast<int>(descriptor);
    if (openConnections_ >= kMaxConnections) {
        ::close(fd);
        return;
    }
    ++openConnections_;
    auto* exchange = new Exchange(fd, options_, site_, this);  // owned by the server
    connect(exchange, &QObject::destroyed, this, [this] { --openConnections_; });
}

}  // namespace kv::demo
