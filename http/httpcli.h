// THttpCli: one HTTP/1.1 exchange (GET, or a form POST) on Qt's event loop, with redirects,
// over a new connection per request ("Connection: close"): plain TCP for http, TLS with
// verified certificates for https, through a CONNECT tunnel when an https address goes
// through a proxy. Bodies may come chunked and gzip/deflate-coded; the caller sees them
// decoded. A reply ends at its last chunk, at an HTTP/1.1 Content-Length, or at the close.
//
// Extending it (the timed client does):
// - ConnectStep() runs at the start and after each redirect. Override it to resolve names
//   (set the DnsLookup/DnsLookupDone states while a lookup runs), choose direct or proxy
//   with DirectRoute()/ProxyRoute(), put the resolved address into Route::connectHost and
//   call StartRoute(). To fail, SetStatus() and FinishExchange().
// - SessionClosed() runs, on a fresh stack, when a connection closes while an exchange
//   runs. Override it to repeat a request instead of ending (a 401 answered with
//   credentials): ResetReplyState(), SetState(NotConnected), ConnectStep(). Otherwise call
//   the base.
// - The Trigger*() hooks fire the events; override to act before or after the caller's
//   handler and call the base. TriggerDataSent() reports request bytes written.
// - Abort() is virtual, to cancel work of the derived client (a name lookup) too.
// Waiting is the caller's business: run the event loop until State() is Ready.
// An event handler may call Abort(); it must not destroy the client.
//
// Tests: tests/http/exchange_*_test.cpp (against tests/support/scripted_server.h).
#pragma once

#include <QObject>
#include <QTcpSocket>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "http/bodydecoder.h"
#include "http/httpaddress.h"
#include "http/tlschannel.h"

namespace kv::http {

enum class THttpState {
    Ready,
    NotConnected,
    Connected,
    DnsLookup,
    DnsLookupDone,
    WaitingHeader,
    WaitingBody,
    Aborting,
};

// Local failures (connect, limits, unsupported redirects) end the exchange with this status
// and the reason in the reason phrase, as name-resolution failures do.
inline constexpr int kLocalFailureStatus = 404;

class THttpCli {
  public:
    THttpCli();
    virtual ~THttpCli();
    THttpCli(const THttpCli&) = delete;
    THttpCli& operator=(const THttpCli&) = delete;

    // Request properties. URL is the address first requested; Location() is the current one.
    const std::string& URL() const { return url_; }
    void SetURL(std::string url) { url_ = std::move(url); }
    const std::string& Location() const { return location_; }
    const std::string& Proxy() const { return proxy_; }
    void SetProxy(std::string proxy) { proxy_ = std::move(proxy); }
    const std::string& ProxyPort() const { return proxyPort_; }
    void SetProxyPort(std::string port) { proxyPort_ = std::move(port); }
    const std::string& Accept() const { return accept_; }
    void SetAccept(std::string accept) { accept_ = std::move(accept); }
    const std::string& Reference() const { return reference_; }
    void SetReference(std::string reference) { reference_ = std::move(reference); }
    const std::string& Agent() const { return agent_; }
    void SetAgent(std::string agent) { agent_ = std::move(agent); }
    const std::string& Username() const { return username_; }
    void SetUsername(std::string user) { username_ = std::move(user); }
    const std::string& Password() const { return password_; }
    void SetPassword(std::string password) { password_ = std::move(password); }
    const std::string& ProxyUsername() const { return proxyUsername_; }
    void SetProxyUsername(std::string user) { proxyUsername_ = std::move(user); }
    const std::string& ProxyPassword() const { return proxyPassword_; }
    void SetProxyPassword(std::string password) { proxyPassword_ = std::move(password); }
    const std::string& Cookie() const { return cookie_; }
    void SetCookie(std::string cookie) { cookie_ = std::move(cookie); }
    bool AutoRedirect() const { return autoRedirect_; }
    void SetAutoRedirect(bool on) { autoRedirect_ = on; }
    const std::string& LocalAddr() const { return localAddr_; }
    void SetLocalAddr(std::string address) { localAddr_ = std::move(address); }
    // A non-empty body makes the request a POST of that body with ContentTypePost's type.
    // 301, 302 and 303 replies continue as GET; 307 and 308 repeat the POST.
    const std::string& PostBody() const { return postBody_; }
    void SetPostBody(std::string body) { postBody_ = std::move(body); }
    const std::string& ContentTypePost() const { return contentTypePost_; }
    void SetContentTypePost(std::string type) { contentTypePost_ = std::move(type); }
    // A PEM file of CA certificates trusted besides the system's ("" for none).
    const std::string& CaFile() const { return caFile_; }
    void SetCaFile(std::string path) { caFile_ = std::move(path); }
    // The received-body stream, owned by the caller; may be null.
    void SetRcvdStream(std::string* stream) { rcvdStream_ = stream; }

