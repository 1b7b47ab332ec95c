#include "http/requesthead.h"

#include <QByteArray>

#include "http/httperror.h"
#include "http/httpstrings.h"
#include "http/requestsafety.h"

namespace kv::http {

namespace {

void AppendLine(std::string& head, std::string_view name, std::string_view value) {
    AppendHeaderLine(head, name, value);
}

}  // namespace

std::string BasicCredentials(std::string_view user, std::string_view password) {
    std::string pair(user);
    pair += ':';
    pair += password;
    QByteArray encoded = QByteArray(pair.data(), static_cast<qsizetype>(pair.size())).toBase64();
    return std::string(encoded.constData(), static_cast<std::size_t>(encoded.size()));
}

std::string ComposeRequestHead(const RequestHeadFields& f) {
    if (!IsHostName(f.host)) throw HttpError(kHttpBadHostName);
    std::string head = "GET " + EncodeRequestTarget(f.target) + " HTTP/1.0\r\n";
    if (!f.accept.empty()) AppendLine(head, "Accept", f.accept);
    // The referrer is the address of an earlier request: encoded as that request's target was.
    if (!f.reference.empty()) AppendLine(head, "Referer", EncodeRequestTarget(f.reference));
    if (!f.agent.empty()) AppendLine(head, "User-Agent", f.agent);
    AppendLine(head, "Host", f.host);
    if (!f.username.empty()) {
        AppendLine(head, "Authorization", "Basic " + BasicCredentials(f.username, f.password));
    }
    if (f.viaProxy && !f.proxyUsername.empty()) {
        AppendLine(head, "Proxy-Authorization",
                   "Basic " + BasicCredentials(f.proxyUsername, f.proxyPassword));
    }
    if (!f.cookie.empty()) AppendLine(head, "Cookie", f.cookie);
    return head;
}

}  // namespace kv::http
