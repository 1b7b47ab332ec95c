#include <cstddef>

#include "parseutils/inetwrapper.h"

namespace kv::parseutils {

namespace {

bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsScheme(std::string_view text) {
    if (text.empty() || !IsAsciiLetter(text.front())) return false;
    for (char c : text) {
        const bool ok =
            IsAsciiLetter(c) || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
        if (!ok) return false;
    }
    return true;
}

// Drops the last segment of out and its "/" (all of out when it has no "/").
void PopLastSegment(std::string& out) {
    const std::size_t slash = out.rfind('/');
    out.erase(slash == std::string::npos ? 0 : slash);
}

// RFC 3986 section 5.2.3: the reference path appended to the base path's directory.
std::string MergePaths(const UriParts& base, std::string_view relativePath) {
    if (base.authority && base.path.empty()) return "/" + std::string(relativePath);
    const std::size_t slash = base.path.rfind('/');
    std::string merged(slash == std::string_view::npos ? std::string_view()
                                                       : base.path.substr(0, slash + 1));
    merged += relativePath;
    return merged;
}

}  // namespace

UriParts SplitUriReference(std::string_view text) {
    UriParts parts;
    std::string_view rest = text;
    if (const std::size_t hash = rest.find('#'); hash != std::string_view::npos) {
        parts.fragment = rest.substr(hash + 1);
        rest = rest.substr(0, hash);
    }
    if (const std::size_t question = rest.find('?'); question != std::string_view::npos) {
        parts.query = rest.substr(question + 1);
        rest = rest.substr(0, question);
    }
    if (const std::size_t colon = rest.find(':');
        colon != std::string_view::npos && IsScheme(rest.substr(0, colon))) {
        parts.scheme = rest.substr(0, colon);
        rest = rest.substr(colon + 1);
    }
    if (rest.starts_with("//")) {
        const std::size_t pathStart = rest.find('/', 2);
        parts.authority = rest.substr(
            2, pathStart == std::string_view::npos ? std::string_view::npos : pathStart - 2);
        rest = pathStart == std::string_view::npos ? std::string_view() : rest.substr(pathStart);
    }
    parts.path = rest;
    return parts;
}

std::string JoinUriParts(const UriParts& parts) {
    std::string out;
    if (parts.scheme) (out += *parts.scheme) += ':';
    if (parts.authority) (out += "//") += *parts.authority;
    out += parts.path;
    if (parts.query) (out += '?') += *parts.query;
    if (parts.fragment) (out += '#') += *parts.fragment;
    return out;
}

std::string RemoveDotSegments(std::string_view path) {
    static constexpr std::string_view kRoot = "/";
    std::string out;
    out.reserve(path.size());
    std::string_view in = path;
    while (!in.empty()) {
        if (in.starts_with("../")) {
            in.remove_prefix(3);
        } else if (in.starts_with("./")) {
            in.remove_prefix(2);
        } else if (in.starts_with("/./")) {
            in.remove_prefix(2);
        } else if (in == "/.") {
            in = kRoot;
        } else if (in.starts_with("/../")) {
            in.remove_prefix(3);
            PopLastSegment(out);
        } else if (in == "/..") {
            in = kRoot;
            PopLastSegment(out);
        } else if (in == "." || in == "..") {
            in = {};
        } else {
            const std::size_t next = in.find('/', 1);
            const std::size_t length = next == std::string_view::npos ? in.size() : next;
            out += in.substr(0, length);
            in.remove_prefix(length);
        }
    }
    return out;
}

std::optional<std::string> CombineUrlReference(std::string_view base, std::string_view relative,
                                               std::size_t capacity) {
    const UriParts baseParts = SplitUriReference(base);
    if (!baseParts.scheme) return std::nullopt;
    const UriParts ref = SplitUriReference(relative);

    // RFC 3986 section 5.2.2, strict: a reference with a scheme is taken as it stands.
    UriParts target;
    std::string path;
    if (ref.scheme) {
        target = ref;
        path = RemoveDotSegments(ref.path);
    } else {
        if (ref.authority) {
            target.authority = ref.authority;
            path = RemoveDotSegments(ref.path);
            target.query = ref.query;
        } else {
            if (ref.path.empty()) {
                path = baseParts.path;
                target.query = ref.query ? ref.query : baseParts.query;
            } else {
                path = ref.path.starts_with('/')
                           ? RemoveDotSegments(ref.path)
                           : RemoveDotSegments(MergePaths(baseParts, ref.path));
                target.query = ref.query;
            }
            target.authority = baseParts.authority;
        }
        target.scheme = baseParts.scheme;
    }
    target.fragment = ref.fragment;
    target.path = path;

    std::string combined = JoinUriParts(target);
    if (combined.size() > capacity) return std::nullopt;
    return combined;
}

}  // namespace kv::parseutils