    // Derived per request.
    const std::string& TargetHost() const { return targetHost_; }
    const std::string& RequestTarget() const { return requestTarget_; }
    // The method of the request in flight: "POST" until a redirect turns it into a GET.
    const char* Method() const { return posting_ ? "POST" : "GET"; }

    // Reply state.
    THttpState State() const { return state_; }
    int StatusCode() const { return statusCode_; }
    const std::string& ReasonPhrase() const { return reasonPhrase_; }
    std::int64_t ContentLength() const { return contentLength_; }    // -1: not given
    const std::string& ContentType() const { return contentType_; }  // lower-cased
    const std::vector<std::string>& RcvdHeader() const { return rcvdHeader_; }
    const std::vector<std::string>& AuthChallenges() const { return authChallenges_; }
    const std::string& ContentRange() const { return contentRange_; }
    const std::string& AcceptRanges() const { return acceptRanges_; }
    std::uint64_t RcvdCount() const { return rcvdCount_; }  // decoded body bytes of this reply
    bool FailedLocally() const { return failedLocally_; }
    int RedirectCount() const { return redirectCount_; }
    // The WinSock number of the last socket error of this exchange, 0 for none.
    int LastSocketError() const { return lastSocketError_; }
    bool SocketOpen() const { return socket_ != nullptr; }

    // Starts a GET; the exchange then runs on the event loop until State() is Ready.
    // Raises HttpError "HTTP component is busy" when an exchange is running.
    void GetASync();
    // Closes the connection and returns the exchange to Ready.
    virtual void Abort();

    // Events, in the order one exchange fires them.
    using NotifyEvent = std::function<void(THttpCli&)>;
    NotifyEvent OnStateChange;
    NotifyEvent OnSessionConnected;
    NotifyEvent OnRequestHeaderBegin;
    // May append raw header lines, each ending in CR LF, to the head.
    std::function<void(THttpCli&, std::string& head)> OnRequestHeaderEnd;
    NotifyEvent OnHeaderBegin;
    std::function<void(THttpCli&, const std::string& line)> OnHeaderData;
    std::function<void(THttpCli&, const std::string& value, bool& accept)> OnCookie;
    NotifyEvent OnHeaderEnd;
    NotifyEvent OnDocBegin;
    std::function<void(THttpCli&, std::string_view chunk)> OnDocData;
    NotifyEvent OnDocEnd;
    NotifyEvent OnLocationChange;
    NotifyEvent OnRequestDone;

  protected:
    // Where one request goes: the host or address to connect to and the request it sends.
    struct Route {
        std::string connectHost;
        std::string connectPort;
        std::string requestTarget;
        std::string targetHost;
        bool viaProxy = false;  // the proxy reads the request (plain http through it)
        std::string hostField;  // the Host line's value
        bool tls = false;       // https: TLS to targetHost, verified against that name
        std::string tunnelTo;   // "host:port" a proxy is asked to CONNECT to; "" for none
    };
    Route DirectRoute(const UrlParts& location) const;
    Route ProxyRoute(const UrlParts& location, const UrlParts& proxy) const;

    // Runs at the start, after each redirect (and, in the timed client, after a credential
    // prompt). Here: credentials of the location, then the proxy when one is set, else direct.
    virtual void ConnectStep();
    // Takes over the route and opens the connection; failures end the exchange.
    void StartRoute(const Route& route);

    // The connection closed (by the server or by the engine) while an exchange runs.
    virtual void SessionClosed();

    virtual void TriggerStateChange();
    virtual void TriggerSessionConnected();
    virtual void TriggerRequestHeaderBegin();
    virtual void TriggerRequestHeaderEnd(std::string& head);
    virtual void TriggerHeaderBegin();
    virtual void TriggerHeaderData(const std::string& line);
    virtual void TriggerCookie(const std::string& value, bool& accept);
    virtual void TriggerHeaderEnd();
    virtual void TriggerDocBegin();
    virtual void TriggerDocData(std::string_view chunk);
    virtual void TriggerDocEnd();
    virtual void TriggerLocationChange();
    virtual void TriggerRequestDone();
    // Request bytes handed to the network.
    virtual void TriggerDataSent(std::int64_t bytes);

