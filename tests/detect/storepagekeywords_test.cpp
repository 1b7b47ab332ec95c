#include "detect/storepagekeywords.h"

#include <gtest/gtest.h>

#include "data/tables.h"
#include "detect/pagekeywords.h"
#include "text/textcompare.h"

namespace kv::detect {
namespace {

// The designed cases hold nothing but META keywords, so every source choice that includes
// them must store exactly what META keywords alone store.
class StorePageKeywordsTest : public ::testing::TestWithParam<KeywordSources> {
  protected:
    void SetUp() override {
        text::SetCollationLocale("en_US");
        tables.WordClientDataSet.Append();
        tables.WordClientDataSet.SetString("word", "red shoes");
        tables.WordClientDataSet.Post();
    }
    bool Store(const std::string& page, int rank = 1) {
        return StorePageKeywords(tables.SECacheClientDataSet, "Google", "http://a.example/", rank,
                                 page, GetParam());
    }
    std::string StoredKeywords() {
        auto& cache = tables.SECacheClientDataSet;
        cache.Last();
        return cache.AsString("Keywords");
    }
    data::DataTables tables;
};

TEST_P(StorePageKeywordsTest, CapitalisedHeadAndMetaAreFoundAndStoredUnchanged) {
    ASSERT_TRUE(
        Store("<HTML><HEAD><TITLE>t</TITLE><META NAME='Keywords' CONTENT='seo, web design;tools'>"
              "</HEAD><BODY>x</BODY></HTML>",
              7));
    auto& cache = tables.SECacheClientDataSet;
    ASSERT_EQ(cache.RecordCount(), 1);
    cache.First();
    EXPECT_EQ(cache.AsString("word"), "red shoes");
    EXPECT_EQ(cache.AsString("SENAME"), "Google");
    EXPECT_EQ(cache.AsInteger("Rank"), 7);
    EXPECT_EQ(cache.AsString("url"), "http://a.example/");
    EXPECT_EQ(cache.AsString("Keywords"), "seo, web design;tools");
    EXPECT_EQ(cache.AsString("Sources"), "meta");
    EXPECT_EQ(ParsePageKeywords(cache.AsString("Keywords")),
              (std::vector<std::string>{"seo", "tools", "web design"}));
}

TEST_P(StorePageKeywordsTest, OnlyAnExactKeywordsNameCounts) {
    EXPECT_FALSE(Store("<head><meta name='keywords ' content='a'></head>"));
    EXPECT_FALSE(Store("<head><meta name='keyword' content='a'></head>"));
    EXPECT_FALSE(Store("<head><meta http-equiv='keywords' content='a'></head>"));
    EXPECT_TRUE(Store("<head><meta name=KEYWORDS content=b></head>"));
    EXPECT_EQ(StoredKeywords(), "b");
}

TEST_P(StorePageKeywordsTest, FirstMetaOfTheFirstHeadOnly) {
    ASSERT_TRUE(Store(
        "<head><meta name=keywords content='first'><meta name=keywords content='second'></head>"));
    EXPECT_EQ(StoredKeywords(), "first");
    EXPECT_FALSE(
        Store("<html><head><title>x</title></head><body><meta name=keywords "
              "content='body'></body></html>"));
    EXPECT_FALSE(Store("<html><body><meta name=keywords content='no head'></body></html>"));
    EXPECT_FALSE(Store(""));
    EXPECT_EQ(tables.SECacheClientDataSet.RecordCount(), 1);
}

TEST_P(StorePageKeywordsTest, MissingOrEmptyContentStillGivesARow) {
    EXPECT_TRUE(Store("<head><meta name=keywords></head>"));
    EXPECT_EQ(StoredKeywords(), "");
    EXPECT_TRUE(Store("<head><meta name=keywords content=''></head>"));
    EXPECT_TRUE(Store("<head><meta name=keywords content=', ;  ,'></head>"));
    EXPECT_TRUE(ParsePageKeywords(StoredKeywords()).empty());
}

TEST_P(StorePageKeywordsTest, ContentIsTakenAsTheParserDeliversIt) {
    ASSERT_TRUE(
        Store("<head><meta name=keywords content=\"&quot;seo&quot;, caf&eacute;\"></head>"));
    EXPECT_EQ(StoredKeywords(), "&quot;seo&quot;, caf&eacute;");
}

TEST_P(StorePageKeywordsTest, LongValuesAreCutAtTheFieldWidths) {
    const std::string keywords(2000, 'k');
    const std::string address = "http://a.example/" + std::string(300, 'p');
    ASSERT_TRUE(StorePageKeywords(tables.SECacheClientDataSet, "Google", address, 1,
                                  "<head><meta name=keywords content='" + keywords + "'></head>",
                                  GetParam()));
    auto& cache = tables.SECacheClientDataSet;
    cache.Last();
    EXPECT_EQ(cache.AsString("Keywords"), std::string(1500, 'k'));
    EXPECT_EQ(cache.AsString("url").size(), 255u);
}

INSTANTIATE_TEST_SUITE_P(Sources, StorePageKeywordsTest,
                         ::testing::Values(KeywordSources::MetaOnly(), KeywordSources::All()),
                         [](const auto& info) {
                             return info.param == KeywordSources::MetaOnly() ? "MetaOnly" : "All";
                         });

}  // namespace
}  // namespace kv::detect
