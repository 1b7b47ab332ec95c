#include "detect/keywordsources.h"

#include <array>

#include "text/textcompare.h"

namespace kv::detect {

namespace {

constexpr std::array<std::string_view, kKeywordSourceCount> kTokens{"meta", "news", "tags", "data"};

std::string_view Trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

}  // namespace

std::string_view KeywordSourceToken(KeywordSource source) {
    return kTokens[static_cast<std::size_t>(source)];
}

std::string KeywordSourcesText(KeywordSources sources) {
    std::string text;
    for (int i = 0; i < kKeywordSourceCount; ++i) {
        const auto source = static_cast<KeywordSource>(i);
        if (!sources.Has(source)) continue;
        if (!text.empty()) text += ',';
        text += KeywordSourceToken(source);
    }
    return text;
}

std::optional<KeywordSources> ParseKeywordSources(std::string_view text) {
    KeywordSources sources;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        const std::string_view token = Trimmed(text.substr(start, comma - start));
        bool known = false;
        for (int i = 0; i < kKeywordSourceCount && !known; ++i) {
            known = text::SameAsciiNoCase(token, kTokens[static_cast<std::size_t>(i)]);
            if (known) sources.Set(static_cast<KeywordSource>(i), true);
        }
        if (!known) return std::nullopt;
        start = comma + 1;
    }
    if (sources.Empty()) return std::nullopt;
    return sources;
}

KeywordSources LoadKeywordSources(const data::IniFile& ini) {
    const auto value = ini.Find(kKeywordSourcesSection, kKeywordSourcesKey);
    if (!value) return KeywordSources::All();
    return ParseKeywordSources(*value).value_or(KeywordSources::All());
}

void StoreKeywordSources(data::IniFile& ini, KeywordSources sources) {
    ini.WriteString(kKeywordSourcesSection, kKeywordSourcesKey, KeywordSourcesText(sources));
}

}  // namespace kv::detect
