#include "parseutils/htmltext.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "tests/parseutils/reference_decode.h"

namespace kv::parseutils {
namespace {

struct TextCase {
    std::string in;
    std::string out;
};

TEST(MyHtmlDecodeTest, NamedPassesRunInTableOrder) {
    const std::vector<TextCase> cases = {
        {"a &LT; b", "a < b"},
        {"&amp;quot;", "\""},    // "amp" runs before "quot"
        {"&amp;lt;", "&lt;"},    // "lt" ran before "amp"
        {"&amp;amp;", "&amp;"},  // a pass does not rescan what it put in
        {"&AmP;Times;", "×"},
        {"&nbsp;&nbsp;", "  "},  // a plain blank, not U+00A0
        {"&copy &copy;", "&copy ©"},
        {"&apos; &eacute; &lt &;", "&apos; &eacute; &lt &;"},
        {"&frac14;&frac12;&frac34;&sup1;&shy;&tilde;", "¼½¾¹\u00AD~"},
        {"&&lt;;", "&<;"},
    };
    for (const TextCase& c : cases) EXPECT_EQ(MyHtmlDecode(c.in), c.out) << c.in;
}

TEST(MyHtmlDecodeTest, NumericPassesRunFromZeroTo255) {
    const std::vector<TextCase> cases = {
        {"&#65;", "A"},
        {"&amp;#65;", "A"},
        {"&#065;", "&#065;"},
        {"&#x41;", "&#x41;"},
        {"&#256;", "&#256;"},
        {"&#65", "&#65"},
        {"&#0;", std::string(1, '\0')},
        {"&#38;#65;", "A"},      // 38 gives "&#65;" before pass 65
        {"&#38;#35;", "&#35;"},  // ...but pass 35 came before 38
        {"&#&#54;5;", "A"},      // pass 54 gives "6": "&#65;"
        {"&#6&#53;9;", "&#659;"},
        {"&#38;#&#53;3;", "&#53;"},  // completed only at pass 53 itself: stays
        {"&#49&#59;", "&#49;"},      // pass 59 gives the ";" after 49 had run
        {"&#38;#60&#59;", "<"},      // 38, then 59 completes "&#60;" before pass 60
    };
    for (const TextCase& c : cases) EXPECT_EQ(MyHtmlDecode(c.in), c.out) << c.in;
}

TEST(MyHtmlDecodeTest, HighCodesBecomeUtf8WithWindows1252Mapping) {
    EXPECT_EQ(MyHtmlDecode("&#128;&#150;&#153;&#159;"), "€–™Ÿ");
    EXPECT_EQ(MyHtmlDecode("&#129;"), "\u0081");
    EXPECT_EQ(MyHtmlDecode("&#160;&#233;&#255;"), "\u00A0éÿ");
    EXPECT_EQ(MyHtmlDecode("\xff&#233;\xe9"), "\xff\xc3\xa9\xe9");  // existing bytes untouched
}

// Random texts rich in reference pieces, checked against the literal 293-pass definition.
TEST(MyHtmlDecodeTest, AgreesWithThePassByPassDefinition) {
    const std::vector<std::string> pieces = {
        "&", "#", ";", "amp", "lt", "quot", "AMP",   "nbsp",  "3",     "5",     "6", "8",
        "0", "1", "2", "9",   "x",  "&#",   "&amp;", "&#38;", "&#59;", "&#35;", "é"};
    std::mt19937 random(20261208);
    for (int round = 0; round < 20000; ++round) {
        std::string text;
        const int count = static_cast<int>(random() % 12);
        for (int i = 0; i < count; ++i) text += pieces[random() % pieces.size()];
        ASSERT_EQ(MyHtmlDecode(text), testing::NaiveHtmlDecode(text)) << text;
    }
}

TEST(RemoveHtmlFmtTest, TextOfTheFragmentCollapsedThenDecoded) {
    const std::string html = "<p>Hello,\n   <b>world</b>&nbsp;&nbsp;!</p>";
    EXPECT_EQ(RemoveHtmlFmt(html, true), "Hello, world  !");
    EXPECT_EQ(RemoveHtmlFmt(html, false), "Hello,\n   world  !");
    EXPECT_EQ(RemoveHtmlFmt("a &amp; b", false), "a & b");
    EXPECT_EQ(RemoveHtmlFmt(" \t\r\n x \n", true), " x ");
    EXPECT_EQ(RemoveHtmlFmt("<!-- c --><!DOCTYPE d><![CDATA[e]]><?pi f?><a href=g>h</a>", true),
              "h");
    EXPECT_EQ(RemoveHtmlFmt("<script>if (a) b();</script><style>p{}</style>", false),
              "if (a) b();p{}");
    EXPECT_EQ(RemoveHtmlFmt("", true), "");
    // Blanks from decoding come after collapsing and stay.
    EXPECT_EQ(RemoveHtmlFmt("a&#9;&#9;b", true), "a\t\tb");
}

TEST(GetStrByIndexTest, LinesAtCrLfOrCrLf) {
    EXPECT_EQ(GetStrByIndex("a\r\nb", 1), "b");
    EXPECT_EQ(GetStrByIndex("a\r\nb", 2), "");
    EXPECT_EQ(GetStrByIndex("a\r\nb", -1), "");
    EXPECT_EQ(GetStrByIndex("a\rb\nc\r\n\r\nd", 2), "c");
    EXPECT_EQ(GetStrByIndex("a\rb\nc\r\n\r\nd", 3), "");
    EXPECT_EQ(GetStrByIndex("a\rb\nc\r\n\r\nd", 4), "d");
    EXPECT_EQ(GetStrByIndex("a\n\rb", 1), "");  // LF CR is two breaks
    EXPECT_EQ(GetStrByIndex("a\n\rb", 2), "b");
    EXPECT_EQ(GetStrByIndex("a\n", 0), "a");
    EXPECT_EQ(GetStrByIndex("a\n", 1), "");  // a final break starts no line
    EXPECT_EQ(GetStrByIndex("", 0), "");
    EXPECT_EQ(GetStrByIndex("\n", 0), "");
}

TEST(InvertStringTest, ReversesCharactersNotBytes) {
    EXPECT_EQ(InvertString("abc"), "cba");
    EXPECT_EQ(InvertString(""), "");
    EXPECT_EQ(InvertString("aä€😀"), "😀€äa");
    EXPECT_EQ(InvertString("a\xff\xe2\x82"),
              "\x82\xe2\xff"
              "a");  // invalid bytes one by one
    EXPECT_EQ(InvertString(std::string("a\0b", 3)), std::string("b\0a", 3));
}

}  // namespace
}  // namespace kv::parseutils
