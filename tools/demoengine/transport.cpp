#include "tools/demoengine/transport.h"

#include <charconv>
#include <cstdio>

#include "tools/demoengine/compress.h"

namespace kv::demo {
namespace {

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

}  // namespace

void ReadTransportFields(std::string_view head, Request& request) {
    const std::size_t firstEnd = head.find('\n');
    const std::string_view first = Trim(head.substr(0, firstEnd));
    request.http11 = first.ends_with("HTTP/1.1");
    for (std::size_t at = firstEnd == std::string_view::npos ? head.size() : firstEnd + 1;
         at < head.size();) {
        std::size_t end = head.find('\n', at);
        if (end == std::string_view::npos) end = head.size();
        const std::string_view line = head.substr(at, end - at);
        at = end + 1;
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) continue;
        const std::string name = Lower(Trim(line.substr(0, colon)));
        const std::string_view value = Trim(line.substr(colon + 1));
        if (name == "accept-encoding") {
            request.acceptEncoding = Lower(value);
        } else if (name == "content-length") {
            std::size_t length = 0;
            const auto [end2, error] =
                std::from_chars(value.data(), value.data() + value.size(), length);
            // An unreadable length is as good as a huge one: refused.
            request.contentLength = error == std::errc{} && end2 == value.data() + value.size()
                                        ? length
                                        : kMaxRequestBodyBytes + 1;
        }
    }
}

Response ApplyTransport(Response response, const Request& request) {
    if (response.status != 200 || response.body.empty()) return response;
    // The path picks the coding, so every kind turns up in a run.
    std::size_t pick = 0;
    for (char c : request.path + request.query) pick = pick * 31 + static_cast<unsigned char>(c);
    const bool gzip = request.acceptEncoding.find("gzip") != std::string::npos;
    const bool deflate = request.acceptEncoding.find("deflate") != std::string::npos;
    switch (pick % 4) {
        case 1:
            if (gzip) {
                response.body = Compress(response.body, 15 + 16);
                response.contentEncoding = "gzip";
            }
            break;
        case 2:
            if (deflate) {
                response.body = Compress(response.body, pick % 8 == 2 ? 15 : -15);
                response.contentEncoding = "deflate";
            }
            break;
        case 3:
            if (gzip) {
                response.body = Compress(response.body, 15 + 16);
                response.contentEncoding = "gzip";
            }
            break;
        default:
            break;
    }
    response.chunked = request.http11 && pick % 2 == 1;
    return response;
}

std::string ChunkedBody(const std::string& body) {
    std::string out;
    std::size_t piece = 7;
    for (std::size_t at = 0; at < body.size(); at += piece, piece = piece * 3 % 1000 + 1) {
        const std::string part = body.substr(at, piece);
        char size[32];
        std::snprintf(size, sizeof size, at % 2 == 0 ? "%zx" : "%zX;n=1", part.size());
        out += std::string(size) + "\r\n" + part + "\r\n";
    }
    return out + "0\r\nX-Demo-Trailer: 1\r\n\r\n";
}

}  // namespace kv::demo
