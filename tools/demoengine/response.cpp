#include "tools/demoengine/response.h"

#include "tools/demoengine/textcodec.h"
#include "tools/demoengine/transport.h"

namespace kv::demo {

Response HtmlPage(std::string body) {
    Response r;
    r.body = std::move(body);
    return r;
}

Response ErrorPage(int status, const std::string& reason) {
    Response r;
    r.status = status;
    r.reason = reason;
    const std::string title = std::to_string(status) + " " + HtmlEscape(reason);
    r.body = "<html><head><title>" + title + "</title></head><body><h1>" + title +
             "</h1></body></html>\n";
    return r;
}

Response Redirect(int status, const std::string& location) {
    Response r;
    r.status = status;
    r.reason = status == 301 ? "Moved Permanently" : "Found";
    r.headers.emplace_back("Location", location);
    r.body = "<html><head><title>Moved</title></head><body><a href=\"" + HtmlEscape(location) +
             "\">moved here</a></body></html>\n";
    return r;
}

std::string Serialize(const Response& response) {
    std::string out = std::string(response.chunked ? "HTTP/1.1 " : "HTTP/1.0 ") +
                      std::to_string(response.status) + " " + response.reason +
                      "\r\nServer: kelvane-demo-engine\r\n";
    if (!response.contentType.empty()) out += "Content-Type: " + response.contentType + "\r\n";
    for (const auto& [name, value] : response.headers) out += name + ": " + value + "\r\n";
    if (!response.contentEncoding.empty())
        out += "Content-Encoding: " + response.contentEncoding + "\r\n";
    if (response.chunked) {
        return out + "Transfer-Encoding: chunked\r\nConnection: close\r\n\r\n" +
               ChunkedBody(response.body);
    }
    out +=
        "Content-Length: " + std::to_string(response.body.size()) + "\r\nConnection: close\r\n\r\n";
    out += response.body;
    return out;
}

}  // namespace kv::demo
