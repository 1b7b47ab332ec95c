// What is done to one result page: forms, unwrapping, own-domain addresses, next requests and
// verdicts; and the pacing of requests.
#include "detect/resultpage.h"

#include <gtest/gtest.h>

#include "detect/enginefetch.h"
#include "detect/nextform.h"
#include "detect/unwrap.h"

namespace kv::detect {
namespace {

TEST(NextFormTest, ReadsActionMethodAndHiddenFieldsInAnyQuoting) {
    const HtmlForm form = ReadForm(
        "<FORM class='next_form' action=\"/lite/?a=1&amp;b=2\" METHOD=post>"
        "<input type='submit' name='go' value='Next Page &gt;'>"
        "<input type=hidden name=q value=red+shoes>"
        "<input name=\"vqd\" type=\"HIDDEN\" value=\"4-12&amp;x=&quot;1&quot;\"/>"
        "<input type=\"hidden\" value=\"nameless\"><inputs type=hidden name=no value=1></form>");
    EXPECT_TRUE(form.hasFormTag);
    EXPECT_TRUE(form.post);
    EXPECT_EQ(form.action, "/lite/?a=1&b=2");
    using Fields = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(form.fields, (Fields{{"q", "red+shoes"}, {"vqd", "4-12&x=\"1\""}}));
    EXPECT_EQ(FormEncode(form.fields), "q=red%2Bshoes&vqd=4-12%26x%3D%221%22");
}

TEST(NextFormTest, RequestsFollowTheFormsMethodAndAction) {
    const EngineRequest current{"https://e.example/html/", "q=x", true, ""};
    HtmlForm form{true, "/html/", true, {{"q", "red shoes"}, {"s", "10"}}};
    EngineRequest next = FormRequest(form, current, "https://e.example/html/");
    EXPECT_TRUE(next.post);
    EXPECT_EQ(next.address, "https://e.example/html/");
    EXPECT_EQ(next.body, "q=red+shoes&s=10");
    EXPECT_EQ(next.referrer, "https://e.example/html/");

    form.post = false;
    form.action = "search?old=1#top";
    next = FormRequest(form, current, "http://h.example/a/b");
    EXPECT_FALSE(next.post);
    EXPECT_EQ(next.address, "http://h.example/a/search?q=red+shoes&s=10");
    EXPECT_TRUE(next.body.empty());

    // A fragment without a form tag goes to the page itself, the way the page was asked for.
    next = FormRequest(ReadForm("<input type=hidden name=p value=2>"), current, current.address);
    EXPECT_TRUE(next.post);
    EXPECT_EQ(next.address, current.address);
    EXPECT_EQ(next.body, "p=2");
}

TEST(UnwrapTest, PercentAndBase64UrlWrappersGiveTheDestination) {
    struct Case {
        std::string address, pattern;
        UnwrapDecoding decoding;
        std::string expected;
    } cases[] = {
        {"//duckduckgo.com/l/?uddg=https%3A%2F%2Fa.example%2Fx%3Fy%3D1&rut=9",
         "^(https?:)?//duckduckgo\\.com/l/\\?uddg=([^&]+)", UnwrapDecoding::Percent,
         "https://a.example/x?y=1"},
        {"https://r.search.yahoo.com/_ylt=A/RV=2/RU=https%3a%2f%2fb.example%2f/RK=2/RS=x",
         "/RU=([^/]+)/R[KS]=", UnwrapDecoding::Percent, "https://b.example/"},
        {"https://www.bing.com/ck/a?!&&p=1&u=a1aHR0cHM6Ly9jLmV4YW1wbGUvP3E9MQ&ntb=1",
         "[?&]u=a1([^&]+)", UnwrapDecoding::Base64Url, "https://c.example/?q=1"},
        {"https://direct.example/", "[?&]u=a1([^&]+)", UnwrapDecoding::Base64Url,
         "https://direct.example/"},                                               // no wrapper
        {"https://x/?u=a1%%%", "[?&]u=a1([^&]+)", UnwrapDecoding::Base64Url, ""},  // broken
        {"https://x/", "", UnwrapDecoding::Percent, "https://x/"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(UnwrapAddress(c.address, c.pattern, c.decoding), c.expected) << c.address;
    EXPECT_EQ(DecodeBase64Url("YQ==").value_or("?"), "a");
    EXPECT_FALSE(DecodeBase64Url("Y").has_value());
}

EngineDefinition ListEngine() {
    EngineDefinition e;
    e.name = "E";
    e.checkText = "<!-- results -->";
    e.itemPattern = "<li>(.*?)</li>";
    e.fieldPattern = "href=\"([^\"]*)\"";
    e.decodeCode = true;
    e.nextPattern = "<a class=next href=\"([^\"]+)\"";
    e.dropOwnHost = true;
    e.blockedPattern = "id=\"challenge-form\"";
    e.blockedStatuses = {202, 429};
    return e;
}

FetchedPage Page(const std::string& body) {
    return {"https://www.engine.example/s?q=x", body, "", 200};
}

TEST(ResultPageTest, OwnDomainAndRelativeAddressesAreDroppedEmptyOnesKept) {
    const std::string body =
        "<!-- results --><ul><li><a href=\"https://a.example/1?x=1&amp;y=2\">a</a></li>"
        "<li><a href=\"https://ads.engine.example/y.js?ad=1\">ad</a></li>"
        "<li><a href=\"/aclick?ld=1\">ad</a></li><li>no link</li>"
        "<li><a href=\"http://b.example/\">b</a></li></ul>"
        "<a class=next href=\"/s?q=x&amp;s=10\">Next</a>";
    const EngineDefinition engine = ListEngine();
    const ResultPageReading r = ReadResultPage(engine, {}, Page(body));
    EXPECT_EQ(r.verdict, Verdict::Works);
    EXPECT_EQ(r.addresses,
              (std::vector<std::string>{"https://a.example/1?x=1&y=2", "", "http://b.example/"}));
    ASSERT_TRUE(r.next);
    EXPECT_EQ(r.next->address, "https://www.engine.example/s?q=x&s=10");
    EXPECT_FALSE(r.next->post);
    EXPECT_EQ(VerdictLine("E", r), "E: works (3 results, next page found)");
}

TEST(ResultPageTest, EachVerdictFromItsPage) {
    struct Case {
        FetchedPage page;
        std::string line;
    } cases[] = {
        {{"", "", "Connection error: 429 Too Many Requests. Proxy: ...", 429},
         "E: blocked (status 429; wait, or use a proxy)"},
        {{"", "", "Connection error: 10061 Connection refused. Proxy: ...", 0},
         "E: unreachable (Connection error: 10061 Connection refused. Proxy: ...)"},
        {Page("<!-- results --><form id=\"challenge-form\">"),
         "E: blocked (block page; wait, or use a proxy)"},
        {Page("<html>redesigned<li><a href=\"https://a.example/\">a</a></li>"),
         "E: definition out of date (check text missing)"},
        {Page("<!-- results --><li><a data-url=\"https://a.example/\">a</a></li>"),
         "E: definition out of date (blocks found but no address extracted)"},
        {Page("<!-- RESULTS -->No results."),
         "E: no results (the check text is there, nothing matched)"},
        {Page("<!-- results --><li><a href=\"https://ads.engine.example/\">ad</a></li>"),
         "E: no results (the check text is there, nothing matched)"},
        {Page("<!-- results --><li><a href=\"https://a.example/\">a</a></li>"),
         "E: works (1 results, no next page)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(VerdictLine("E", ReadResultPage(ListEngine(), {}, c.page)), c.line);
}

TEST(EngineFetchTest, PacerWaitsTheRestOfTheInterval) {
    using Clock = RequestPacer::Clock;
    RequestPacer pacer(10);
    const Clock::time_point t0{};
    EXPECT_EQ(pacer.Remaining(t0), Clock::duration::zero());
    pacer.RequestSent(t0);
    EXPECT_EQ(pacer.Remaining(t0 + std::chrono::seconds(4)), std::chrono::seconds(6));
    EXPECT_EQ(pacer.Remaining(t0 + std::chrono::seconds(10)), Clock::duration::zero());
    RequestPacer unpaced(0);
    unpaced.RequestSent(t0);
    EXPECT_EQ(unpaced.Remaining(t0), Clock::duration::zero());
}

}  // namespace
}  // namespace kv::detect
