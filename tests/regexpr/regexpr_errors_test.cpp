// Compile errors (text and position), and what hostile texts can do to a search: the step
// budget ends runaway searches with an error, and long pages never exhaust the call stack.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "parseutils/regexpr.h"
#include "parseutils/templatefuncs.h"
#include "regexpr_dump.h"

namespace kv {
namespace {

using kv::testing::AllMatches;

std::string CompileError(const std::string& pattern) {
    TRegExpr re;
    try {
        re.SetExpression(pattern);
    } catch (const ERegExpr& e) {
        return e.what();
    }
    return "compiled";
}

TEST(RegExprErrorsTest, CompileErrorsNameTheProblemAndThePosition) {
    struct Case {
        std::string pattern;
        std::string message;
    };
    const Case cases[] = {
        {"", "TRegExpr(comp): Null Argument (pos 0)"},
        {"[abc", "TRegExpr(comp): Unmatched [] (pos 4)"},
        {"[]", "TRegExpr(comp): Unmatched [] (pos 2)"},
        {"a[\\", "TRegExpr(comp): Unmatched [] (pos 3)"},
        {"(a", "TRegExpr(comp): Unmatched () (pos 2)"},
        {"((a)", "TRegExpr(comp): Unmatched () (pos 4)"},
        {"a)", "TRegExpr(comp): Unmatched () (pos 1)"},
        {"a(?#x", "TRegExpr(comp): Unclosed (?#Comment) (pos 5)"},
        {"x(?:y)", "TRegExpr(comp): Urecognized Modifier (pos 3)"},
        {"(?=a)", "TRegExpr(comp): Urecognized Modifier (pos 2)"},
        {"(?<n>a)", "TRegExpr(comp): Urecognized Modifier (pos 2)"},
        {"(?i-s-m)", "TRegExpr(comp): Urecognized Modifier (pos 5)"},
        {"(?i", "TRegExpr(comp): Urecognized Modifier (pos 3)"},
        {"*a", "TRegExpr(comp): ?+*{ Follows Nothing (pos 0)"},
        {"a|+b", "TRegExpr(comp): ?+*{ Follows Nothing (pos 2)"},
        {"(?b)", "TRegExpr(comp): Urecognized Modifier (pos 2)"},
        {"(*)", "TRegExpr(comp): ?+*{ Follows Nothing (pos 1)"},
        {"{2}", "TRegExpr(comp): ?+*{ Follows Nothing (pos 0)"},
        {"^*", "TRegExpr(comp): ?+*{ Follows Nothing (pos 1)"},
        {"a\\b+", "TRegExpr(comp): ?+*{ Follows Nothing (pos 3)"},
        {"(?i)?", "TRegExpr(comp): ?+*{ Follows Nothing (pos 4)"},
        {"a(?#1)*", "TRegExpr(comp): ?+*{ Follows Nothing (pos 6)"},
        {"a**", "TRegExpr(comp): Nested *?+ (pos 2)"},
        {"a+*", "TRegExpr(comp): Nested *?+ (pos 2)"},
        {"a*??", "TRegExpr(comp): Nested *?+ (pos 3)"},
        {"a{2}{3}", "TRegExpr(comp): Nested *?+ (pos 4)"},
        {"(a)?+", "TRegExpr(comp): Nested *?+ (pos 4)"},
        {"a\\", "TRegExpr(comp): Trailing \\ (pos 1)"},
        {"\\xZ1", "TRegExpr(comp): Bad Hex Code after \\x (pos 0)"},
        {"a\\x4", "TRegExpr(comp): Bad Hex Code after \\x (pos 1)"},
        {"\\x{}", "TRegExpr(comp): Bad Hex Code after \\x (pos 0)"},
        {"\\x{123}", "TRegExpr(comp): Bad Hex Code after \\x (pos 0)"},
        {"\\x{4", "TRegExpr(comp): Bad Hex Code after \\x (pos 0)"},
        {"[z-a]", "TRegExpr(comp): Invalid [] Range (pos 1)"},
        {"a{3,2}", "TRegExpr(comp): Invalid {n,m} (n > m) (pos 1)"},
        {"a{70000}", "TRegExpr(comp): {n,m} Count Too Large (pos 1)"},
        {"a{1,99999999999999999999}", "TRegExpr(comp): {n,m} Count Too Large (pos 1)"},
        {"(a)\\2", "TRegExpr(comp): Back-reference to a Missing Group (pos 3)"},
    };
    for (const Case& c : cases) EXPECT_EQ(CompileError(c.pattern), c.message) << c.pattern;

    EXPECT_EQ(CompileError("(\\2x|(y))+"), "compiled");  // a later group may be referred to
    EXPECT_EQ(CompileError("a{65535}"), "compiled");
}

TEST(RegExprErrorsTest, FortyNineGroupsAtMost) {
    std::string pattern;
    for (int g = 0; g < 49; ++g) pattern += "()";
    EXPECT_EQ(CompileError(pattern), "compiled");
    EXPECT_EQ(CompileError(pattern + "()"), "TRegExpr(comp): Too Many () (more than 49) (pos 98)");
    // Nesting as deep as the groups allow.
    EXPECT_EQ(CompileError(std::string(49, '(') + "a" + std::string(49, ')') + "+"), "compiled");
}

TEST(RegExprErrorsTest, RunawaySearchEndsWithAnErrorAndTheObjectStaysUsable) {
    TRegExpr re;
    re.SetExpression("(a*)*[bc]");  // exponential on a run of "a" without "b" or "c"
    const std::string run(40, 'a');
    try {
        re.Exec(run);
        FAIL() << "no step budget error";
    } catch (const ERegExpr& e) {
        EXPECT_EQ(std::string(e.what()),
                  "TRegExpr(exec): Search exceeded its step budget (the pattern backtracks too "
                  "much on this text)");
    }
    EXPECT_FALSE(re.Matched(0));
    EXPECT_FALSE(re.ExecNext());
    ASSERT_TRUE(re.Exec("aab"));
    EXPECT_EQ(re.Match(0), "aab");
    EXPECT_EQ(re.Match(1), "");
}

TEST(RegExprErrorsTest, HonestSearchesStayFarBelowTheBudget) {
    // A result page repeated to 2 MB: all matches cost a few steps per byte.
    std::string page;
    while (page.size() < (2u << 20))
        page +=
            "<ul><li class=\"result\"><a href=\"http://example.com/p\">Title</a> text "
            "<b>more</b></li>\n<li>other</li></ul><meta name=\"keywords\" content=\"a\">";
    TRegExpr re;
    unsigned long long steps = 0;
    int matches = 0;
    for (const char* pattern : {"<a href=\"([^\"]+)\"", "<li class=\"result\">(.*?)</li>",
                                "(?i)<meta[^>]*name=\"?keywords\"?[^>]*>"}) {
        re.SetExpression(pattern);
        for (bool found = re.Exec(page); found; found = re.ExecNext()) {
            steps += re.LastSearchSteps();
            ++matches;
        }
    }
    EXPECT_GT(matches, 30000);
    EXPECT_LT(steps, 3ull * page.size());  // under one step per byte and pattern
}

TEST(RegExprErrorsTest, LongPagesDoNotExhaustTheCallStack) {
    const std::string big(10u << 20, 'a');
    TRegExpr re;
    re.SetExpression("<li>(.*?)</li>");
    const std::string list = "<li>" + big + "</li>";
    ASSERT_TRUE(re.Exec(list));
    EXPECT_EQ(re.MatchLen(1), big.size());

    re.SetExpression("(a|b)*");
    ASSERT_TRUE(re.Exec(big));
    EXPECT_EQ(re.MatchLen(0), big.size());
    EXPECT_EQ(re.MatchPos(1), big.size() - 1);

    re.SetExpression("(ab|a)*[cd]");  // a choice point per iteration, no "c": memory limit
    std::string ab;
    for (int k = 0; k < (5 << 20); ++k) ab += "ab";
    try {
        re.Exec(ab);
        ADD_FAILURE() << "no memory limit error";
    } catch (const ERegExpr& e) {
        EXPECT_EQ(std::string(e.what()), "TRegExpr(exec): Search exceeded its backtracking memory");
    }

    re.SetExpression("<td>(.*)</td>");
    const std::string cells = "<td>" + big + "</td><td>x</td>";
    ASSERT_TRUE(re.Exec(cells));
    EXPECT_EQ(re.MatchLen(1), big.size() + 10);
}

TEST(RegExprErrorsTest, RepeatedSearchOverAPageOfEmptyMatches) {
    TRegExpr re;
    re.SetExpression("x*");
    std::string text(200000, 'y');
    int count = 0;
    for (bool found = re.Exec(text); found; found = re.ExecNext()) ++count;
    EXPECT_EQ(count, 200001);
    EXPECT_EQ(AllMatches(re, "yxy"), "'' | 'x' | '' | ''");
}

TEST(RegExprErrorsTest, PatternsLongerThan64KBDoNotCompile) {
    TRegExpr re;
    EXPECT_NO_THROW(re.SetExpression(std::string(64u << 10, 'a')));
    EXPECT_EQ(CompileError(std::string((64u << 10) + 1, 'a')),
              "TRegExpr(comp): Pattern too long (more than 65536 bytes) (pos 65536)");
}

// Each search backtracks about a million steps over a run of "a" before it finds the "b":
// well inside one search's budget, but a page of such runs took minutes when every search of
// all matches had a budget of its own.
TEST(RegExprErrorsTest, AllMatchesOfACallShareOneBudget) {
    const std::string run = std::string(18, 'a') + "b";
    std::string page;
    for (int i = 0; i < 200; ++i) page += run;
    const std::string pattern = "(a+)+c|b";
    TRegExpr re;
    re.SetExpression(pattern);
    ASSERT_TRUE(re.Exec(run));  // one search alone is allowed
    ASSERT_GT(re.LastSearchSteps(), 500'000u);

    const auto allMatches = [&] {
        for (bool found = re.Exec(page); found; found = re.ExecNext()) {
        }
    };
    std::vector<std::string> found;
    const auto templateCall = [&] { parseutils::GetTextsForRegExpr(pattern, page, found, false); };
    for (const auto& call :
         {std::function<void()>(allMatches), std::function<void()>(templateCall)}) {
        try {
            call();
            ADD_FAILURE() << "no step budget error";
        } catch (const ERegExpr& e) {
            EXPECT_NE(std::string(e.what()).find("step budget"), std::string::npos) << e.what();
        }
    }
}

}  // namespace
}  // namespace kv
