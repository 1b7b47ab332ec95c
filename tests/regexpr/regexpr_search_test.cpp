// Searching: leftmost match, start positions, repeated search without overlap (empty matches
// move one further), group participation versus empty groups, the highest participating group.
#include <gtest/gtest.h>

#include <string>

#include "regexpr_dump.h"

namespace kv {
namespace {

using kv::testing::AllMatches;
using kv::testing::DumpMatch;

TEST(RegExprSearchTest, FindsTheLeftmostMatchFromTheStartPosition) {
    TRegExpr re;
    re.SetExpression("a\\d");
    const std::string text = "xa1ya2";
    ASSERT_TRUE(re.Exec(text));
    EXPECT_EQ(re.MatchPos(0), 1u);
    EXPECT_EQ(re.MatchLen(0), 2u);
    ASSERT_TRUE(re.Exec(text, 2));
    EXPECT_EQ(re.MatchPos(0), 4u);
    EXPECT_FALSE(re.Exec(text, 5));
    EXPECT_FALSE(re.Exec(text, 6));
    EXPECT_FALSE(re.Exec(text, 100));  // beyond the text: no match, no error
    // "^" and \A are the start of the whole text, not of the search.
    re.SetExpression("^a");
    EXPECT_FALSE(re.Exec("ba", 1));
    re.SetExpression("\\bb");
    EXPECT_FALSE(re.Exec("ab", 1));  // the byte before the start still counts
}

TEST(RegExprSearchTest, RepeatedSearchNeverOverlaps) {
    TRegExpr re;
    re.SetExpression("aa");
    EXPECT_EQ(AllMatches(re, "aaaaa"), "'aa' | 'aa'");
    re.SetExpression("<a href=\"([^\"]+)\"");
    EXPECT_EQ(AllMatches(re, "<a href=\"/1\"><a href=\"\"><a href=\"/2\">"),
              "'<a href=\"/1\"' '/1' | '<a href=\"/2\"' '/2'");
    re.SetExpression("<li>(.*?)</li>");
    EXPECT_EQ(AllMatches(re, "<li>a</li><li></li>\n<li>b"), "'<li>a</li>' 'a' | '<li></li>' ''");
}

TEST(RegExprSearchTest, EmptyMatchesMoveOneFurther) {
    TRegExpr re;
    re.SetExpression("x*");
    EXPECT_EQ(AllMatches(re, "axxb"), "'' | 'xx' | '' | ''");  // at 0, 1-3, 3, 4
    re.SetExpression("\\b");
    EXPECT_EQ(AllMatches(re, "ab cd"), "'' | '' | '' | ''");
    re.SetExpression("a|");
    EXPECT_EQ(AllMatches(re, "ba"), "'' | 'a' | ''");
    re.SetExpression("()");
    EXPECT_EQ(AllMatches(re, ""), "'' ''");
}

TEST(RegExprSearchTest, ExecNextNeedsAPreviousMatch) {
    TRegExpr re;
    re.SetExpression("a");
    EXPECT_FALSE(re.ExecNext());
    EXPECT_TRUE(re.Exec("aa"));
    EXPECT_TRUE(re.ExecNext());
    EXPECT_FALSE(re.ExecNext());
    EXPECT_FALSE(re.ExecNext());  // stays false
    EXPECT_EQ(re.SubExprMatchCount(), -1);
}

TEST(RegExprSearchTest, GroupThatDidNotTakePartDiffersFromEmptyGroup) {
    TRegExpr re;
    re.SetExpression("(a)|(b)()");
    ASSERT_TRUE(re.Exec("b"));
    EXPECT_FALSE(re.Matched(1));
    EXPECT_EQ(re.MatchPos(1), TRegExpr::npos);
    EXPECT_EQ(re.MatchLen(1), 0u);
    EXPECT_EQ(re.Match(1), "");
    EXPECT_TRUE(re.Matched(2));
    EXPECT_EQ(re.Match(2), "b");
    EXPECT_TRUE(re.Matched(3));  // took part, matched nothing
    EXPECT_EQ(re.MatchPos(3), 1u);
    EXPECT_EQ(re.MatchLen(3), 0u);
    // Out of range indexes behave as groups that did not take part.
    for (int group : {-1, 4, 49, 50, 1000}) {
        EXPECT_FALSE(re.Matched(group)) << group;
        EXPECT_EQ(re.Match(group), "") << group;
        EXPECT_EQ(re.MatchPos(group), TRegExpr::npos) << group;
    }
    // A failed search forgets the previous match.
    EXPECT_FALSE(re.Exec("x"));
    EXPECT_FALSE(re.Matched(0));
    EXPECT_EQ(DumpMatch(re), "none");
}

TEST(RegExprSearchTest, HighestParticipatingGroup) {
    TRegExpr re;
    re.SetExpression("(a)(b)?(c)?");
    ASSERT_TRUE(re.Exec("ab"));
    EXPECT_EQ(re.SubExprMatchCount(), 2);
    ASSERT_TRUE(re.Exec("ac"));
    EXPECT_EQ(re.SubExprMatchCount(), 3);
    re.SetExpression("x(y)?");
    ASSERT_TRUE(re.Exec("x"));
    EXPECT_EQ(re.SubExprMatchCount(), 0);  // only the whole match
    re.SetExpression("abc");
    ASSERT_TRUE(re.Exec("abc"));
    EXPECT_EQ(re.SubExprMatchCount(), 0);
    EXPECT_EQ(re.GroupCount(), 0);
    // Group 49, the highest there is.
    std::string pattern;
    for (int g = 1; g <= 49; ++g) pattern += "(.)";
    re.SetExpression(pattern);
    const std::string text = std::string(49, 'z') + "!";
    ASSERT_TRUE(re.Exec(text));
    EXPECT_EQ(re.GroupCount(), 49);
    EXPECT_EQ(re.SubExprMatchCount(), 49);
    EXPECT_EQ(re.Match(49), "z");
}

TEST(RegExprSearchTest, EdgeCasesOfTheTemplates) {
    TRegExpr re;
    // Taking the address (group 1) or the label (highest group) of a result link.
    re.SetExpression("<a href=([^>]+)>([^<]+)</a>(?#1)");
    ASSERT_TRUE(re.Exec("<p><a href=http://x/>X site</a>"));
    EXPECT_EQ(re.Match(1), "http://x/");
    EXPECT_EQ(re.Match(re.SubExprMatchCount()), "X site");
    // A result total with thousands separators.
    re.SetExpression("about ([\\d,]+)");
    ASSERT_TRUE(re.Exec("Results 1 - 10 of about 1,230,000"));
    EXPECT_EQ(re.Match(1), "1,230,000");
    // Keywords META element, any case, optional quotes.
    re.SetExpression("(?i)<meta[^>]*name=\"?keywords\"?[^>]*>");
    ASSERT_TRUE(re.Exec("<META NAME=Keywords CONTENT=\"a,b\">"));
    EXPECT_EQ(re.MatchPos(0), 0u);
    EXPECT_FALSE(re.Exec("<meta name=\"description\">"));
}

TEST(RegExprSearchTest, WithoutAnExpressionSearchingIsAnError) {
    TRegExpr re;
    EXPECT_THROW(re.Exec("a"), ERegExpr);
    re.SetExpression("a");
    EXPECT_THROW(re.SetExpression("("), ERegExpr);
    EXPECT_THROW(re.Exec("a"), ERegExpr);  // the failed pattern replaced the good one
    EXPECT_EQ(re.Expression(), "(");
    re.SetExpression("b");
    EXPECT_TRUE(re.Exec("ab"));
}

TEST(RegExprSearchTest, ObjectsMoveWithTheirPattern) {
    TRegExpr first;
    first.SetExpression("(b+)");
    const std::string text = "abbc";
    ASSERT_TRUE(first.Exec(text));
    TRegExpr second = std::move(first);
    EXPECT_EQ(second.Match(1), "bb");
    EXPECT_TRUE(second.Exec("xb"));
    EXPECT_EQ(second.Match(1), "b");
}

}  // namespace
}  // namespace kv
