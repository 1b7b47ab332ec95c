// libkelvaneparse.so loaded as other programs load it: every export resolved by name and called.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "tests/capi/capi_library.h"

namespace kv::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::StartsWith;

TEST_F(CapiTest, EveryNameResolves) {
    const std::vector<const char*> names = {
        // template extraction
        "PrepareUrlOrBody", "GetRegExprList", "GetRegExprMatchNum", "GetRegExpText",
        "GetTextsForRegExpr", "GetTextBlockForRegExpr", "GetResultCount", "GetResultForPage",
        "GetUrlNext", "PrepareURL",
        // URLs and domains
        "RemoveHttpSlash", "GetSiteDomain", "GetSiteFirstDomain", "SitesInOneDomain",
        "CheckSiteInList", "CheckDomainInList", "GetSiteUrlAfterDomainLower",
        "GetSiteUrlAfterDomain", "EncodeWord", "GetBaseURL", "MyCombineURL", "MyCanonicalizeUrl",
        "MyDecodeUrl",
        // HTML text
        "RemoveHtmlFmt", "MyHtmlDecode", "GetStrByIndex", "InvertString",
        // memory, lists, errors
        "KvFree", "KvStringListCreate", "KvStringListFree", "KvStringListCount", "KvStringListGet",
        "KvStringListAdd", "KvStringListClear", "KvLastError"};
    EXPECT_EQ(names.size(), 27u + 8u);
    for (const char* name : names) EXPECT_NE(Symbol(name), nullptr) << name;
    // The C++ functions behind them stay inside.
    EXPECT_EQ(
        Symbol(
            "_ZN2kv10parseutils12InvertStringB5cxx11ESt17basic_string_viewIcSt11char_traitsIcEE"),
        nullptr);
}

TEST_F(CapiTest, TemplateExtractionByName) {
    EXPECT_EQ(Take(KV_FN(PrepareUrlOrBody)("red shoes", "q=@@@&x=@@@")), "q=red+shoes&x=red+shoes");

    List parts = NewList({"left over"});
    KV_FN(GetRegExprList)("a@@@@@@b", parts.get());
    EXPECT_THAT(Entries(parts.get()), ElementsAre("a", "", "b"));

    EXPECT_EQ(KV_FN(GetRegExprMatchNum)("a(?#x)b(?#2)"), 2);
    EXPECT_EQ(KV_FN(GetRegExprMatchNum)("a"), -1);

    List refine = NewList({"ignored", "href=\"([^\"]+)\""});
    EXPECT_EQ(Take(KV_FN(GetRegExpText)("<a href=\"/x\">", refine.get())), "/x");

    List matches = NewList({"old"});
    KV_FN(GetTextsForRegExpr)("nomatch(\\d)\nb(\\d)\nc(\\d)", "b1 c3 b2", matches.get(), 1);
    EXPECT_THAT(Entries(matches.get()), ElementsAre("old", "1", "2"));

    EXPECT_EQ(Take(KV_FN(GetTextBlockForRegExpr)("", "whole")), "whole");
    EXPECT_EQ(Take(KV_FN(GetTextBlockForRegExpr)("<ol>(.*)</ol>", "none")), "");
    EXPECT_EQ(KV_FN(GetResultCount)("of about 1,230,000", "about ([\\d,]+)"), 1230000);

    const char* page =
        "<ol><li><a href=\"http://a.example/\">A</a></li><li>no URL</li>"
        "<li><a href=\" http://c.example/ \">C</a></li></ol><li>outside</li>";
    List items = NewList(), items2 = NewList(), fields = NewList(), fields2 = NewList();
    KV_FN(GetResultForPage)
    (page, "<ol>(.*)</ol>", "", "<li>(.*?)</li>", "", "href=\"([^\"]*)\"", "", items.get(),
     items2.get(), fields.get(), fields2.get());
    EXPECT_EQ(KV_FN(KvStringListCount)(items.get()), 3);
    EXPECT_THAT(Entries(fields.get()), ElementsAre("http://a.example/", "", "http://c.example/"));
    EXPECT_THAT(Entries(items2.get()), IsEmpty());

    const char* current = "http://e.example/s/p1";
    EXPECT_EQ(Take(KV_FN(GetUrlNext)("href='([^']+)'", 2, "", current, "href='p=2&amp;s=10'")),
              "p=2&s=10");
    EXPECT_EQ(Take(KV_FN(GetUrlNext)("href='([^']+)'", 0, "", current, "href='p2'")),
              "http://e.example/s/p2");
    EXPECT_EQ(Take(KV_FN(GetUrlNext)("href='([^']+)'", 3, "", current, "href='p2'")), "");
    EXPECT_EQ(Take(KV_FN(PrepareURL)("http://e.example/a b?x=1&amp;y=2")),
              "http://e.example/a%20b?x=1&y=2");
}

