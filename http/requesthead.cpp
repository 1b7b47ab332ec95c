#include "http/requesthead.h"

#include <QByteArray>

#include "text/textcompare.h"

namespace kv::http {

namespace {

void AppendLine(std::string& head, std::string_view name, std::string_view value) {
    head += name;
    head += ": ";
    head += value;
    head += "\r\n";
}

// The lower-cased name of a header line, "" when it has none.
std::string NameOf(std::string_view line) {
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos || colon == 0) return {};
    std::string_view name = line.substr(0, colon);
    while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) name.remove_suffix(1);
    return text::AsciiLowerCase(name);
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
    std::string head = f.method + " " + f.target + " HTTP/1.1\r\n";
    if (!f.accept.empty()) AppendLine(head, "Accept", f.accept);
    if (!f.reference.empty()) AppendLine(head, "Referer", f.reference);
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
    AppendLine(head, "Accept-Encoding", "gzip, deflate");
    AppendLine(head, "Connection", "close");
    if (f.contentLength) {
        if (!f.contentType.empty()) AppendLine(head, "Content-Type", f.contentType);
        AppendLine(head, "Content-Length", std::to_string(*f.contentLength));
    }
    return head;
}

std::string ComposeConnectHead(std::string_view authority, std::string_view agent,
                               std::string_view proxyUsername, std::string_view proxyPassword) {
    std::string head = "CONNECT " + std::string(authority) + " HTTP/1.1\r\n";
    AppendLine(head, "Host", authority);
    if (!agent.empty()) AppendLine(head, "User-Agent", agent);
    if (!proxyUsername.empty()) {
        AppendLine(head, "Proxy-Authorization",
                   "Basic " + BasicCredentials(proxyUsername, proxyPassword));
    }
    return head + "\r\n";
}

void ReplaceHeaderLines(std::string& head, const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        const std::string name = NameOf(line);
        if (name.empty() || line.find_first_of("\r\n") != std::string::npos) continue;
        std::string kept;
        std::size_t start = 0;
        bool first = true;  // the request line is never replaced
        while (start < head.size()) {
            std::size_t end = head.find("\r\n", start);
            end = end == std::string::npos ? head.size() : end + 2;
            const std::string_view current(head.data() + start, end - start);
            if (first || NameOf(current) != name) kept += current;
            first = false;
            start = end;
        }
        head = std::move(kept);
        head += line;
        head += "\r\n";
    }
}

}  // namespace kv::http
