// The shipped live definitions (build/bin/SE.cds from resources/SE-live.sql) against result
// pages written in the markup each engine used in 2026 (tests/detect/pages/): exactly the
// organic destinations in order, the right next request, and block and empty pages judged.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "data/enginefields.h"
#include "data/tablefile.h"
#include "data/tables.h"
#include "detect/enginedefinition.h"
#include "detect/resultpage.h"

namespace kv::detect {
namespace {

EngineDefinition Shipped(const std::string& name) {
    data::Table se("SE", data::EngineTableFields());
    data::LoadTableFile(se, std::string(KELVANE_TEST_BIN_DIR) + "/SE.cds");
    if (!se.Locate(data::se_fields::SEName, name)) ADD_FAILURE() << "no row " << name;
    return ReadEngineDefinition(se);
}

std::string PageFile(const std::string& file) {
    std::ifstream in(std::string(KELVANE_TEST_SOURCE_DIR) + "/tests/detect/pages/" + file);
    std::ostringstream text;
    text << in.rdbuf();
    EXPECT_FALSE(text.str().empty()) << file;
    return text.str();
}

struct LiveCase {
    std::string engine, file;
    std::vector<std::string> addresses;
    std::string next;  // "POST address body" or "GET address"
};

std::string Describe(const std::optional<EngineRequest>& r) {
    if (!r) return "none";
    return r->post ? "POST " + r->address + " " + r->body : "GET " + r->address;
}

TEST(LiveDefinitionsTest, OrganicAddressesAndNextRequests) {
    const LiveCase cases[] = {
        {"DuckDuckGo",
         "ddg-html.html",
         {"https://www.redshoes.example/women/?size=38&colour=red",
          "https://en.wikipedia.example/wiki/Red_shoes?a=1&b=2",
          "http://blog.example/the-red-shoes"},
         "POST https://html.duckduckgo.com/html/ q=red+shoes&s=10&nextParams=&v=l&o=json&dc=10&"
         "api=d.js&vqd=4-211744236517469532371563806493434216541&kl=wt-wt"},
        {"DuckDuckGo Lite",
         "ddg-lite.html",
         {"https://www.redshoes.example/", "https://shoes.example/red?p=2",
          "https://fashion.example/a?x=1&y=2"},
         "POST https://lite.duckduckgo.com/lite/ q=red+shoes&s=10&nextParams=&v=l&o=json&dc=11&"
         "api=d.js&vqd=4-87431992165321099844560127&kl=wt-wt"},
        {"Mojeek",
         "mojeek.html",
         {"https://www.redshoes.example/", "https://shoes.example/red?a=1&b=2",
          "http://history.example/red-shoes"},
         "GET https://www.mojeek.com/search?q=red+shoes&safe=0&s=11"},
        {"Brave Search",
         "brave.html",
         {"https://www.redshoes.example/?ref=brave&x=1",
          "https://en.wikipedia.example/wiki/Red_shoes"},
         "GET https://search.brave.com/search?q=red+shoes&offset=1&spellcheck=0"},
        {"SearXNG",
         "searxng.html",
         {"https://www.redshoes.example/?a=1&b=2", "https://shoes.example/red"},
         "GET http://127.0.0.1:8888/search?q=red+shoes&category_general=1&pageno=2&language=all&"
         "time_range=&safesearch=0&theme=simple"},
    };
    for (const LiveCase& c : cases) {
        EngineDefinition engine = Shipped(c.engine);
        if (c.engine == "SearXNG")  // the user's address
            engine.startUrl = "http://127.0.0.1:8888/search?q=@@@&categories=general";
        const EngineRequest first = FirstRequest(engine, "red shoes");
        const FetchedPage page{first.address, PageFile(c.file), "", 200};
        const ResultPageReading r = ReadResultPage(engine, first, page);
        EXPECT_EQ(r.verdict, Verdict::Works) << c.engine << ": " << r.reason;
        EXPECT_EQ(r.addresses, c.addresses) << c.engine;
        EXPECT_EQ(Describe(r.next), c.next) << c.engine;
    }
}

TEST(LiveDefinitionsTest, FirstRequestsAndBlockAndEmptyPages) {
    const EngineRequest ddg = FirstRequest(Shipped("DuckDuckGo"), "red shoes");
    EXPECT_EQ(Describe(ddg), "POST https://html.duckduckgo.com/html/ q=red+shoes&b=&kl=wt-wt");
    EXPECT_EQ(Describe(FirstRequest(Shipped("Mojeek"), "red shoes")),
              "GET https://www.mojeek.com/search?q=red+shoes&safe=0");
    EXPECT_TRUE(Shipped("SearXNG").startUrl.empty());  // unticked until the user sets it

    struct Judged {
        std::string engine, file;
        int status;
        Verdict verdict;
    } cases[] = {
        {"DuckDuckGo", "ddg-challenge.html", 200, Verdict::Blocked},
        {"DuckDuckGo Lite", "ddg-challenge.html", 200, Verdict::Blocked},
        {"DuckDuckGo", "", 202, Verdict::Blocked},
        {"DuckDuckGo", "ddg-empty.html", 200, Verdict::NoResults},
        {"DuckDuckGo Lite", "ddg-empty.html", 200, Verdict::NoResults},
        {"Mojeek", "mojeek-captcha.html", 200, Verdict::Blocked},
        {"Mojeek", "", 403, Verdict::Blocked},
        {"Brave Search", "", 429, Verdict::Blocked},
        {"Brave Search", "ddg-html.html", 200, Verdict::OutOfDate},  // another engine's page
        {"Mojeek", "", 500, Verdict::Unreachable},
    };
    for (const Judged& c : cases) {
        FetchedPage page{"https://x.example/", c.file.empty() ? "" : PageFile(c.file), "", 200};
        if (c.status != 200) {
            page.failure = "Connection error: " + std::to_string(c.status) + " X. ";
            page.status = c.status;
        }
        EXPECT_EQ(ReadResultPage(Shipped(c.engine), {}, page).verdict, c.verdict)
            << c.engine << " " << c.file << " " << c.status;
    }
}

}  // namespace
}  // namespace kv::detect
