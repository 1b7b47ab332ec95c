// Pages that declare their topics in several places, through StorePageKeywords into a real
// result cache.
#include "detect/declaredtopics.h"

#include <gtest/gtest.h>

#include "data/tables.h"
#include "detect/pagekeywords.h"
#include "detect/storepagekeywords.h"
#include "html/htmlparser.h"
#include "html/nodesearch.h"
#include "text/textcompare.h"

namespace kv::detect {
namespace {

struct Stored {
    bool row = false;
    std::string keywords;
    std::string sources;
    bool operator==(const Stored&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Stored& s) {
    return out << (s.row ? "row '" + s.keywords + "' from " + s.sources : std::string("no row"));
}

class DeclaredTopicsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        text::SetCollationLocale("en_US");
        tables.WordClientDataSet.Append();
        tables.WordClientDataSet.SetString("word", "red shoes");
        tables.WordClientDataSet.Post();
    }
    Stored Store(const std::string& page, KeywordSources sources = KeywordSources::All()) {
        auto& cache = tables.SECacheClientDataSet;
        if (!StorePageKeywords(cache, "Google", "http://a.example/", 1, page, sources)) return {};
        cache.Last();
        return {true, cache.AsString("Keywords"), cache.AsString("Sources")};
    }
    data::DataTables tables;
};

std::string Head(const std::string& inside) {
    return "<html><head><title>t</title>" + inside + "</head><body><p>x</p></body></html>";
}
std::string JsonLd(const std::string& json) {
    return "<script type=\"application/ld+json\">" + json + "</script>";
}

TEST_F(DeclaredTopicsTest, EachSourceAloneAndAllTogetherMergedAsThePageListMergesThem) {
    const std::string all = Head(
        "<meta name=keywords content='Shoes, red'>"
        "<meta name=news_keywords content='shoes, Boots'>"
        "<meta property='article:tag' content='BOOTS'><meta property='article:tag' "
        "content='laces'>" +
        JsonLd(R"({"@type":"Article","keywords":["LACES","socks; red"]})"));
    const struct {
        std::string page;
        Stored stored;
    } cases[] = {
        {Head("<meta name=keywords content='a;b'>"), {true, "a;b", "meta"}},
        {Head("<meta name=news_keywords content='x,y'>"), {true, "x, y", "news"}},
        {Head("<meta property=article:tag content=x><meta PROPERTY='Article:Tag' content='y z'>"),
         {true, "x, y z", "tags"}},
        {Head(JsonLd(R"({"@type":"BlogPosting","keywords":"x,y"})")), {true, "x, y", "data"}},
        {all, {true, "Shoes, red, Boots, laces, socks", "meta,news,tags,data"}},
        // Tags stand wherever the page puts them; so do news keywords and structured data.
        {"<head><meta property=article:tag content=a></head><body><p>x</p>"
         "<meta property=article:tag content=b>" +
             JsonLd(R"({"keywords":"c"})") + "</body>",
         {true, "a, b, c", "tags,data"}},
        {"<body><meta name=news_keywords content=n></body>", {true, "n", "news"}},
        // Only the first news keywords element counts, as with META keywords.
        {Head("<meta name=news_keywords content=one><meta name=news_keywords content=two>"),
         {true, "one", "news"}},
        // References in tags and news keywords are decoded, or their ";" would split the
        // keyword; META keywords stay as written, so the page's META spelling is read as ever.
        {Head("<meta property=article:tag content='Tom &amp; Jerry'>"
              "<meta property=article:tag content='caf&#233;'>"
              "<meta property=article:tag content='it&#8217;s, &#x27;q&#X27;, &#xD800;, "
              "&#99999999;'>"
              "<meta name=news_keywords content='&quot;x&quot;, &#39;y&#39;'>"),
         {true, "\"x\", 'y', Tom & Jerry, caf\xC3\xA9, it\xE2\x80\x99s, 'q', &#xD800, &#99999999",
          "news,tags"}},
        {Head("<meta name=keywords content='Tom &amp; Jerry'>"
              "<meta property=article:tag content='Tom &amp; Jerry'>"),
         {true, "Tom &amp; Jerry, Tom & Jerry", "meta,tags"}},
        // Declared but empty still gives a row, as an empty META keywords element does.
        {Head("<meta property=article:tag content=''>"), {true, "", "tags"}},
        {Head(JsonLd("{not json}") + JsonLd(R"({"name":"x"})")), {}},
        {Head("<meta name=description content=d>"), {}},
        {"", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(Store(c.page), c.stored) << c.page;

    KeywordSources newsAndData;
    newsAndData.Set(KeywordSource::News, true);
    newsAndData.Set(KeywordSource::Data, true);
    EXPECT_EQ(Store(all, newsAndData),
              (Stored{true, "shoes, Boots, LACES, socks, red", "news,data"}));
    EXPECT_EQ(Store(all, KeywordSources::MetaOnly()), (Stored{true, "Shoes, red", "meta"}));
    EXPECT_EQ(Store(Head("<meta name=news_keywords content=n>"), KeywordSources::MetaOnly()),
              Stored{});
    EXPECT_EQ(ParsePageKeywords(Store(all).keywords),
              (std::vector<std::string>{"Boots", "laces", "red", "Shoes", "socks"}));
}

TEST_F(DeclaredTopicsTest, OnlyWholeKeywordsAreAddedWithinTheFieldWidth) {
    const std::string meta(1490, 'm');
    const Stored stored = Store(Head("<meta name=keywords content='" + meta +
                                     "'><meta property=article:tag content=ab>"
                                     "<meta property=article:tag content=toolongtofit>"
                                     "<meta property=article:tag content=cd>"));
    EXPECT_EQ(stored.keywords, meta + ", ab");
    // A META text past the width is cut by the table as ever, and nothing is added to it.
    const std::string longMeta(1600, 'k');
    EXPECT_EQ(Store(Head("<meta name=keywords content='" + longMeta +
                         "'><meta property=article:tag content=ab>"))
                  .keywords,
              std::string(1500, 'k'));
}

TEST_F(DeclaredTopicsTest, HostileBlocksAreSkippedAndTheRestOfThePageIsRead) {
    std::string huge = R"({"keywords":"huge","x":")";
    huge.append(10u << 20, 'x');
    huge += "\"}";
    const std::string deep = std::string(100000, '[') + std::string(100000, ']');
    EXPECT_EQ(Store(Head("<meta name=keywords content=seo>" + JsonLd(huge) + JsonLd(deep) +
                         JsonLd(R"({"keywords":"fine"})"))),
              (Stored{true, "seo, fine", "meta,data"}));
}

// The designed reading of META keywords, as the program has always done it.
std::optional<std::string> DesignedMetaKeywords(std::string_view page) {
    html::THTMLParser parser;
    parser.Parse(page);
    const html::THierarchyNode* head = html::FindFirst(parser.Root(), "head");
    if (head == nullptr) return std::nullopt;
    html::TTagNodeList metas;
    html::FindAllByAttribute(head, "meta", metas, "keywords", "name");
    if (metas.Count() == 0) return std::nullopt;
    return std::string(metas.Items(0)->AttributeValue("content"));
}

TEST_F(DeclaredTopicsTest, MetaAloneStoresWhatTheDesignedReadingStoresWhateverElseThePageHolds) {
    const std::string others =
        "<meta name=news_keywords content='n1, Seo'>"
        "<meta property=article:tag content=t>" +
        JsonLd(R"({"keywords":["d","SEO"]})");
    const std::string pages[] = {
        Head("<META NAME=Keywords CONTENT='seo, web design;tools'>" + others),
        Head(others),
        "<body><meta name=keywords content=b>" + others + "</body>",
        Head("<meta name=keywords>" + others + "<meta name=keywords content=second>"),
        Head("<meta name=keywords content='a\r\nb ;, '>" + others),
        "<head><meta name=keywords content=\"&quot;x&quot;\"><p>" + others,
    };
    for (const std::string& page : pages) {
        const auto designed = DesignedMetaKeywords(page);
        const Stored stored = Store(page, KeywordSources::MetaOnly());
        EXPECT_EQ(stored.row, designed.has_value()) << page;
        if (designed) {
            EXPECT_EQ(stored.keywords, *designed) << page;
        }
    }
}

}  // namespace
}  // namespace kv::detect
