#include "text/commatext.h"

#include <algorithm>

namespace kv::text {

namespace {

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

}  // namespace

bool CommaEntryNeedsQuotes(std::string_view entry) {
    return std::any_of(entry.begin(), entry.end(),
                       [](char c) { return IsBlank(c) || c == '"' || c == ','; });
}

void AppendCommaEntry(std::string& out, std::string_view entry) {
    if (!CommaEntryNeedsQuotes(entry)) {
        out += entry;
        return;
    }
    out += '"';
    for (char c : entry) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

std::string CommaText(const std::vector<std::string>& entries) {
    std::string out;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (i) out += ',';
        AppendCommaEntry(out, entries[i]);
    }
    return out;
}

std::vector<std::string> SplitCommaText(std::string_view text) {
    std::vector<std::string> entries;
    std::size_t pos = 0;
    const auto skipBlanks = [&] {
        while (pos < text.size() && IsBlank(text[pos])) ++pos;
    };
    skipBlanks();
    while (pos < text.size()) {
        std::string entry;
        if (text[pos] == '"') {
            ++pos;
            while (pos < text.size()) {
                if (text[pos] == '"') {
                    if (pos + 1 < text.size() && text[pos + 1] == '"') {
                        entry += '"';
                        pos += 2;
                        continue;
                    }
                    ++pos;
                    break;
                }
                entry += text[pos++];
            }
        } else {
            const std::size_t start = pos;
            while (pos < text.size() && !IsBlank(text[pos]) && text[pos] != ',') ++pos;
            entry.assign(text.substr(start, pos - start));
        }
        entries.push_back(std::move(entry));
        skipBlanks();
        if (pos < text.size() && text[pos] == ',') {
            ++pos;
            skipBlanks();
        }
    }
    return entries;
}

}  // namespace kv::text
