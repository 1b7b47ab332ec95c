#include "http/proxyoverridelist.h"

#include <algorithm>

#include "http/wildcardmask.h"
#include "text/textcompare.h"

namespace kv::http {

namespace {

constexpr std::string_view kLocalEntry = "<local>";

// Blanks and control characters go, ";" becomes ",", runs of "," collapse, and one trailing
// separator is dropped.
std::string Normalise(std::string_view text) {
    if (text.ends_with(';')) text.remove_suffix(1);
    std::string out;
    for (char c : text) {
        if (static_cast<unsigned char>(c) <= 32) continue;
        if (c == ';') c = ',';
        if (c == ',' && out.ends_with(',')) continue;
        out += c;
    }
    if (out.ends_with(',')) out.pop_back();
    return out;
}

// Splits at commas; a part in double quotes may hold commas ("" inside is one quote).
std::vector<std::string> SplitCommaText(std::string_view text) {
    std::vector<std::string> parts;
    std::size_t i = 0;
    while (i <= text.size()) {
        std::string part;
        if (i < text.size() && text[i] == '"') {
            for (++i; i < text.size(); ++i) {
                if (text[i] != '"') {
                    part += text[i];
                } else if (i + 1 < text.size() && text[i + 1] == '"') {
                    part += '"';
                    ++i;
                } else {
                    ++i;
                    break;
                }
            }
        }
        std::size_t comma = text.find(',', i);
        std::size_t end = comma == std::string_view::npos ? text.size() : comma;
        part.append(text.substr(i, end - i));
        if (!part.empty()) parts.push_back(std::move(part));
        i = end + 1;
    }
    return parts;
}

struct MaskEntry {
    std::string_view scheme;  // empty: any
    std::string_view host;
    std::string_view port;  // empty: any
};

// Like an address: "scheme://" in front, ":port" behind, a path ignored. Unlike an address,
// "?" stays in the host, since it is a mask character there.
MaskEntry SplitEntry(std::string_view entry) {
    MaskEntry parts;
    if (std::size_t sep = entry.find("://"); sep != std::string_view::npos) {
        parts.scheme = entry.substr(0, sep);
        entry.remove_prefix(sep + 3);
    }
    entry = entry.substr(0, entry.find('/'));
    std::size_t colon = entry.find(':');
    parts.host = entry.substr(0, colon);
    if (colon != std::string_view::npos) parts.port = entry.substr(colon + 1);
    return parts;
}

}  // namespace

void TProxyOverrideList::Load(std::string_view text) {
    source_ = std::string(text);
    entries_ = SplitCommaText(Normalise(text));
    std::stable_sort(entries_.begin(), entries_.end(), [](const auto& a, const auto& b) {
        return text::CompareAsciiNoCase(a, b) < 0;
    });
}

bool TProxyOverrideList::Matches(std::string_view host, std::string_view scheme,
                                 std::string_view port) const {
    if (host.empty() || entries_.empty()) return false;
    if (host.find('.') == std::string_view::npos &&
        std::any_of(entries_.begin(), entries_.end(),
                    [](const auto& e) { return text::SameAsciiNoCase(e, kLocalEntry); })) {
        return true;
    }
    std::string_view wantScheme = scheme.empty() ? std::string_view("http") : scheme;
    std::string_view wantPort = port.empty() ? std::string_view("80") : port;
    for (const std::string& entry : entries_) {
        MaskEntry mask = SplitEntry(entry);
        if (!mask.scheme.empty() && !MatchesMask(wantScheme, mask.scheme)) continue;
        if (!mask.port.empty() && !MatchesMask(wantPort, mask.port)) continue;
        if (MatchesMask(host, mask.host)) return true;
    }
    return false;
}

}  // namespace kv::http
