// THttpCli: reading the reply head and body, the end of a reply, and following redirects.
#include <string>

#include "http/httpcli.h"
#include "http/httperror.h"
#include "http/httplimits.h"
#include "http/httpstrings.h"
#include "http/replyhead.h"
#include "http/requestsafety.h"
#include "text/textcompare.h"

namespace kv::http {

void THttpCli::ResetReplyState() {
    statusCode_ = 0;
    reasonPhrase_.clear();
    contentLength_ = -1;
    contentType_.clear();
    rcvdHeader_.clear();
    authChallenges_.clear();
    contentRange_.clear();
    acceptRanges_.clear();
    http11_ = false;
    chunked_ = false;
    contentEncoding_.clear();
    transferEncoding_.clear();
    locationSeen_ = false;
    newLocation_ = {};
    redirectPending_ = false;
    rcvdCount_ = 0;
    docBegun_ = false;
    firstLine_ = true;
    rcvBuf_.clear();
    headBytes_ = 0;
}

void THttpCli::ProcessReceived(std::string_view data) {
    try {
        if (state_ == THttpState::WaitingHeader && !redirectPending_) {
            rcvBuf_.append(data);
            ProcessHeadBuffer();
        } else if (state_ == THttpState::WaitingBody) {
            ReceiveBody(data);
        }
    } catch (const HttpError& error) {
        FailExchange(error.what());
    }
}

void THttpCli::ProcessHeadBuffer() {
    std::size_t pos = 0;
    while (state_ == THttpState::WaitingHeader) {
        std::size_t lf = rcvBuf_.find('\n', pos);
        if (lf == std::string::npos) {
            rcvBuf_.erase(0, pos);
            if (rcvBuf_.size() >= kReceiveBufferBytes) throw HttpError(kHttpLineTooLong);
            return;
        }
        if (lf - pos + 1 > kReceiveBufferBytes) throw HttpError(kHttpLineTooLong);
        headBytes_ += lf - pos + 1;
        if (headBytes_ > kMaxReplyHeadBytes) throw HttpError(kHttpHeaderTooLarge);
        std::string line = rcvBuf_.substr(pos, lf - pos);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        pos = lf + 1;

        if (firstLine_) {
            firstLine_ = false;
            TriggerHeaderBegin();
            if (state_ != THttpState::WaitingHeader) return;
            if (IsHtmlStartLine(line)) {
                // A page without any head: the line itself is the start of the body.
                std::string rest = rcvBuf_.substr(pos);
                rcvBuf_.clear();
                bodyDecoder_.reset();
                if (contentType_.empty()) contentType_ = "text/html";
                SetState(THttpState::WaitingBody);
                TriggerHeaderEnd();
                if (state_ != THttpState::WaitingBody) return;
                ReceiveBody(line);
                if (state_ == THttpState::WaitingBody) ReceiveBody(rest);
                return;
            }
        }
        if (line.empty()) {
            std::string rest = rcvBuf_.substr(pos);
            if (IsInterimReply() && !tunnelPending_) {
                // "100 Continue" and the like: the real head follows. The head byte count
                // goes on, so endless interim replies still end at the head limit.
                const std::size_t counted = headBytes_;
                ResetReplyState();
                headBytes_ = counted;
                rcvBuf_ = std::move(rest);
                pos = 0;
                continue;
            }
            rcvBuf_.clear();
            EndOfHead(rest);
            return;
        }
        HandleHeadLine(line);
        if (redirectPending_) return;
    }
}

void THttpCli::HandleHeadLine(const std::string& line) {
    rcvdHeader_.push_back(line);
    if (auto status = ParseStatusLine(line)) {
        statusCode_ = status->code;
        reasonPhrase_ = std::move(status->reason);
        http11_ = line.starts_with("HTTP/1.1");
    } else if (auto field = ParseHeaderField(line)) {
        const std::string& name = field->name;
        if (name == "location") {
            if (tunnelPending_) return TriggerHeaderData(line);  // a proxy's, not the page's
            locationSeen_ = true;
            newLocation_ = ResolveLocation(location_, field->value);
        } else if (name == "content-length") {
            contentLength_ = ParseContentLength(field->value);
        } else if (name == "content-type") {
            contentType_ = text::AsciiLowerCase(field->value);
        } else if (name == "www-authenticate") {
            authChallenges_.push_back(field->value);
        } else if (name == "set-cookie") {
            bool accept = true;
            TriggerCookie(field->value, accept);
            if (state_ != THttpState::WaitingHeader) return;
        } else if (name == "transfer-encoding") {
            chunked_ = IsChunkedTransfer(field->value);
            transferEncoding_ = field->value;
        } else if (name == "content-encoding") {
            contentEncoding_ = field->value;
        } else if (name == "content-range") {
            contentRange_ = field->value;
        } else if (name == "accept-ranges") {
            acceptRanges_ = field->value;
        }
    }
    TriggerHeaderData(line);
}

bool THttpCli::RedirectChangesRequest() const {
    return newLocation_.address != url_ || (posting_ && !RedirectKeepsPost());
}

void THttpCli::EndOfHead(std::string_view rest) {
    if (tunnelPending_) {
        tunnelPending_ = false;
        if (statusCode_ >= 200 && statusCode_ < 300) {
            // The tunnel stands: TLS with the origin inside it, then the request.
            ResetReplyState();
            SetState(THttpState::Connected);
            StartTls();
            return;
        }
        // The proxy's refusal (a 407 among them) is the reply.
    }
    if (locationSeen_ && RedirectChangesRequest()) {
        TriggerHeaderEnd();
        if (state_ != THttpState::WaitingHeader) return;
        rcvdCount_ = 0;
        redirectPending_ = true;
        CloseConnection();
        return;
    }
    // An error reply without a body ends as one with a body does, so that a 401 or 407 is
    // still answered with credentials; 204 and 304 replies have no body.
    if ((contentLength_ != 0 || statusCode_ >= 400) && statusCode_ != 204 && statusCode_ != 304) {
        SetState(THttpState::WaitingBody);
        TriggerHeaderEnd();
        if (state_ != THttpState::WaitingBody) return;
        const std::string codings = BodyCodings(contentEncoding_, transferEncoding_);
        std::optional<ContentCoding> coding = ContentCodingOf(codings);
        if (!coding && statusCode_ < 400) {
            FailExchange(FormatText(kHttpUnsupportedEncoding, codings));
            return;
        }
        // HTTP/1.0 bodies end at the close whatever their Content-Length says.
        std::optional<std::uint64_t> length;
        if (http11_ && contentLength_ > 0) length = static_cast<std::uint64_t>(contentLength_);
        bodyDecoder_ = std::make_unique<BodyDecoder>(chunked_, length,
                                                     coding.value_or(ContentCoding::Identity));
        ReceiveBody(rest);
        // An error page is not read: its head is the whole result.
        if (state_ == THttpState::WaitingBody && statusCode_ >= 400 && socket_) CloseConnection();
        return;
    }
    TriggerHeaderEnd();
    if (state_ != THttpState::WaitingHeader) return;
    FinishExchange();
}

void THttpCli::ReceiveBody(std::string_view raw) {
    if (raw.empty()) return;
    if (!bodyDecoder_) {
        DeliverBody(raw);
        return;
    }
    const bool complete =
        bodyDecoder_->Feed(raw, [this](std::string_view data) { DeliverBody(data); });
    // The body is whole: the reply ends as if the server had closed (a 401 is answered then).
    if (complete && state_ == THttpState::WaitingBody && socket_) CloseConnection();
}

void THttpCli::DeliverBody(std::string_view chunk) {
    if (chunk.empty() || state_ != THttpState::WaitingBody) return;
    if (rcvdCount_ + chunk.size() > kMaxBodyBytes) {
        throw HttpError(FormatText(kHttpBodyTooLarge, std::to_string(kMaxBodyMiB)));
    }
    if (!docBegun_) {
        docBegun_ = true;
        TriggerDocBegin();
        if (state_ != THttpState::WaitingBody) return;
    }
    if (rcvdStream_ != nullptr) rcvdStream_->append(chunk);
    rcvdCount_ += chunk.size();
    TriggerDocData(chunk);
}

void THttpCli::SessionClosed() {
    if (state_ == THttpState::Ready || state_ == THttpState::Aborting) return;
    if (redirectPending_) {
        redirectPending_ = false;
        if (autoRedirect_) {
            FollowRedirect();
        } else {
            FinishExchange();
        }
        return;
    }
    if (state_ == THttpState::WaitingBody) {
        if (rcvdCount_ > 0) TriggerDocEnd();
        if (state_ == THttpState::WaitingBody) FinishExchange();
    }
    // Closed before the head ended: no reply will come, so waiting out a time-out (and trying
    // again) gains nothing.
    if (state_ == THttpState::WaitingHeader || state_ == THttpState::Connected)
        FailExchange(std::string(kHttpClosedBeforeHead));
}

void THttpCli::FollowRedirect() {
    if (!newLocation_.fetchable) {
        FailExchange(FormatText(kHttpUnsupportedRedirect, newLocation_.address));
        return;
    }
    if (redirectCount_ >= kMaxRedirects) {
        FailExchange(FormatText(kHttpTooManyRedirects, std::to_string(kMaxRedirects)));
        return;
    }
    ++redirectCount_;
    if (!SameOrigin(location_, newLocation_.address)) {
        // Server credentials belong to the origin that was asked; the proxy's stay.
        username_.clear();
        password_.clear();
    }
    if (!RedirectKeepsPost()) posting_ = false;  // as browsers do: the next request is a GET
    location_ = newLocation_.address;
    ResetReplyState();
    TriggerLocationChange();
    if (state_ == THttpState::Ready || state_ == THttpState::Aborting) return;
    SetState(THttpState::NotConnected);
    ConnectStep();
}

}  // namespace kv::http