TEST_F(CapiTest, UrlAndDomainFunctionsByName) {
    EXPECT_EQ(Take(KV_FN(RemoveHttpSlash)("http://example.com/dir/")), "example.com/dir");
    EXPECT_EQ(Take(KV_FN(GetSiteDomain)("HTTP://WWW.Example.COM/Index.html")), "example.com");
    EXPECT_EQ(Take(KV_FN(GetSiteFirstDomain)("http://news.a.b.co.uk/")), "co.uk");
    EXPECT_EQ(KV_FN(SitesInOneDomain)("http://a.example.com/", "http://b.example.com/"), 1);
    EXPECT_EQ(KV_FN(SitesInOneDomain)("http://example.com/", "http://example.org/"), 0);

    List sites = NewList({"http://other.example/", "http://www.example.com/x"});
    EXPECT_EQ(KV_FN(CheckSiteInList)("example.com/page", sites.get()), 1);
    EXPECT_EQ(KV_FN(CheckSiteInList)("shop.example.com", sites.get()), 0);
    EXPECT_EQ(KV_FN(CheckDomainInList)("shop.example.com", sites.get()), 1);

    const char* url = "http://www.Example.com/Path/Page.HTML";
    EXPECT_EQ(Take(KV_FN(GetSiteUrlAfterDomain)(url)), "/Path/Page.HTML");
    EXPECT_EQ(Take(KV_FN(GetSiteUrlAfterDomainLower)(url)), "/path/page.html");
    EXPECT_EQ(Take(KV_FN(EncodeWord)("rock & roll")), "rock+%26+roll");
    EXPECT_EQ(Take(KV_FN(GetBaseURL)("<html><head><base href=\"http://b.example/\"></head>")),
              "http://b.example/");
    EXPECT_EQ(Take(KV_FN(MyCombineURL)("example.com/a/", "b.html")), "http://example.com/a/b.html");
    EXPECT_EQ(Take(KV_FN(MyCanonicalizeUrl)("http://a.example/x/../y z")),
              "http://a.example/y%20z");
    EXPECT_EQ(Take(KV_FN(MyDecodeUrl)("a%20b%2")), "a b%2");
}

TEST_F(CapiTest, HtmlTextFunctionsByName) {
    EXPECT_EQ(Take(KV_FN(RemoveHtmlFmt)("<p>Hello,\n   <b>world</b>&nbsp;&nbsp;!</p>", 1)),
              "Hello, world  !");
    EXPECT_EQ(Take(KV_FN(RemoveHtmlFmt)("<p>a\nb</p>", 0)), "a\nb");
    EXPECT_EQ(Take(KV_FN(MyHtmlDecode)("a &LT; b &#65;")), "a < b A");
    EXPECT_EQ(Take(KV_FN(GetStrByIndex)("a\r\nb", 1)), "b");
    EXPECT_EQ(Take(KV_FN(GetStrByIndex)("a\r\nb", -1)), "");
    EXPECT_EQ(Take(KV_FN(InvertString)("abc\xC3\xB1")),
              "\xC3\xB1"
              "cba");  // code points
}

TEST_F(CapiTest, StringLists) {
    List list = NewList({"a", "", "c"});
    EXPECT_EQ(KV_FN(KvStringListCount)(list.get()), 3);
    EXPECT_STREQ(KV_FN(KvStringListGet)(list.get(), 1), "");
    EXPECT_EQ(KV_FN(KvStringListGet)(list.get(), 3), nullptr);
    EXPECT_EQ(KV_FN(KvStringListGet)(list.get(), -1), nullptr);
    KV_FN(KvStringListAdd)(list.get(), nullptr);  // the empty text
    EXPECT_THAT(Entries(list.get()), ElementsAre("a", "", "c", ""));
    KV_FN(KvStringListClear)(list.get());
    EXPECT_EQ(KV_FN(KvStringListCount)(list.get()), 0);
    EXPECT_EQ(KV_FN(KvStringListCount)(nullptr), 0);
    EXPECT_EQ(KV_FN(KvStringListGet)(nullptr, 0), nullptr);
}

