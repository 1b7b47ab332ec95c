#include "tools/demoengine/textcodec.h"

#include "text/hexdigit.h"

namespace kv::demo {
namespace {

bool IsAsciiAlnum(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

void AppendEscape(std::string& out, unsigned char c) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    out += '%';
    out += kHex[c >> 4];
    out += kHex[c & 15];
}

}  // namespace

std::string PercentDecode(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && text::HexDigitValue(text[i + 1]) >= 0 &&
            text::HexDigitValue(text[i + 2]) >= 0) {
            out += static_cast<char>(text::HexDigitValue(text[i + 1]) * 16 +
                                     text::HexDigitValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string FormDecode(std::string_view text) {
    std::string plus(text);
    for (char& c : plus) {
        if (c == '+') c = ' ';
    }
    return PercentDecode(plus);
}

std::string PercentEncode(std::string_view text, std::string_view keep) {
    std::string out;
    for (unsigned char c : text) {
        if (IsAsciiAlnum(c) || keep.find(static_cast<char>(c)) != std::string_view::npos) {
            out += static_cast<char>(c);
        } else {
            AppendEscape(out, c);
        }
    }
    return out;
}

std::string EncodeQueryWord(std::string_view word) {
    std::string out;
    for (unsigned char c : word) {
        if (c == ' ' || c == '+') {
            out += '+';
        } else if (c == '.' || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
            out += static_cast<char>(c);
        } else {
            AppendEscape(out, c);
        }
    }
    return out;
}

std::string HtmlEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string HtmlUnescape(std::string_view text) {
    static constexpr std::pair<std::string_view, char> kNames[] = {
        {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&#38;", '&'}};
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        bool replaced = false;
        for (const auto& [name, c] : kNames) {
            if (text.substr(i, name.size()) == name) {
                out += c;
                i += name.size();
                replaced = true;
                break;
            }
        }
        if (!replaced) out += text[i++];
    }
    return out;
}

std::string TitleCase(std::string text) {
    bool start = true;
    for (char& c : text) {
        if (start && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        start = c == ' ';
    }
    return text;
}

std::string StripTags(std::string_view text) {
    std::string out;
    bool inTag = false;
    for (char c : text) {
        if (c == '<') {
            inTag = true;
        } else if (c == '>' && inTag) {
            inTag = false;
        } else if (!inTag) {
            out += c;
        }
    }
    return out;
}

QueryMap ParseQuery(std::string_view query) {
    QueryMap result;
    while (!query.empty()) {
        const std::size_t amp = query.find('&');
        const std::string_view pair = query.substr(0, amp);
        query = amp == std::string_view::npos ? std::string_view() : query.substr(amp + 1);
        if (pair.empty()) continue;
        const std::size_t eq = pair.find('=');
        const std::string name = FormDecode(pair.substr(0, eq));
        const std::string value =
            eq == std::string_view::npos ? std::string() : FormDecode(pair.substr(eq + 1));
        result.emplace(name, value);
    }
    return result;
}

int ParseCount(const QueryMap& query, const std::string& name, int fallback) {
    // Nine digits cannot overflow an int.
    constexpr std::size_t kMaxDigits = 9;
    const auto it = query.find(name);
    if (it == query.end() || it->second.empty() || it->second.size() > kMaxDigits) {
        return fallback;
    }
    int value = 0;
    for (char c : it->second) {
        if (c < '0' || c > '9') return fallback;
        value = value * 10 + (c - '0');
    }
    return value;
}

std::uint32_t StableHash(std::string_view text) {
    std::uint32_t hash = 2166136261u;
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 16777619u;
    }
    return hash;
}

std::uint64_t SeededRandom::Next() {
    state_ += 0x9E3779B97F4A7C15ull;
    std::uint64_t z = state_;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

}  // namespace kv::demo
