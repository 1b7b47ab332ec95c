#include "detect/keywordsources.h"

#include <gtest/gtest.h>

#include "tests/support/tempdir.h"

namespace kv::detect {
namespace {

KeywordSources Of(std::initializer_list<KeywordSource> list) {
    KeywordSources sources;
    for (KeywordSource s : list) sources.Set(s, true);
    return sources;
}

TEST(KeywordSources, ListsReadBackInSourceOrderAndBadListsAreRefused) {
    using enum KeywordSource;
    const struct {
        const char* text;
        std::optional<KeywordSources> sources;
        const char* written;
    } cases[] = {
        {"meta,news,tags,data", KeywordSources::All(), "meta,news,tags,data"},
        {"data, Tags ,META", Of({Meta, Tags, Data}), "meta,tags,data"},
        {"news", Of({News}), "news"},
        {"meta,meta", KeywordSources::MetaOnly(), "meta"},
        {"", std::nullopt, ""},
        {"meta,", std::nullopt, ""},
        {"meta;news", std::nullopt, ""},
        {"keywords", std::nullopt, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseKeywordSources(c.text), c.sources) << c.text;
        if (c.sources) {
            EXPECT_EQ(KeywordSourcesText(*c.sources), c.written) << c.text;
        }
    }
}

TEST(KeywordSources, TheSettingDefaultsToAllFourAndKeepsWhatIsStored) {
    kv::testing::TempDir dir;
    const std::string path = dir.File("set.ini");
    kv::testing::WriteFileBytes(path, "[inet]\ntimeout=5\n[detect]\nKeywordSources=bogus\n");
    EXPECT_EQ(LoadKeywordSources(data::IniFile(path)), KeywordSources::All());
    data::IniFile ini(path);
    StoreKeywordSources(ini, Of({KeywordSource::Meta, KeywordSource::Data}));
    ini.Save();
    EXPECT_EQ(kv::testing::ReadFileBytes(path),
              "[inet]\ntimeout=5\n[detect]\nKeywordSources=meta,data\n");
    EXPECT_EQ(ReadKeywordSourcesSetting(dir.path().string()),
              Of({KeywordSource::Meta, KeywordSource::Data}));
    EXPECT_EQ(ReadKeywordSourcesSetting(dir.File("missing")), KeywordSources::All());
}

}  // namespace
}  // namespace kv::detect
