// The modifiers i, r, s, g, m, x: initial values, object setters, modifier groups and their
// scope (the enclosing group, or the rest of the pattern at top level).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "parseutils/regexpr_program.h"
#include "regexpr_dump.h"
#include "text/textcompare.h"

namespace kv {
namespace {

using kv::testing::AllMatches;
using kv::testing::FirstMatch;

// Start positions of every match of a repeated search.
std::vector<std::size_t> MatchPositions(std::string_view pattern, std::string_view text) {
    TRegExpr re;
    re.SetExpression(pattern);
    std::vector<std::size_t> positions;
    for (bool found = re.Exec(text); found; found = re.ExecNext())
        positions.push_back(re.MatchPos(0));
    return positions;
}

TEST(RegExprModifiersTest, InitialValues) {
    TRegExpr re;
    EXPECT_FALSE(re.Modifier('i'));
    EXPECT_TRUE(re.Modifier('r'));
    EXPECT_TRUE(re.Modifier('s'));
    EXPECT_TRUE(re.Modifier('g'));
    EXPECT_FALSE(re.Modifier('m'));
    EXPECT_FALSE(re.Modifier('x'));
    EXPECT_THROW(re.SetModifier('q', true), ERegExpr);
}

TEST(RegExprModifiersTest, CaseInsensitiveUsesAsciiMappingOnly) {
    EXPECT_EQ(FirstMatch("A", "a"), "none");
    EXPECT_EQ(FirstMatch("(?i)A", "a"), "'a'");
    EXPECT_EQ(FirstMatch("(?i)<META name", "<meta NAME"), "'<meta NAME'");
    EXPECT_EQ(FirstMatch("(?i)[a-c]+", "xBcAd"), "'BcA'");
    EXPECT_EQ(FirstMatch("(?i)[^a]", "Ab"), "'b'");  // negation after case folding
    EXPECT_EQ(FirstMatch("(?i)(ab)\\1", "abAB"), "'abAB' 'ab'");
    EXPECT_EQ(FirstMatch("(ab)\\1", "abAB"), "none");
    EXPECT_EQ(FirstMatch("(?i)\xE9", "\xC9"), "none");            // bytes >= 0x80 keep their case
    EXPECT_EQ(FirstMatch("(?i)[\\x{5b}-\\x{60}]", "{"), "none");  // no folding of [ \ ] ^ _ `

    TRegExpr re;
    re.SetModifierI(true);
    re.SetExpression("keywords");
    EXPECT_TRUE(re.Exec("KeyWords"));
    re.SetModifierI(false);  // recompiles
    EXPECT_FALSE(re.Exec("KeyWords"));
}

TEST(RegExprModifiersTest, CaseTablesAgreeWithTheProgramsCaseMapping) {
    for (int b = 0; b < 256; ++b) {
        const char c = static_cast<char>(b);
        EXPECT_EQ(regexpr::kLowerByte[b], static_cast<unsigned char>(text::AsciiLower(c))) << b;
        EXPECT_EQ(regexpr::kUpperByte[b], static_cast<unsigned char>(text::AsciiUpper(c))) << b;
    }
}

TEST(RegExprModifiersTest, CyrillicRangesOfTheWindowsCodePage) {
    // r on: E0-FF also takes B8 (yo), C0-DF also A8 (YO), E0-DF takes both sets.
    EXPECT_EQ(FirstMatch("[\xE0-\xFF]", "\xB8"), "'\xB8'");
    EXPECT_EQ(FirstMatch("[\xC0-\xDF]", "\xA8"), "'\xA8'");
    EXPECT_EQ(FirstMatch("[\xC0-\xDF]", "\xB8"), "none");
    EXPECT_EQ(FirstMatch("[\xE0-\xDF]+", "\xA8\xC0\xDF\xE0\xFF\xB8\xBF"),
              "'\xA8\xC0\xDF\xE0\xFF\xB8'");
    EXPECT_EQ(FirstMatch("[\xE1-\xFF]", "\xB8"), "none");  // only the exact ranges
    // r off: ranges are taken literally, and the reversed one is an error.
    EXPECT_EQ(FirstMatch("(?-r)[\xE0-\xFF]", "\xB8"), "none");
    EXPECT_THROW(FirstMatch("(?-r)[\xE0-\xDF]", ""), ERegExpr);
}

TEST(RegExprModifiersTest, DotAndLineBreaks) {
    EXPECT_EQ(FirstMatch("a.b", "a\nb"), "'a\nb'");
    EXPECT_EQ(FirstMatch("(?-s)a.b", "a\nb"), "none");
    EXPECT_EQ(FirstMatch("(?-s)a.b", "a\rb"), "none");
    EXPECT_EQ(FirstMatch("(?-s)a.b", "a\tb"), "'a\tb'");
    EXPECT_EQ(FirstMatch("(?-s)<p>.*", "<p>one\ntwo"), "'<p>one'");
}

TEST(RegExprModifiersTest, GreedyOffMakesEveryQuantifierLazy) {
    EXPECT_EQ(FirstMatch("(?-g)a+", "aaa"), "'a'");
    EXPECT_EQ(FirstMatch("(?-g)a+?", "aaa"), "'a'");  // a lazy form stays lazy
    EXPECT_EQ(FirstMatch("(?-g)a{2,}", "aaaa"), "'aa'");
    EXPECT_EQ(FirstMatch("(?-g)<(.*)>", "<a><b>"), "'<a>' 'a'");
    TRegExpr re;
    re.SetModifierG(false);
    re.SetExpression("\\d*");
    EXPECT_TRUE(re.Exec("123"));
    EXPECT_EQ(re.Match(0), "");
}

TEST(RegExprModifiersTest, MultilineAnchorsTreatCrLfAsOneSeparator) {
    EXPECT_EQ(FirstMatch("^b", "a\nb"), "none");
    EXPECT_EQ(FirstMatch("(?m)^b", "a\nb"), "'b'");
    EXPECT_EQ(FirstMatch("(?m)a$", "a\r\nb"), "'a'");
    // Text a CR LF b CR c LF: lines start at 0, 3, 5 and 7 (after the final LF), and end at
    // 1, 4, 6 and 7; nothing between CR and LF.
    const std::string text = "a\r\nb\rc\n";
    EXPECT_EQ(MatchPositions("(?m)^", text), (std::vector<std::size_t>{0, 3, 5, 7}));
    EXPECT_EQ(MatchPositions("(?m)$", text), (std::vector<std::size_t>{1, 4, 6, 7}));
    EXPECT_EQ(MatchPositions("^", text), (std::vector<std::size_t>{0}));
    EXPECT_EQ(MatchPositions("$", text), (std::vector<std::size_t>{7}));
    // \A and \Z ignore m.
    EXPECT_EQ(MatchPositions("(?m)\\A", text), (std::vector<std::size_t>{0}));
    EXPECT_EQ(MatchPositions("(?m)\\Z", text), (std::vector<std::size_t>{7}));
    TRegExpr re;
    re.SetModifierM(true);
    re.SetExpression("^\\w+$");
    EXPECT_EQ(AllMatches(re, "one\r\ntwo\nthree"), "'one' | 'two' | 'three'");
}

TEST(RegExprModifiersTest, ExtendedFormIgnoresBlanksAndComments) {
    EXPECT_EQ(FirstMatch("(?x) a b # a comment\r c", "abc"), "'abc'");
    EXPECT_EQ(FirstMatch("(?x) a\tb\n#c\nd", "abd"), "'abd'");
    EXPECT_EQ(FirstMatch("(?x)a\\ b", "a b"), "'a b'");
    EXPECT_EQ(FirstMatch("(?x)a[ #]b", "a b"), "'a b'");  // classes keep blanks and "#"
    EXPECT_EQ(FirstMatch("(?x)a +", "aaa"), "'aaa'");
    EXPECT_EQ(FirstMatch("(?x)( a )+", "aa"), "'aa' 'a'");
    EXPECT_EQ(FirstMatch("a b", "a b"), "'a b'");  // x is off at first
}

TEST(RegExprModifiersTest, ExtendedFormLetsBlanksStandBeforeTheLazyMark) {
    struct Case {
        const char* pattern;
        const char* text;
        const char* match;
    } cases[] = {
        {"(?x)a+ ?", "aaa", "'a'"},
        {"(?x)a+\t# comment\n?", "aaa", "'a'"},
        {"(?x)a{1,3} ?", "aaa", "'a'"},
        {"(?x)<.* ?>", "<b><i>", "'<b>'"},
        {"(?x)a? ?b", "ab", "'ab'"},
        {"(?x)a{1, 3}", "a{1,3}", "'a{1,3}'"},  // as in Perl: not a counted repeat
        {"a+ ?", "aa ", "'aa '"},               // without x the blank is a character
    };
    for (const auto& c : cases) EXPECT_EQ(FirstMatch(c.pattern, c.text), c.match) << c.pattern;
}

TEST(RegExprModifiersTest, ModifierGroupsLastToTheEndOfTheEnclosingGroup) {
    EXPECT_EQ(FirstMatch("(a(?i)b)c", "aBc"), "'aBc' 'aB'");
    EXPECT_EQ(FirstMatch("(a(?i)b)c", "aBC"), "none");
    EXPECT_EQ(FirstMatch("((?i)a)b", "AB"), "none");
    EXPECT_EQ(FirstMatch("((?i)a)b", "Ab"), "'Ab' 'A'");
    // At top level to the end of the pattern, across alternatives.
    EXPECT_EQ(FirstMatch("a(?i)b|c", "C"), "'C'");
    EXPECT_EQ(FirstMatch("x(?i)y(z)", "xYZ"), "'xYZ' 'Z'");
    // Inside a group, across that group's later alternatives only.
    EXPECT_EQ(FirstMatch("(a(?i)|b)B", "bb"), "none");
    EXPECT_EQ(FirstMatch("(a(?i)x|b)", "B"), "'B' 'B'");
    // On and off in one group, letters in either case, later groups override.
    EXPECT_EQ(FirstMatch("(?i-s)A.", "a\n"), "none");
    EXPECT_EQ(FirstMatch("(?i-s)A.", "ab"), "'ab'");
    EXPECT_EQ(FirstMatch("(?I)a", "A"), "'A'");
    EXPECT_EQ(FirstMatch("(?i)a(?-i)b", "AB"), "none");
    EXPECT_EQ(FirstMatch("(?i)a(?-i)b", "Ab"), "'Ab'");
    EXPECT_EQ(FirstMatch("(?)a", "a"), "'a'");
    // The object's own modifiers come back after a group.
    TRegExpr re;
    re.SetModifierI(true);
    re.SetExpression("((?-i)a)b");
    EXPECT_TRUE(re.Exec("aB"));
    EXPECT_FALSE(re.Exec("AB"));
}

}  // namespace
}  // namespace kv
