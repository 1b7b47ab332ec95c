// The demo engine's page logic in-process: request heads, text helpers, topics, result lists
// and the answers of the router.
#include <gtest/gtest.h>

#include <QJsonDocument>
#include <map>
#include <set>

#include "tools/demoengine/declarations.h"
#include "tools/demoengine/request.h"
#include "tools/demoengine/results.h"
#include "tools/demoengine/router.h"
#include "tools/demoengine/sitepages.h"
#include "tools/demoengine/textcodec.h"
#include "tools/demoengine/topic.h"
#include "tools/demoengine/transport.h"

namespace kv::demo {
namespace {

const std::string kHost = "127.0.0.1:8765";

Response Answer(const std::string& target, const std::string& method = "GET") {
    Request request;
    request.method = method;
    const std::size_t question = target.find('?');
    request.path = target.substr(0, question);
    request.query = question == std::string::npos ? "" : target.substr(question + 1);
    return Route(request, SiteOptions{kHost, 1234});
}

std::string Header(const Response& r, const std::string& name) {
    for (const auto& [n, v] : r.headers) {
        if (n == name) return v;
    }
    return {};
}

TEST(RequestHead, ReadsRequestLinesAndRefusesWhatIsNoRequest) {
    struct Case {
        std::string bytes;
        HeadStatus status;
        std::string path;
        std::string query;
    };
    const Case cases[] = {
        {"GET / HTTP/1.0\r\n\r\n", HeadStatus::Complete, "/", ""},
        {"GET /a/b?q=red+shoes&x=1 HTTP/1.1\r\nHost: h\r\n\r\n", HeadStatus::Complete, "/a/b",
         "q=red+shoes&x=1"},
        {"GET http://127.0.0.1:1/x?y#frag HTTP/1.0\n\n", HeadStatus::Complete, "/x", "y"},
        {"GET http://127.0.0.1:1 HTTP/1.0\r\n\r\n", HeadStatus::Complete, "/", ""},
        {"POST /form HTTP/1.0\r\n\r\n", HeadStatus::Complete, "/form", ""},
        {"", HeadStatus::Incomplete, "", ""},
        {"GET / HTTP/1.0\r\nHost: h\r\n", HeadStatus::Incomplete, "", ""},
        {"\r\n\r\n", HeadStatus::Bad, "", ""},
        {"HELLO\r\n\r\n", HeadStatus::Bad, "", ""},
        {"GET /\r\n\r\n", HeadStatus::Bad, "", ""},
        {"GET / HTTP/2.0\r\n\r\n", HeadStatus::Bad, "", ""},
        {"GET / HTTP/1.0 more\r\n\r\n", HeadStatus::Bad, "", ""},
        {"get / HTTP/1.0\r\n\r\n", HeadStatus::Bad, "", ""},
        {"GET relative HTTP/1.0\r\n\r\n", HeadStatus::Bad, "", ""},
        {std::string("GET /a\0b HTTP/1.0\r\n\r\n", 21), HeadStatus::Bad, "", ""},
        {"GET /\tx HTTP/1.0\r\n\r\n", HeadStatus::Bad, "", ""},
    };
    for (const Case& c : cases) {
        const HeadResult result = ParseRequestHead(c.bytes);
        EXPECT_EQ(result.status, c.status) << c.bytes;
        if (c.status == HeadStatus::Complete) {
            EXPECT_EQ(result.request.path, c.path) << c.bytes;
            EXPECT_EQ(result.request.query, c.query) << c.bytes;
        }
    }
}

TEST(RequestHead, RefusesHeadsBeyondTheLimit) {
    const std::string endless(kMaxRequestHeadBytes, 'a');
    EXPECT_EQ(ParseRequestHead(endless).status, HeadStatus::Bad);
    EXPECT_EQ(ParseRequestHead(endless.substr(1)).status, HeadStatus::Incomplete);
    const std::string longHeader = "GET / HTTP/1.0\r\nX: " + endless + "\r\n\r\n";
    EXPECT_EQ(ParseRequestHead(longHeader).status, HeadStatus::Bad);
}

// A POST announces its form data; the head says how long it is and where it starts.
TEST(DemoRequestTest, PostBodiesAreAnnouncedByContentLength) {
    const std::string head =
        "POST /modern/form/search HTTP/1.1\r\nHost: x\r\ncontent-LENGTH: 7\r\n\r\n";
    HeadResult result = ParseRequestHead(head + "q=a+b&s");
    EXPECT_EQ(result.status, HeadStatus::Complete);
    EXPECT_EQ(result.headBytes, head.size());
    EXPECT_EQ(result.request.contentLength, 7u);
    // A length that is no number or too large is answered 413 by the server.
    for (const char* bad : {"9x", "99999999"})
        EXPECT_GT(
            ParseRequestHead(std::string("POST / HTTP/1.0\r\nContent-Length: ") + bad + "\r\n\r\n")
                .request.contentLength,
            kMaxRequestBodyBytes);
    EXPECT_EQ(ParseRequestHead("GET / HTTP/1.0\r\n\r\n").request.contentLength, 0u);
}

TEST(TextCodec, KeywordsGoIntoLinksAsTheProgramEncodesThem) {
    EXPECT_EQ(EncodeQueryWord("red shoes"), "red+shoes");
    EXPECT_EQ(EncodeQueryWord("mp3 player"), "mp%33+player");
    EXPECT_EQ(EncodeQueryWord("e-mail"), "e%2Dmail");
    EXPECT_EQ(EncodeQueryWord("rock & roll"), "rock+%26+roll");
    for (const std::string word : {"red shoes", "mp3 player",
                                   "gr\xC3\xBC"
                                   "ne schuhe",
                                   "a&b=c"}) {
        EXPECT_EQ(FormDecode(EncodeQueryWord(word)), word);
    }
    EXPECT_EQ(PercentDecode("%41%2f%zz%4"), "A/%zz%4");
    EXPECT_EQ(HtmlUnescape(HtmlEscape("<a href=\"x&y\">")), "<a href=\"x&y\">");
    EXPECT_EQ(StripTags("a<b>b</b>c"), "abc");
    const QueryMap query = ParseQuery("q=red+shoes&q=second&&n=12&bad=1x&big=1234567890");
    EXPECT_EQ(query.at("q"), "red shoes");
    EXPECT_EQ(ParseCount(query, "n", 0), 12);
    EXPECT_EQ(ParseCount(query, "bad", 7), 7);
    EXPECT_EQ(ParseCount(query, "big", 7), 7);
    EXPECT_EQ(ParseCount(query, "missing", 7), 7);
}

TEST(Topic, SlugsCarryTheWordsOfAnyKeyword) {
    EXPECT_EQ(SlugOf("Red Shoes!"), "red-shoes");
    EXPECT_EQ(SlugOf("  --seo--tools "), "seo-tools");
    EXPECT_EQ(SlugOf("???"), "query");
    EXPECT_EQ(SlugOf("gr\xC3\xBCne Schuhe"), "gr%C3%BCne-schuhe");
    EXPECT_EQ(TopicOfSlug(SlugOf("gr\xC3\xBCne Schuhe")).phrase, "gr\xC3\xBCne schuhe");
    EXPECT_EQ(TopicOfSlug("red-shoes").words, (std::vector<std::string>{"red", "shoes"}));
    EXPECT_TRUE(TopicOfSlug("--").words.empty());
}

TEST(Topic, SitesShareKeywordsButNoTwoListsAreAlike) {
    const Topic topic = TopicOfSlug("red-shoes");
    std::map<std::string, int> sitesPerKeyword;
    std::set<std::vector<std::string>> lists;
    for (int site = kFirstOrdinarySite; site <= kLastSite; ++site) {
        const std::vector<std::string> keywords = SiteKeywords(topic, site);
        EXPECT_EQ(keywords, SiteKeywords(topic, site)) << "site " << site;
        EXPECT_GE(keywords.size(), 3u);
        lists.insert(keywords);
        for (const std::string& k : keywords) ++sitesPerKeyword[k];
    }
    EXPECT_GE(sitesPerKeyword["red shoes"], kOrdinarySiteCount * 3 / 4);
    EXPECT_GE(sitesPerKeyword["footwear"], 10);
    EXPECT_GE(lists.size(), static_cast<std::size_t>(kOrdinarySiteCount - 5));
    EXPECT_EQ(SiteKeywords(topic, 11), SiteKeywords(TopicOfSlug("red-shoes"), 11));
}

TEST(Results, EnginesHaveAtLeastThreePagesAndOverlap) {
    std::map<std::string, int> enginesPerAddress;
    for (Engine engine : kEngines) {
        const EngineLayout& layout = LayoutOf(engine);
        const std::vector<ResultEntry> results = ResultsFor(engine, "red shoes", kHost);
        ASSERT_EQ(static_cast<int>(results.size()), layout.resultCount);
        EXPECT_GE(layout.resultCount, 3 * layout.pageSize) << layout.name;
        EXPECT_EQ(layout.pageSize, engine == Engine::AllTheWeb ? 15 : 10);
        std::set<std::string> own;
        for (std::size_t i = 0; i < results.size(); ++i) {
            EXPECT_EQ(results[i].rank, static_cast<int>(i) + 1);
            EXPECT_TRUE(results[i].address.Full().starts_with("http://" + kHost + "/site/"));
            EXPECT_TRUE(own.insert(results[i].address.Full()).second) << "repeated in one engine";
            if (i < 30) ++enginesPerAddress[results[i].address.Full()];
        }
    }
    int shared = 0;
    for (const auto& [address, engines] : enginesPerAddress) shared += engines > 1;
    EXPECT_GE(shared, 10);
}

TEST(Results, TheFirstTenOfAllEnginesMeetEveryAwkwardSite) {
    std::set<int> seen;
    for (Engine engine : kEngines) {
        const std::vector<ResultEntry> results = ResultsFor(engine, "red shoes", kHost);
        for (int i = 0; i < 10; ++i) seen.insert(results[static_cast<std::size_t>(i)].site);
    }
    for (int site = kImageSite; site <= kNoKeywordsSite; ++site) {
        EXPECT_TRUE(seen.contains(site)) << "site " << site;
    }
}

TEST(Results, TriggerWordsShapeTheLists) {
    EXPECT_TRUE(ResultsFor(Engine::Google, "noresults", kHost).empty());
    EXPECT_EQ(ResultsFor(Engine::Google, "red twopages", kHost).size(), 20u);
    EXPECT_EQ(ResultsFor(Engine::AllTheWeb, "red twopages", kHost).size(), 30u);
    const auto repeated = ResultsFor(Engine::Msn, "repeat shoes", kHost);
    EXPECT_EQ(repeated[4].address.Full(), repeated[1].address.Full());
    const auto empty = ResultsFor(Engine::Teoma, "emptyentry", kHost);
    EXPECT_FALSE(empty[2].hasAddress);
    EXPECT_TRUE(empty[1].hasAddress && empty[3].hasAddress);
    EXPECT_TRUE(ScenarioOf("a failsecond b").failSecond);
    EXPECT_FALSE(ScenarioOf("failsecondly").failSecond);
}

TEST(Route, AnswersEveryKindOfSite) {
    EXPECT_EQ(Answer("/site/23/red-shoes.html").status, 200);
    EXPECT_EQ(Answer("/site/24/show.php?topic=red-shoes&id=24").status, 200);
    const Response image = Answer("/site/01/red-shoes.png");
    EXPECT_EQ(image.contentType, "image/png");
    EXPECT_TRUE(image.body.starts_with("\x89PNG"));
    const Response moved = Answer("/site/02/red-shoes.html");
    EXPECT_EQ(moved.status, 301);
    EXPECT_EQ(Header(moved, "Location"), "http://" + kHost + "/site/02/new/red-shoes.html");
    EXPECT_EQ(moved.contentType, kHtmlType);
    const Response found = Answer("/site/03/red-shoes.html");
    EXPECT_EQ(found.status, 302);
    EXPECT_EQ(Header(found, "Location"), "/site/03/new/red-shoes.html");
    EXPECT_EQ(Answer("/site/03/new/red-shoes.html").status, 200);
    EXPECT_EQ(Answer("/site/04/red-shoes.html").status, 404);
    EXPECT_EQ(Answer("/site/05/red-shoes.html").extraDelayMs, 1234);
    EXPECT_EQ(Answer("/site/23/red-shoes.html").extraDelayMs, 0);
    EXPECT_EQ(Answer("/site/06/red-shoes.html").body.find("<head"), std::string::npos);
    EXPECT_EQ(Answer("/site/07/red-shoes.html").body.find("<html"), std::string::npos);
    EXPECT_EQ(Answer("/site/08/red-shoes.html").body.find("keywords"), std::string::npos);
    for (const char* missing :
         {"/site/99/red-shoes.html", "/site/23/", "/site/2x/a.html", "/site/23/a/b.html",
          "/site/23/show.php", "/nowhere", "/msn/next.aspx?q=red+shoes"}) {
        EXPECT_EQ(Answer(missing).status, 404) << missing;
    }
    EXPECT_EQ(Answer("/", "DELETE").status, 501);
    EXPECT_EQ(Answer("/altavista/r").status, 400);
    EXPECT_EQ(Answer("/teoma/go?u=http://x/%0D%0ASet-Cookie:+a").status, 400);
    EXPECT_EQ(Header(Answer("/teoma/go?u=http://x/%3Cb%3Ea%3C/b%3E%26amp%3Bb"), "Location"),
              "http://x/a&b");
}

TEST(Route, SitePagesDeclareTheQuerysKeywordsInTheirStyle) {
    const Topic topic = TopicOfSlug("red-shoes");
    for (int site = kFirstOrdinarySite; site < kFirstOrdinarySite + 5; ++site) {
        const std::string page = Answer("/site/" + std::to_string(site) + "/red-shoes.html").body;
        EXPECT_NE(page.find(HtmlEscape(KeywordContent(topic, site))), std::string::npos) << site;
    }
    EXPECT_NE(Answer("/site/11/red-shoes.html").body.find("<META NAME=\"Keywords\""),
              std::string::npos);
    EXPECT_NE(KeywordContent(topic, 12).find("\r\n"), std::string::npos);
    EXPECT_NE(KeywordContent(topic, 13).find("Red Shoes"), std::string::npos);
    const std::string twoElements = Answer("/site/14/red-shoes.html").body;
    EXPECT_NE(twoElements.find("second element"), std::string::npos);
}

TEST(Route, EnginesAnswerHomeAndResultPages) {
    for (const char* home : {"/altavista/", "/alltheweb/", "/google/", "/msn/", "/teoma/",
                             "/google/search", "/google/search?q="}) {
        const Response r = Answer(home);
        EXPECT_EQ(r.status, 200) << home;
        EXPECT_NE(r.body.find("<form"), std::string::npos) << home;
    }
    EXPECT_EQ(Answer("/google/search?q=failsecond&start=10").status, 500);
    EXPECT_EQ(Answer("/google/search?q=failsecond&start=20").status, 200);
    for (const char* far : {"/teoma/web?q=a&page=999999999", "/msn/v2/next.aspx?q=a&first=0",
                            "/alltheweb/search?q=a&o=999999999"}) {
        EXPECT_EQ(Answer(far).status, 200) << far;
    }
    const std::string beyond = Answer("/google/search?q=red+shoes&start=990").body;
    EXPECT_EQ(beyond.find("<h3 class=\"r\">"), std::string::npos);
    EXPECT_EQ(beyond.find("pnnext"), std::string::npos);
    // Keywords are escaped wherever the pages show them.
    const std::string hostile = Answer("/teoma/web?q=%3Cscript%3E%22").body;
    EXPECT_EQ(hostile.find("<script>"), std::string::npos);
}

TEST(Route, OrdinarySitesDeclareTheirTopicsInTheirWays) {
    std::map<Declaration, int> seen;
    for (int site = kFirstOrdinarySite; site <= kLastSite; ++site) {
        const std::string page = Answer("/site/" + std::to_string(site) + "/red-shoes.html").body;
        const Declaration d = DeclarationOfSite(site);
        ++seen[d];
        const bool meta = page.find("<meta name=\"keywords\"") != std::string::npos ||
                          page.find("<META NAME=\"Keywords\"") != std::string::npos;
        EXPECT_EQ(meta, DeclaresMeta(d)) << site;
        EXPECT_EQ(page.find("news_keywords") != std::string::npos,
                  d == Declaration::NewsOnly || d == Declaration::AllFour)
            << site;
        EXPECT_EQ(page.find("article:tag") != std::string::npos,
                  d == Declaration::TagsOnly || d == Declaration::AllFour)
            << site;
        const std::size_t script = page.find("<script type=\"application/ld+json\">");
        EXPECT_EQ(script != std::string::npos, d == Declaration::DataOnly ||
                                                   d == Declaration::MetaAndData ||
                                                   d == Declaration::AllFour)
            << site;
        if (script == std::string::npos) continue;
        const std::size_t begin = page.find('>', script) + 1;
        const std::string json = page.substr(begin, page.find("</script>", begin) - begin);
        QJsonParseError error;
        QJsonDocument::fromJson(QByteArray::fromStdString(json), &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << json;
    }
    EXPECT_EQ(seen.size(), 6u);
    EXPECT_EQ(JsonString("a\"</\\\n&"), "\"a\\\"\\u003c/\\\\\\u000a\\u0026\"");
}

}  // namespace
}  // namespace kv::demo
