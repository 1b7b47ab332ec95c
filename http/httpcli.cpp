// THttpCli: start, connect step, socket plumbing, states and events.
// Reading the reply and following redirects: httpcli_reply.cpp.
#include "http/httpcli.h"

#include <QHostAddress>

#include "http/fieldtext.h"
#include "http/httperror.h"
#include "http/httpstrings.h"
#include "http/requesthead.h"
#include "http/requestsafety.h"
#include "http/socketerror.h"

namespace kv::http {

namespace {

// A port text the socket accepts: 1 to 65535 in decimal.
bool ReadPort(const std::string& text, quint16& port) {
    unsigned value = 0;
    if (!ReadWholeInteger(text, value) || value == 0 || value > 65535) return false;
    port = static_cast<quint16>(value);
    return true;
}

}  // namespace

void THttpCli::SocketDeleter::operator()(QTcpSocket* socket) const {
    // Never deleted at once: this may run inside one of the socket's own signals.
    socket->deleteLater();
}

THttpCli::THttpCli() = default;

THttpCli::~THttpCli() {
    // The client is never destroyed inside one of its socket's signals, so the socket can
    // go at once; a deferred delete might never run when the program ends.
    if (!socket_) return;
    QObject::disconnect(socket_.get(), nullptr, &context_, nullptr);
    socket_->abort();
    delete socket_.release();
}

void THttpCli::GetASync() {
    if (state_ != THttpState::Ready) throw HttpError(kHttpComponentBusy);
    ++closeSerial_;
    DropSocket();
    ResetReplyState();
    failedLocally_ = false;
    lastSocketError_ = 0;
    redirectCount_ = 0;
    posting_ = !postBody_.empty();
    location_ = url_;
    SetState(THttpState::NotConnected);
    ConnectStep();
}

void THttpCli::Abort() {
    if (state_ == THttpState::Ready) {
        DropSocket();
        return;
    }
    ++closeSerial_;
    SetState(THttpState::Aborting);
    DropSocket();
    redirectPending_ = false;
    SetState(THttpState::Ready);
}

THttpCli::Route THttpCli::DirectRoute(const UrlParts& location) const {
    Route route;
    route.connectHost = location.host;
    route.connectPort = location.PortOrDefault();
    route.requestTarget = location.path;
    route.targetHost = location.host;
    route.hostField = location.HostField();
    route.tls = location.Secure();
    return route;
}

THttpCli::Route THttpCli::ProxyRoute(const UrlParts& location, const UrlParts& proxy) const {
    std::string port = proxy.port.empty() ? proxyPort_ : proxy.port;
    if (location.Secure()) {
        // The proxy only relays the bytes of a tunnel; the request inside is the origin's.
        Route route = DirectRoute(location);
        route.connectHost = proxy.host;
        route.connectPort = port;
        route.tunnelTo = location.host + ":" + location.PortOrDefault();
        return route;
    }
    Route route = DirectRoute(location);
    route.connectHost = proxy.host;
    route.connectPort = port;
    route.requestTarget = AbsoluteTarget(location);
    route.viaProxy = true;
    return route;
}

void THttpCli::ConnectStep() {
    UrlParts location = SplitAddress(location_);
    if (location.hasUser) {
        username_ = location.user;
        password_ = location.password;
    }
    StartRoute(proxy_.empty() ? DirectRoute(location) : ProxyRoute(location, SplitAddress(proxy_)));
}

void THttpCli::StartRoute(const Route& route) {
    requestTarget_ = route.requestTarget;
    targetHost_ = route.targetHost;
    viaProxy_ = route.viaProxy;
    route_ = route;
    tunnelPending_ = false;
    tlsPending_ = false;
    OpenConnection(route.connectHost, route.connectPort);
}

void THttpCli::OpenConnection(const std::string& host, const std::string& portText) {
    DropSocket();
    quint16 port = 0;
    if (!ReadPort(portText, port)) {
        lastSocketError_ = kWsaInvalidArgument;
        FailExchange(std::string(kCantConnect) + SocketErrorWithNumber(kWsaInvalidArgument));
        return;
    }
    socket_.reset(new QTcpSocket());
    QTcpSocket* socket = socket_.get();
    QObject::connect(socket, &QTcpSocket::connected, &context_, [this] { OnSocketConnected(); });
    QObject::connect(socket, &QTcpSocket::readyRead, &context_, [this] { OnSocketReadyRead(); });
    QObject::connect(socket, &QTcpSocket::disconnected, &context_, [this] { ServerClosed(); });
    QObject::connect(socket, &QTcpSocket::errorOccurred, &context_,
                     [this](QAbstractSocket::SocketError error) { OnSocketError(error); });
    QObject::connect(socket, &QTcpSocket::bytesWritten, &context_,
                     [this](qint64 bytes) { TriggerDataSent(bytes); });
    // Requests go out whole; a TLS handshake's small messages should not wait for acks.
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    if (!localAddr_.empty() && localAddr_ != "0.0.0.0") {
        socket->bind(QHostAddress(QString::fromStdString(localAddr_)));
    }
    socket->connectToHost(QString::fromStdString(host), port);
}

void THttpCli::OnSocketConnected() {
    SetState(THttpState::Connected);
    TriggerSessionConnected();
    if (state_ != THttpState::Connected) return;
    // Once per request, also when a tunnel and a handshake come first: the credentials
    // (the proxy's too) and cookies are settled here.
    TriggerRequestHeaderBegin();
    if (state_ != THttpState::Connected || !socket_) return;
    if (!route_.tunnelTo.empty()) {
        if (!IsHostName(route_.tunnelTo)) {
            FailExchange(std::string(kHttpBadHostName));  // nothing goes out
            return;
        }
        const std::string head =
            ComposeConnectHead(route_.tunnelTo, agent_, proxyUsername_, proxyPassword_);
        tunnelPending_ = true;
        SetState(THttpState::WaitingHeader);
        WriteToPeer(head);
        return;
    }
    if (route_.tls) {
        StartTls();
        return;
    }
    SendRequest();
}

void THttpCli::StartTls() {
    try {
        // The name is verified and sent as SNI, though the connection went to an address.
        tls_ = std::make_unique<TlsChannel>(caFile_, targetHost_, TlsPeer());
    } catch (const HttpError& error) {
        FailExchange(error.what());
        return;
    }
    tlsPending_ = true;
    FlushTls();
}

void THttpCli::WriteToPeer(std::string_view bytes) {
    if (!tls_) {
        socket_->write(bytes.data(), static_cast<qint64>(bytes.size()));
        return;
    }
    try {
        tls_->Send(bytes);
    } catch (const HttpError& error) {
        FailExchange(error.what());
        return;
    }
    FlushTls();
}

void THttpCli::FlushTls() {
    const std::string out = tls_->TakeOutgoing();
    if (!out.empty()) socket_->write(out.data(), static_cast<qint64>(out.size()));
}

std::string THttpCli::TlsPeer() const {
    return targetHost_ + ":" + SplitAddress(location_).PortOrDefault();
}

void THttpCli::FailTls(const std::string& socketError) {
    FailExchange(FormatText(kTlsHandshakeFailed, {targetHost_, socketError}));
}

void THttpCli::SendRequest() {
    RequestHeadFields fields;
    fields.method = Method();
    fields.target = requestTarget_;
    fields.accept = accept_;
    fields.reference = reference_;
    fields.agent = agent_;
    fields.host = route_.hostField;
    fields.username = username_;
    fields.password = password_;
    fields.viaProxy = viaProxy_;
    fields.proxyUsername = proxyUsername_;
    fields.proxyPassword = proxyPassword_;
    fields.cookie = cookie_;
    if (posting_) {
        fields.contentType = contentTypePost_;
        fields.contentLength = postBody_.size();
    }
    std::string head;
    try {
        head = ComposeRequestHead(fields);
        TriggerRequestHeaderEnd(head);
    } catch (const HttpError& error) {
        FailExchange(error.what());  // nothing of the head goes out
        return;
    }
    if (state_ != THttpState::Connected || !socket_) return;
    head += "\r\n";
    if (posting_) head += postBody_;
    SetState(THttpState::WaitingHeader);
    WriteToPeer(head);
}

void THttpCli::OnSocketReadyRead() {
    if (!socket_) return;
    QByteArray data = socket_->readAll();
    Received(std::string_view(data.constData(), static_cast<std::size_t>(data.size())));
}

void THttpCli::Received(std::string_view bytes) {
    if (!tls_) {
        ProcessReceived(bytes);
        return;
    }
    // Piece by piece: the plaintext buffers stay small and are reused, not grown.
    for (std::size_t at = 0; at < bytes.size(); at += TlsChannel::kPiece) {
        std::string plain;
        try {
            plain = tls_->Receive(bytes.substr(at, TlsChannel::kPiece));
        } catch (const HttpError& error) {
            FailExchange(error.what());
            return;
        }
        if (tlsPending_ && tls_->Established()) {
            // The handshake's last message and the request leave in one write.
            tlsPending_ = false;
            SendRequest();
            if (!socket_) return;
        }
        FlushTls();
        if (!plain.empty()) ProcessReceived(plain);
        if (!socket_) return;  // the reply ended or failed
    }
}

void THttpCli::OnSocketError(QAbstractSocket::SocketError error) {
    if (!socket_) return;
    if (tlsPending_) {
        FailTls(socket_->errorString().toStdString());
        return;
    }
    if (error == QAbstractSocket::RemoteHostClosedError) {
        ServerClosed();
        return;
    }
    lastSocketError_ = WinSockErrorOf(error);
    if (state_ == THttpState::NotConnected) {
        FailExchange(SocketErrorWithNumber(lastSocketError_));
        return;
    }
    ServerClosed();
}

void THttpCli::ServerClosed() {
    if (!socket_) return;
    if (tlsPending_) {
        FailTls(socket_->errorString().toStdString());
        return;
    }
    QByteArray rest = socket_->readAll();
    if (!rest.isEmpty()) {
        Received(std::string_view(rest.constData(), static_cast<std::size_t>(rest.size())));
    }
    if (!socket_) return;  // reading the rest ended or closed the exchange
    if (state_ == THttpState::WaitingBody && bodyDecoder_) {
        try {
            bodyDecoder_->Closed();
        } catch (const HttpError& error) {
            FailExchange(error.what());
            return;
        }
    }
    CloseConnection();
}

void THttpCli::CloseConnection() {
    DropSocket();
    // Runs on a fresh stack, so that what follows a close (a redirect, the timed client's
    // credential prompt) never runs inside a socket signal.
    unsigned serial = closeSerial_;
    QMetaObject::invokeMethod(
        &context_,
        [this, serial] {
            if (serial == closeSerial_) SessionClosed();
        },
        Qt::QueuedConnection);
}

void THttpCli::DropSocket() {
    if (!socket_) return;
    QObject::disconnect(socket_.get(), nullptr, &context_, nullptr);
    socket_->abort();
    socket_.reset();
    tls_.reset();
}

void THttpCli::SetState(THttpState state) {
    if (state == state_) return;
    state_ = state;
    TriggerStateChange();
    if (state == THttpState::Ready) PostRequestDone();
}

void THttpCli::PostRequestDone() {
    QMetaObject::invokeMethod(
        &context_, [this] { TriggerRequestDone(); }, Qt::QueuedConnection);
}

void THttpCli::SetStatus(int code, std::string reason) {
    statusCode_ = code;
    reasonPhrase_ = std::move(reason);
}

void THttpCli::FinishExchange() {
    DropSocket();
    redirectPending_ = false;
    SetState(THttpState::Ready);
}

void THttpCli::FailExchange(std::string reason) {
    DropSocket();
    SetStatus(kLocalFailureStatus, std::move(reason));
    failedLocally_ = true;
    FinishExchange();
}

void THttpCli::TriggerStateChange() {
    if (OnStateChange) OnStateChange(*this);
}
void THttpCli::TriggerSessionConnected() {
    if (OnSessionConnected) OnSessionConnected(*this);
}
void THttpCli::TriggerRequestHeaderBegin() {
    if (OnRequestHeaderBegin) OnRequestHeaderBegin(*this);
}
void THttpCli::TriggerRequestHeaderEnd(std::string& head) {
    if (OnRequestHeaderEnd) OnRequestHeaderEnd(*this, head);
}
void THttpCli::TriggerHeaderBegin() {
    if (OnHeaderBegin) OnHeaderBegin(*this);
}
void THttpCli::TriggerHeaderData(const std::string& line) {
    if (OnHeaderData) OnHeaderData(*this, line);
}
void THttpCli::TriggerCookie(const std::string& value, bool& accept) {
    if (OnCookie) OnCookie(*this, value, accept);
}
void THttpCli::TriggerHeaderEnd() {
    if (OnHeaderEnd) OnHeaderEnd(*this);
}
void THttpCli::TriggerDocBegin() {
    if (OnDocBegin) OnDocBegin(*this);
}
void THttpCli::TriggerDocData(std::string_view chunk) {
    if (OnDocData) OnDocData(*this, chunk);
}
void THttpCli::TriggerDocEnd() {
    if (OnDocEnd) OnDocEnd(*this);
}
void THttpCli::TriggerLocationChange() {
    if (OnLocationChange) OnLocationChange(*this);
}
void THttpCli::TriggerRequestDone() {
    if (OnRequestDone) OnRequestDone(*this);
}
void THttpCli::TriggerDataSent(std::int64_t) {}

}  // namespace kv::http
