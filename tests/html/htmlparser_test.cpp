#include "html/htmlparser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/html/treedump.h"

namespace kv::html {
namespace {

using testing::DumpChildren;

struct ParseResult {
    std::string tree;
    std::vector<std::string> warnings;
};

ParseResult ParseAndDump(const std::string& page) {
    THTMLParser parser;
    ParseResult result;
    parser.OnSyntaxWarning = [&](TCustomMLParser&, const std::string& text) {
        result.warnings.push_back(text);
    };
    parser.Parse(page);
    result.tree = DumpChildren(*parser.Root());
    return result;
}

std::string Tree(const std::string& page) {
    return ParseAndDump(page).tree;
}

struct TreeCase {
    const char* page;
    const char* tree;
};

void ExpectTrees(const std::vector<TreeCase>& cases) {
    for (const TreeCase& c : cases) EXPECT_EQ(Tree(c.page), c.tree) << "page: " << c.page;
}

TEST(HtmlParserTest, ClosesElementsImplicitlyByTheAutoCloseAndBlockLists) {
    ExpectTrees({
        {"<ul><li>a<li>b</ul>", R"(ul(li("a") li("b")))"},
        {"<p>a<div>b</div>", R"(p("a") div("b"))"},
        {"<p>a<ul><li>b</ul>", R"(p("a" ul(li("b"))))"},
        // "h6ul" runs together in the block list: neither h6 nor ul closes a p...
        {"<p>a<h6>b", R"(p("a" h6("b")))"},
        {"<p>a<h5>b", R"(p("a") h5("b"))"},
        // ...but an element actually named h6ul does.
        {"<p>a<h6ul>b", R"(p("a") h6ul("b"))"},
        {"<P>a<DIV>b", R"(P("a") DIV("b"))"},
        // Only a same-name top is closed: the second tr finds a td on top and nests.
        {"<tr><td>1<td>2<tr><td>3", R"(tr(td("1") td("2" tr(td("3")))))"},
        // Only the element on top is closed, and only one.
        {"<li><b>x<li>y", R"(li(b("x" li("y"))))"},
        {"<p><p>x", R"(p p("x"))"},
        {"<div>x<div>y", R"(div("x" div("y")))"},
    });
}

TEST(HtmlParserTest, VoidAndSelfClosedElementsTakeNoChildren) {
    ExpectTrees({
        {"<div><br>x</div>", R"(div(br/ "x"))"},
        {"<div><foo/>x</div>", R"(div(foo/ "x"))"},
        {"<a href=/x/>t", R"(a[href=/x]/ "t")"},
        {"<img src=a.png><hr><input>", "img[src=a.png]/ hr/ input/"},
        {"<BR>", "BR/"},
    });
}

TEST(HtmlParserTest, EndTagsCloseUpToTheirElement) {
    ExpectTrees({
        {"<div><b><i>x</div>y", R"(div(b(i("x"))) "y")"},
        {"<b>x</B>y", R"(b("x") "y")"},
        // Taken whole with its blank: '</p >' finds no open "p ".
        {"<p>x</p >y", R"(p("x" "y"))"},
        {"</b>x", R"("x")"},
        // The last of several open elements is always closed.
        {"<div>a<span>b</div>c", R"(div("a" span("b")) "c")"},
    });
    EXPECT_EQ(
        ParseAndDump("a</b>").warnings,
        std::vector<std::string>{"End tag found without matching start tag: </b> [Row:1,Col:5]"});
    EXPECT_EQ(
        ParseAndDump("<p>x</p >").warnings,
        std::vector<std::string>{"End tag found without matching start tag: </p > [Row:1,Col:9]"});
}

TEST(HtmlParserTest, EndTagOfAnAutoClosedNameStopsAfterItsOwnPop) {
    // The second </li> finds li open below b, but li was the last name popped: a warning, and
    // b stays open.
    const ParseResult result = ParseAndDump("<li><b><li>x</li></li>y");
    EXPECT_EQ(result.tree, R"(li(b(li("x") "y")))");
    EXPECT_EQ(
        result.warnings,
        std::vector<std::string>{"End tag found without matching start tag: </li> [Row:1,Col:22]"});
}

TEST(HtmlParserTest, CommentsOfBothStyles) {
    ExpectTrees({
        {"<!-- x -->", "Comment{!|x}"},
        {"<!---->", "Comment{!|}"},
        {"<!-- a > b -- >c", R"(Comment{!|a > b} "c")"},
        {"<!-- a -->\n<p>", "Comment{!|a} \"\n\" p"},
        // Unterminated: what was pending becomes text.
        {"<!-- abc", R"("-- abc")"},
    });
    const ParseResult illegal = ParseAndDump("<! x >y");
    EXPECT_EQ(illegal.tree, R"(Comment{|} "y")");
    EXPECT_EQ(illegal.warnings,
              std::vector<std::string>{"Illegal comment style detected: \"<!\" [Row:1,Col:2]"});
}

TEST(HtmlParserTest, DeclarationsCDataAndProcessingInstructions) {
    ExpectTrees({
        {"<!DOCTYPE html>", "DTDItem{!DOCTYPE|html}"},
        {"<!DOCTYPE>", "DTDItem{!DOCTYPE|}"},
        {"<!>", "None{|}"},
        {"<![CDATA[a<b]]>", "CData{CDATA|a<b}"},
        {"<![CDATA[ x > y ]]>", "CData{CDATA| x > y}"},
        {R"(<?xml version="1.0"?>)", R"(DTDItem{!xml|version="1.0"?})"},
        {R"(<!DOCTYPE x [ <!ENTITY a "-- b --"> ]>)",
         R"(DTDItem{!DOCTYPE|x [ <!ENTITY a "-- b --"> ]})"},
    });
    // Inside "--" of a declaration a ">" is dropped with a warning.
    const ParseResult commented = ParseAndDump("<!DOCTYPE x -- c > d -->");
    EXPECT_EQ(commented.tree, "DTDItem{!DOCTYPE|x -- c  d --}");
    EXPECT_EQ(commented.warnings,
              std::vector<std::string>{"Unexpected \">\" encountered [Row:1,Col:18]"});
}

TEST(HtmlParserTest, StrayAngleBracketsAreDroppedWithWarnings) {
    const ParseResult gt = ParseAndDump("a > b");
    EXPECT_EQ(gt.tree, R"("a  b")");
    EXPECT_EQ(gt.warnings, std::vector<std::string>{"Unexpected \">\" encountered [Row:1,Col:3]"});

    // Quotes do not protect ">" or "<" inside a tag.
    const ParseResult quotedGt = ParseAndDump(R"(<a title="x>y">)");
    EXPECT_EQ(quotedGt.tree, "a[title=x](\"y\"\")");
    EXPECT_EQ(quotedGt.warnings,
              std::vector<std::string>{"Unexpected \">\" encountered [Row:1,Col:15]"});
    const ParseResult quotedLt = ParseAndDump(R"(<a title="x<y">)");
    EXPECT_EQ(quotedLt.tree, "a[title=xy]");
    EXPECT_EQ(quotedLt.warnings,
              std::vector<std::string>{"Unexpected \"<\" encountered [Row:1,Col:12]"});
}

TEST(HtmlParserTest, AttributesAndLineEndsInsideTags) {
    ExpectTrees({
        {R"(<meta name="keywords" content="a, b">)", "meta[name=keywords|content=a, b]/"},
        {"<x name = x>", "x[name|=x]"},
        // LF alone does not separate: the whole tag becomes the name.
        {"<meta\nname=\"keywords\"\ncontent=\"a\">", "metaname=keywordscontent=a"},
        {"<meta\r\nname=\"keywords\"\r\ncontent=\"a\">", "meta[name=keywords|content=a]/"},
    });
}

TEST(HtmlParserTest, TextAtTheEndAndEmptyPages) {
    ExpectTrees({
        {"", ""},
        {"<b", R"("b")"},
        {"x<", R"("x")"},
        {"<b>x</b", R"(b("x" "b"))"},
        {"  ", R"("  ")"},
        {"<>x", R"(("x"))"},
    });
}

TEST(HtmlParserTest, WarningsCountRowsAtLineFeedsAndEvery257Columns) {
    EXPECT_EQ(ParseAndDump("a\r\nb\n  >").warnings,
              std::vector<std::string>{"Unexpected \">\" encountered [Row:3,Col:3]"});
    EXPECT_EQ(ParseAndDump(std::string(256, 'a') + ">").warnings,
              std::vector<std::string>{"Unexpected \">\" encountered [Row:1,Col:257]"});
    EXPECT_EQ(ParseAndDump(std::string(257, 'a') + ">").warnings,
              std::vector<std::string>{"Unexpected \">\" encountered [Row:2,Col:1]"});
    EXPECT_EQ(ParseAndDump("x\n" + std::string(600, 'a') + ">").warnings,
              std::vector<std::string>{"Unexpected \">\" encountered [Row:4,Col:87]"});
}

TEST(HtmlParserTest, EventsReportTagsInOrderAndNestedParseDoesNothing) {
    THTMLParser parser;
    std::vector<std::string> events;
    parser.OnStartTag = [&](TCustomMLParser& sender, TTagNode& node) {
        events.push_back("start " + std::string(node.Name()));
        sender.Parse("<nested>");
    };
    parser.OnTag = [&](TCustomMLParser&, TTagNode& node) {
        events.push_back("tag " + std::string(node.Name()));
    };
    parser.OnEndTag = [&](TCustomMLParser&, const std::string& name) {
        events.push_back("end " + name);
    };
    parser.Parse("<UL><li>a<li>b<br></UL><p>open");
    EXPECT_EQ(events,
              (std::vector<std::string>{"start UL", "start li", "start li", "start br", "tag br",
                                        "tag li", "tag UL", "end ul", "start p"}));
    EXPECT_EQ(DumpChildren(*parser.Root()), R"(UL(li("a") li("b" br/)) p("open"))");
    EXPECT_FALSE(parser.Busy());
}

TEST(HtmlParserTest, EachParseReplacesTheTree) {
    THTMLParser parser;
    parser.Parse("<p>one<div>two");
    parser.Parse("<b>three");
    EXPECT_EQ(DumpChildren(*parser.Root()), R"(b("three"))");
    EXPECT_EQ(parser.Root()->NodeType(), TNodeType::None);
    EXPECT_EQ(parser.Root()->Name(), "");
    parser.Parse("");
    EXPECT_EQ(parser.Root()->ChildCount(), 0u);
}

}  // namespace
}  // namespace kv::html
