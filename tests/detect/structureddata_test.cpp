#include "detect/structureddata.h"

#include <gtest/gtest.h>

namespace kv::detect {
namespace {

using Texts = std::vector<std::string>;

TEST(StructuredData, OnlyKeywordsPropertiesAreTakenInTheBlocksOrder) {
    const struct {
        const char* json;
        std::optional<Texts> keywords;
    } cases[] = {
        {R"({"@type":"Article","keywords":"red shoes, boots"})", Texts{"red shoes, boots"}},
        {R"({"@type":"Product","keywords":["red shoes","boots"]})", Texts{"red shoes", "boots"}},
        {R"({"@context":"https://schema.org","@graph":[{"@type":"WebPage","keywords":"w"},
            {"@type":"NewsArticle","keywords":["x","y"]}]})",
         Texts{"w", "x", "y"}},
        // An object's own keywords come before those of the objects inside it.
        {R"({"about":{"keywords":"inner"},"keywords":"own",
            "mainEntity":{"hasPart":[{"keywords":"deep"}]}})",
         Texts{"own", "inner", "deep"}},
        {R"([{"keywords":"a"},{"keywords":"b"}])", Texts{"a", "b"}},
        {R"({"keywords":[{"@type":"DefinedTerm","name":"term"},5,null,["x"],{"id":1}]})",
         Texts{"term"}},
        {R"({"keywords":"caf\u00e9, \"quoted\", a&amp;b"})", Texts{"café, \"quoted\", a&amp;b"}},
        {R"({"keywords":""})", Texts{""}},
        {R"({"keywords":7})", Texts{}},
        {R"({"@type":"Article","name":"no keywords","description":"keywords"})", std::nullopt},
        {R"({"Keywords":"wrong case"})", std::nullopt},
        {"", std::nullopt},
        {"{keywords: 'not json'}", std::nullopt},
        {R"({"keywords":"a"} trailing)", std::nullopt},
        {R"({"keywords":"a",})", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(StructuredDataKeywords(c.json), c.keywords) << c.json;
}

TEST(StructuredData, HugeAndDeepBlocksAreSkippedAndBracketsInStringsDoNotCount) {
    std::string huge = R"({"keywords":"a","filler":")";
    huge.append(10u << 20, 'x');
    huge += "\"}";
    EXPECT_EQ(StructuredDataKeywords(huge), std::nullopt);

    const auto nested = [](int levels) {
        return std::string(static_cast<std::size_t>(levels - 1), '[') + R"({"keywords":"k"})" +
               std::string(static_cast<std::size_t>(levels - 1), ']');
    };
    EXPECT_EQ(StructuredDataKeywords(nested(kMaxStructuredDataDepth)), Texts{"k"});
    EXPECT_EQ(StructuredDataKeywords(nested(kMaxStructuredDataDepth + 1)), std::nullopt);
    EXPECT_EQ(StructuredDataKeywords(std::string(100000, '[') + std::string(100000, ']')),
              std::nullopt);
    EXPECT_EQ(StructuredDataKeywords(std::string(100000, '{')), std::nullopt);
    const std::string brackets = R"({"keywords":"k","text":")" + std::string(500, '[') + R"(\""})";
    EXPECT_EQ(StructuredDataKeywords(brackets), Texts{"k"});
}

TEST(StructuredData, ScriptTypesNameJsonLd) {
    for (const char* yes : {"application/ld+json", "Application/LD+JSON", " application/ld+json ",
                            "application/ld+json; charset=utf-8"})
        EXPECT_TRUE(IsStructuredDataType(yes)) << yes;
    for (const char* no : {"", "application/json", "text/javascript", "application/ld+json5"})
        EXPECT_FALSE(IsStructuredDataType(no)) << no;
}

}  // namespace
}  // namespace kv::detect
