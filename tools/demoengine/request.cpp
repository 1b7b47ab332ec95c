#include "tools/demoengine/request.h"

#include <vector>

namespace kv::demo {
namespace {

std::vector<std::string_view> SplitBlanks(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && line[i] == ' ') ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ') ++i;
        if (i > start) words.push_back(line.substr(start, i - start));
    }
    return words;
}

bool IsToken(std::string_view word) {
    if (word.empty()) return false;
    for (char c : word) {
        if (c < 'A' || c > 'Z') return false;
    }
    return true;
}

bool HasControlBytes(std::string_view text) {
    for (unsigned char c : text) {
        if (c < 32 || c == 127) return true;
    }
    return false;
}

// "http://host:port/path" and "/path" give the path; anything else is no target.
bool TargetPath(std::string_view target, std::string_view& path) {
    if (target.starts_with("/")) {
        path = target;
        return true;
    }
    constexpr std::string_view kScheme = "http://";
    if (target.size() > kScheme.size() && target.substr(0, kScheme.size()) == kScheme) {
        const std::size_t slash = target.find('/', kScheme.size());
        path = slash == std::string_view::npos ? std::string_view("/") : target.substr(slash);
        return true;
    }
    return false;
}

bool ParseRequestLine(std::string_view line, Request& request) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (HasControlBytes(line)) return false;
    const std::vector<std::string_view> words = SplitBlanks(line);
    if (words.size() != 3 || !IsToken(words[0])) return false;
    if (words[2] != "HTTP/1.0" && words[2] != "HTTP/1.1") return false;
    std::string_view target;
    if (!TargetPath(words[1], target)) return false;
    target = target.substr(0, target.find('#'));
    const std::size_t question = target.find('?');
    request.method = std::string(words[0]);
    request.path = std::string(target.substr(0, question));
    request.query = question == std::string_view::npos ? std::string()
                                                       : std::string(target.substr(question + 1));
    return true;
}

// The Content-Length field's value; false when it is malformed or too large.
bool ReadContentLength(std::string_view head, std::size_t& length) {
    length = 0;
    std::size_t lineStart = head.find('\n');
    while (lineStart != std::string_view::npos && lineStart + 1 < head.size()) {
        const std::size_t start = lineStart + 1;
        const std::size_t end = std::min(head.find('\n', start), head.size());
        std::string_view line = head.substr(start, end - start);
        constexpr std::string_view kName = "content-length:";
        if (line.size() >= kName.size()) {
            std::string name(line.substr(0, kName.size()));
            for (char& c : name) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
            if (name == kName) {
                std::size_t value = 0;
                bool digits = false;
                for (char c : line.substr(kName.size())) {
                    if (c == ' ' || c == '\r' || c == '\t') continue;
                    if (c < '0' || c > '9') return false;
                    value = value * 10 + static_cast<std::size_t>(c - '0');
                    if (value > kMaxRequestBodyBytes) return false;
                    digits = true;
                }
                if (!digits) return false;
                length = value;
            }
        }
        lineStart = end < head.size() ? end : std::string_view::npos;
    }
    return true;
}

}  // namespace

HeadResult ParseRequestHead(std::string_view received) {
    HeadResult result;
    // The head ends at the first empty line: LF LF or CR LF CR LF.
    std::size_t end = std::string_view::npos;
    for (std::size_t i = received.find('\n'); i != std::string_view::npos;
         i = received.find('\n', i + 1)) {
        const std::size_t next = i + 1;
        if (next < received.size() && received[next] == '\n') {
            end = next;
            break;
        }
        if (next + 1 < received.size() && received[next] == '\r' && received[next + 1] == '\n') {
            end = next + 1;
            break;
        }
    }
    if (end == std::string_view::npos) {
        // A client that never ends its head gets its 400 once the limit is reached.
        result.status =
            received.size() >= kMaxRequestHeadBytes ? HeadStatus::Bad : HeadStatus::Incomplete;
        return result;
    }
    if (end >= kMaxRequestHeadBytes) {
        result.status = HeadStatus::Bad;
        return result;
    }
    const std::string_view firstLine = received.substr(0, received.find('\n'));
    result.headBytes = end + 1;
    const bool good = ParseRequestLine(firstLine, result.request) &&
                      ReadContentLength(received.substr(0, end), result.contentLength);
    result.status = good ? HeadStatus::Complete : HeadStatus::Bad;
    return result;
}

}  // namespace kv::demo
