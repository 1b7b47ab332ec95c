// Every syntax element of the dialect, as tables of (pattern, text, first match with groups).
#include <gtest/gtest.h>

#include <string>

#include "regexpr_dump.h"

namespace kv {
namespace {

using kv::testing::FirstMatch;

struct Case {
    std::string pattern;
    std::string text;
    std::string expected;
};

void CheckAll(const std::vector<Case>& cases) {
    for (const Case& c : cases)
        EXPECT_EQ(FirstMatch(c.pattern, c.text), c.expected)
            << "pattern '" << c.pattern << "' text '" << c.text << "'";
}

TEST(RegExprSyntaxTest, LiteralsDotAndEscapes) {
    CheckAll({
        {"abc", "xxabcxx", "'abc'"},
        {"abc", "ab", "none"},
        {"a.c", "a\nc", "'a\nc'"},  // s is on
        {"\\.\\*\\(\\[\\{\\|\\\\", "x.*([{|\\", "'.*([{|\\'"},
        {"\\q\\-\\%", "q-%", "'q-%'"},       // any other escaped character is itself
        {"\\0\\z\\Q\\E", "0zQE", "'0zQE'"},  // including digits and letters without a meaning
        {"\\t\\n\\r\\f\\a\\e", "\t\n\r\f\a\x1b", "'\t\n\r\f\a\x1b'"},
        {"\\x41\\x{42}\\x{9}\\x7e", "AB\t~", "'AB\t~'"},
        {"\\xE9", "caf\xE9", "'\xE9'"},  // bytes, not characters
        {"\\d+", "ab 0129x", "'0129'"},
        {"\\D+", "12ab 34", "'ab '"},
        {"\\s+", "a \t\n\r\fb", "' \t\n\r\f'"},
        {"\\s", "\v", "none"},  // VT is no blank here
        {"\\S+", "  ab\tc", "'ab'"},
        {"\\w+", "--a_Z9\xC3\xA9", "'a_Z9'"},  // bytes >= 0x80 are no word bytes
        {"\\W+", "ab-+ c", "'-+ '"},
        {"caf\xC3\xA9", "un caf\xC3\xA9", "'caf\xC3\xA9'"},
    });
}

TEST(RegExprSyntaxTest, Classes) {
    CheckAll({
        {"[abc]+", "xxcabz", "'cab'"},
        {"[a-c]+", "dcbae", "'cba'"},
        {"[^a-c]+", "abxyzc", "'xyz'"},
        {"[]a]+", "x]a]b", "']a]'"},  // "]" first is literal
        {"[^]a]+", "]]bc]", "'bc'"},  // also after "^"
        {"[a-]+", "x-a-", "'-a-'"},   // "-" last is literal
        {"[-a]+", "x-a-", "'-a-'"},   // and first
        {"[\\d.]+", "v1.25x", "'1.25'"},
        {"[\\s,]+", "a, \tb", "', \t'"},
        {"[\\w]+", "-ab_1-", "'ab_1'"},
        {"[\\W]+", "ab-+c", "'-+'"},
        {"[^\\d]+", "12ab3", "'ab'"},
        {"[a-\\d]+", "x-a5", "'-a5'"},  // "-" before a class escape is literal
        {"[\\]\\\\]+", "a]\\b", "']\\'"},
        {"[\\x41-\\x43]+", "zABCD", "'ABC'"},
        {"[\\t\\n]+", "a\t\nb", "'\t\n'"},
        {"[.*+?]+", "a.*+?b", "'.*+?'"},  // no operators inside a class
        {"[\\b]", "b", "'b'"},            // \b in a class: an escaped literal
        {"[^a]", "\n", "'\n'"},
    });
}

TEST(RegExprSyntaxTest, AnchorsAndAssertions) {
    CheckAll({
        {"^ab", "ab", "'ab'"},
        {"^ab", "xab", "none"},
        {"ab$", "xab", "'ab'"},
        {"ab$", "ab\n", "none"},  // without m, "$" is the end of the text only
        {"^$", "", "''"},
        {"^a", "b\na", "none"},
        {"\\Aab", "ab", "'ab'"},
        {"\\Aab", "\nab", "none"},
        {"ab\\Z", "ab", "'ab'"},
        {"ab\\Z", "ab\n", "none"},  // \Z is the end of the whole text
        {"\\bis\\b", "this is", "'is'"},
        {"\\Bis\\b", "this is", "'is'"},
        {"\\bx", "x", "'x'"},
        {"x\\b", "x_", "none"},
        {"\\B", "", "''"},
    });
}

TEST(RegExprSyntaxTest, AlternationAndGroups) {
    CheckAll({
        {"cat|dog", "hotdog", "'dog'"},
        {"a|ab", "ab", "'a'"},  // the first alternative that matches wins
        {"(a|ab)c", "abc", "'abc' 'ab'"},
        {"x(a|)y", "xy", "'xy' ''"},  // empty alternative
        {"((a)(b))", "ab", "'ab' 'ab' 'a' 'b'"},
        {"(a)|(b)", "b", "'b' - 'b'"},  // group 1 did not take part
        {"()", "x", "'' ''"},
        {"(a(b(c(d(e)))))", "abcde", "'abcde' 'abcde' 'bcde' 'cde' 'de' 'e'"},
        {"(a|b|c|d)+", "xdcba", "'dcba' 'a'"},  // last iteration's capture
    });
}

TEST(RegExprSyntaxTest, GreedyAndLazyQuantifiers) {
    CheckAll({
        {"a*", "aaa", "'aaa'"},
        {"a*?", "aaa", "''"},
        {"a+", "baaa", "'aaa'"},
        {"a+?", "baaa", "'a'"},
        {"ba?", "baa", "'ba'"},
        {"ba??", "baa", "'b'"},
        {"<(.*)>", "<a><b>", "'<a><b>' 'a><b'"},
        {"<(.*?)>", "<a><b>", "'<a>' 'a'"},
        {"<td>(.*)</td>", "<td>1</td><td>2</td>", "'<td>1</td><td>2</td>' '1</td><td>2'"},
        {"<td>(.*?)</td>", "<td>1</td><td>2</td>", "'<td>1</td>' '1'"},
        {"(a|b)*c", "abbac", "'abbac' 'a'"},
        {"(a|b)*?c", "abbac", "'abbac' 'a'"},
        {"(ab)+", "ababab", "'ababab' 'ab'"},
        {"(ab)+?", "ababab", "'ab' 'ab'"},
        {"(a*)*b", "aab", "'aab' ''"},  // the empty iteration ends the loop
        {"(a*)+b", "aab", "'aab' ''"},
        {"(a*?)*b", "aab", "'aab' ''"},
        {"x[^\"]+\"", "x\"y\"", "none"},
        {"a.*b", "a\nb\nb", "'a\nb\nb'"},
        {"a.*?b", "a\nb\nb", "'a\nb'"},
    });
}

TEST(RegExprSyntaxTest, CountedQuantifiersAndTheirLazyForms) {
    CheckAll({
        {"a{2}", "aaaa", "'aa'"},
        {"a{2,}", "aaaa", "'aaaa'"},
        {"a{2,3}", "aaaa", "'aaa'"},
        {"a{2}?", "aaaa", "'aa'"},
        {"a{2,}?", "aaaa", "'aa'"},
        {"a{2,3}?", "aaaa", "'aa'"},
        {"a{0}b", "ab", "'b'"},
        {"a{0,0}b", "ab", "'b'"},
        {"a{3}", "aa", "none"},
        {"(ab){2}", "abababx", "'abab' 'ab'"},
        {"(ab){2,}", "abababx", "'ababab' 'ab'"},
        {"(ab){1,2}?x", "ababx", "'ababx' 'ab'"},
        {"(a|b){2,3}?c", "abbc", "'abbc' 'b'"},
        {"(a){0}b", "ab", "'b' -"},
        {"(a?){3}", "a", "'a' ''"},
        {"\\d{1,3}(,\\d{3})*", "1,230,000", "'1,230,000' ',000'"},
        {"x{10000}", std::string(10000, 'x'), "'" + std::string(10000, 'x') + "'"},
    });
}

TEST(RegExprSyntaxTest, MalformedBraceIsALiteral) {
    CheckAll({
        {"a{", "a{", "'a{'"},
        {"a{x}", "a{x}", "'a{x}'"},
        {"a{,2}", "a{,2}", "'a{,2}'"},
        {"a{1,2", "a{1,2", "'a{1,2'"},
        {"a{ 1}", "a{ 1}", "'a{ 1}'"},
        {"{", "{", "'{'"},
        {"x{}", "x{}", "'x{}'"},
        {"a{1}{", "a{", "'a{'"},  // a literal "{" after a quantifier is no second quantifier
    });
}

TEST(RegExprSyntaxTest, BackReferences) {
    CheckAll({
        {"(a+)b\\1", "aabaa", "'aabaa' 'aa'"},
        {"(a+)b\\1", "aaba", "'aba' 'a'"},
        {"<(\\w+)>.*?</\\1>", "<b>x</i></b>", "'<b>x</i></b>' 'b'"},
        {"(a)|b\\1", "b", "none"},           // a group that did not take part never matches
        {"(a|b\\1)+", "aba", "'aba' 'ba'"},  // refers to the previous iteration
        {"(x)?\\1", "y", "none"},
        {"()\\1", "y", "'' ''"},
        {"(a)(b)(c)(d)(e)(f)(g)(h)(i)\\9", "abcdefghii",
         "'abcdefghii' 'a' 'b' 'c' 'd' 'e' 'f' 'g' 'h' 'i'"},
        {"(a)\\10", "aa0", "'aa0' 'a'"},  // one digit: \1 then "0"
    });
}

TEST(RegExprSyntaxTest, CommentsMatchNothing) {
    CheckAll({
        {"a(?#note)b", "ab", "'ab'"},
        {"(?#1)", "x", "''"},
        {"<a href=([^>]+)>([^<]+)</a>(?#1)", "<a href=u>L</a>", "'<a href=u>L</a>' 'u' 'L'"},
        {"a(?#x(y)b", "ab", "'ab'"},  // a comment ends at the first ")"
    });
}

TEST(RegExprSyntaxTest, GroupMarkerPatternOfTheTemplateLibrary) {
    // The fixed pattern that reads "(?#N)" markers out of a definition's main pattern.
    const char* marker = "\\(\\?\\#(\\d+?)\\)";
    CheckAll({
        {marker, "a(?#x)b(?#2)", "'(?#2)' '2'"},
        {marker, "<a href=([^>]+)>([^<]+)</a>(?#1)", "'(?#1)' '1'"},
        {marker, "x(?#123)y(?#4)", "'(?#123)' '123'"},
        {marker, "(?#)", "none"},
        {marker, "(?# 1)", "none"},
    });
}

}  // namespace
}  // namespace kv