    void SetState(THttpState state);
    void SetStatus(int code, std::string reason);
    // Clears the reply state: header list, counters, content length -1, content type,
    // status code 0 and the receive buffer.
    void ResetReplyState();
    // Ends the exchange: the connection goes, the state becomes Ready.
    void FinishExchange();
    // Ends the exchange as a local failure with this reason.
    void FailExchange(std::string reason);

  private:
    struct SocketDeleter {
        void operator()(QTcpSocket* socket) const;
    };

    void OpenConnection(const std::string& host, const std::string& port);
    void OnSocketConnected();
    void StartTls();
    // Writes request bytes to the peer, through TLS when it runs.
    void WriteToPeer(std::string_view bytes);
    void FlushTls();
    // Bytes from the socket: decrypted first when TLS runs, the request sent once the
    // handshake is done.
    void Received(std::string_view bytes);
    // The origin a TLS session belongs to: "host:port".
    std::string TlsPeer() const;
    void SendRequest();
    void FailTls(const std::string& socketError);
    bool IsInterimReply() const { return statusCode_ >= 100 && statusCode_ < 200; }
    bool RedirectKeepsPost() const { return statusCode_ == 307 || statusCode_ == 308; }
    bool RedirectChangesRequest() const;
    void OnSocketReadyRead();
    void OnSocketError(QAbstractSocket::SocketError error);
    void ServerClosed();
    void ProcessReceived(std::string_view data);
    void ProcessHeadBuffer();
    void HandleHeadLine(const std::string& line);
    void EndOfHead(std::string_view rest);
    void ReceiveBody(std::string_view raw);
    void DeliverBody(std::string_view chunk);
    void FollowRedirect();
    void CloseConnection();
    void DropSocket();
    void PostRequestDone();

    // Context of the socket connections and posted calls; they end with the client.
    QObject context_;
    std::unique_ptr<QTcpSocket, SocketDeleter> socket_;
    std::unique_ptr<TlsChannel> tls_;  // on https connections, once the handshake starts

    std::string url_;
    std::string location_;
    std::string proxy_;
    std::string proxyPort_ = "80";
    std::string accept_ = "image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*";
    std::string reference_;
    std::string agent_ = "Mozilla/3.0 (compatible)";
    std::string username_;
    std::string password_;
    std::string proxyUsername_;
    std::string proxyPassword_;
    std::string cookie_;
    bool autoRedirect_ = true;
    std::string localAddr_ = "0.0.0.0";
    std::string* rcvdStream_ = nullptr;
    std::string postBody_;
    std::string contentTypePost_ = "application/x-www-form-urlencoded";
    std::string caFile_;
    bool posting_ = false;

    std::string targetHost_;
    std::string requestTarget_;
    bool viaProxy_ = false;
    Route route_;
    bool tunnelPending_ = false;  // the head being read answers our CONNECT
    bool tlsPending_ = false;     // the TLS handshake runs

    THttpState state_ = THttpState::Ready;
    int statusCode_ = 0;
    std::string reasonPhrase_;
    std::int64_t contentLength_ = -1;
    std::string contentType_;
    std::vector<std::string> rcvdHeader_;
    std::vector<std::string> authChallenges_;
    std::string contentRange_;
    std::string acceptRanges_;
    bool http11_ = false;
    bool chunked_ = false;
    std::string contentEncoding_;
    std::string transferEncoding_;
    std::unique_ptr<BodyDecoder> bodyDecoder_;  // replaced only when a head ends
    bool locationSeen_ = false;
    RedirectTarget newLocation_;
    bool redirectPending_ = false;
    std::uint64_t rcvdCount_ = 0;
    bool docBegun_ = false;
    bool firstLine_ = true;
    std::string rcvBuf_;
    std::size_t headBytes_ = 0;
    bool failedLocally_ = false;
    int redirectCount_ = 0;
    int lastSocketError_ = 0;
    // Bumped when a posted close must no longer act (abort, new start).
    unsigned closeSerial_ = 0;
};

}  // namespace kv::http