TEST_F(CapiTest, CompileErrorsSetTheLastErrorAndTheNextCallClearsIt) {
    EXPECT_EQ(KV_FN(GetTextBlockForRegExpr)("b(\\d", "b1"), nullptr);
    EXPECT_EQ(LastError(), "TRegExpr(comp): Unmatched () (pos 4)");
    // Lists and KvFree leave the error alone, so it can be read after looking at the lists.
    KV_FN(KvFree)(nullptr);
    EXPECT_EQ(KV_FN(KvStringListCount)(nullptr), 0);
    EXPECT_EQ(LastError(), "TRegExpr(comp): Unmatched () (pos 4)");

    EXPECT_EQ(Take(KV_FN(InvertString)("ab")), "ba");
    EXPECT_EQ(KV_FN(KvLastError)(), nullptr);

    EXPECT_EQ(KV_FN(GetResultCount)("1", "@@@x"), 0);
    EXPECT_EQ(LastError(), "TRegExpr(comp): Null Argument (pos 0)");
    EXPECT_EQ(KV_FN(GetRegExprMatchNum)("(?#3)"), 3);
    EXPECT_EQ(KV_FN(KvLastError)(), nullptr);
}

TEST_F(CapiTest, ListsFilledBeforeAFailureKeepTheirEntries) {
    List matches = NewList();
    KV_FN(GetTextsForRegExpr)("a(\\d)\nx(?:y)", "a1 a2", matches.get(), 0);
    EXPECT_THAT(LastError(), StartsWith("TRegExpr(comp): "));
    EXPECT_THAT(Entries(matches.get()), ElementsAre("1", "2"));

    // A search over the engine's budget fails the same way.
    const std::string runOfA = "7 " + std::string(40, 'a');
    KV_FN(GetTextsForRegExpr)("(\\d)\n(a*)*[bc]", runOfA.c_str(), matches.get(), 0);
    EXPECT_THAT(LastError(), StartsWith("TRegExpr(exec): Search exceeded its step budget"));
    EXPECT_THAT(Entries(matches.get()), ElementsAre("1", "2", "7"));
}

TEST_F(CapiTest, NullArguments) {
    EXPECT_EQ(Take(KV_FN(EncodeWord)(nullptr)), "");  // a NULL text is the empty text
    EXPECT_EQ(Take(KV_FN(GetTextBlockForRegExpr)(nullptr, "all")), "all");
    KV_FN(GetTextsForRegExpr)("a", "a", nullptr, 0);
    EXPECT_EQ(LastError(), "Matches: the list is NULL");
    EXPECT_EQ(KV_FN(CheckSiteInList)("a.example", nullptr), 0);
    EXPECT_EQ(LastError(), "List: the list is NULL");
    List items = NewList();
    KV_FN(GetResultForPage)("", "", "", "", "", "", "", items.get(), items.get(), nullptr, nullptr);
    EXPECT_EQ(LastError(), "Fields: the list is NULL");
}

TEST_F(CapiTest, OneListAsTextSourceAndTarget) {
    // The text argument comes from the list that the call fills; it must stay intact.
    List matches = NewList({"b1 b2 b3"});
    KV_FN(GetTextsForRegExpr)
    ("b(\\d)", KV_FN(KvStringListGet)(matches.get(), 0), matches.get(), 1);
    EXPECT_THAT(Entries(matches.get()), ElementsAre("b1 b2 b3", "1", "2", "3"));
}

TEST_F(CapiTest, LastErrorBelongsToTheCallingThread) {
    EXPECT_EQ(KV_FN(GetRegExpText)("t", nullptr), nullptr);
    const std::string mine = LastError();
    EXPECT_EQ(mine, "Parts: the list is NULL");

    std::string otherBefore, otherAfter;
    std::thread other([&] {
        otherBefore = LastError();
        KV_FN(GetResultCount)("1", "(");
        otherAfter = LastError();
    });
    other.join();
    EXPECT_EQ(otherBefore, "<NULL>");
    EXPECT_THAT(otherAfter, StartsWith("TRegExpr(comp): Unmatched ()"));
    EXPECT_EQ(LastError(), mine);
}

}  // namespace
}  // namespace kv::testing
