// Where a page declares its topics: the META keywords element, the news keywords element,
// Open Graph article tags and the keywords of its structured data. The choice of sources is a
// setting ("set.ini", section "detect", key "KeywordSources") and a command-line option, both
// written as a comma list of the tokens "meta", "news", "tags" and "data".
// Tests: tests/detect/keywordsources_test.cpp.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "data/inifile.h"

namespace kv::detect {

// In the order a page's keywords are joined.
enum class KeywordSource { Meta, News, Tags, Data };
inline constexpr int kKeywordSourceCount = 4;

inline constexpr const char* kKeywordSourcesSection = "detect";
inline constexpr const char* kKeywordSourcesKey = "KeywordSources";

class KeywordSources {
  public:
    constexpr KeywordSources() = default;
    static constexpr KeywordSources All() {
        return KeywordSources((1u << kKeywordSourceCount) - 1);
    }
    static constexpr KeywordSources MetaOnly() { return KeywordSources(Bit(KeywordSource::Meta)); }

    constexpr bool Has(KeywordSource source) const { return (bits_ & Bit(source)) != 0; }
    constexpr void Set(KeywordSource source, bool on) {
        bits_ = on ? bits_ | Bit(source) : bits_ & ~Bit(source);
    }
    constexpr bool Empty() const { return bits_ == 0; }
    friend constexpr bool operator==(KeywordSources, KeywordSources) = default;

  private:
    constexpr explicit KeywordSources(unsigned bits) : bits_(bits) {}
    static constexpr unsigned Bit(KeywordSource s) { return 1u << static_cast<unsigned>(s); }
    unsigned bits_ = 0;
};

// "meta", "news", "tags", "data".
std::string_view KeywordSourceToken(KeywordSource source);

// The chosen sources as tokens in source order, joined by ",": "meta,tags".
std::string KeywordSourcesText(KeywordSources sources);

// Reads such a list: tokens in any order and letter case, blanks around them ignored. An
// unknown token, an empty token or an empty choice gives std::nullopt.
std::optional<KeywordSources> ParseKeywordSources(std::string_view text);

// The setting; all four when it is missing or not a valid list.
KeywordSources LoadKeywordSources(const data::IniFile& ini);
void StoreKeywordSources(data::IniFile& ini, KeywordSources sources);

// The setting in the program folder's "set.ini".
KeywordSources ReadKeywordSourcesSetting(const std::string& folder);

}  // namespace kv::detect
