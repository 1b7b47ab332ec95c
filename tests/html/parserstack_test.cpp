#include "html/parserstack.h"

#include <gtest/gtest.h>

#include <string>

namespace kv::html {
namespace {

TEST(ParserStackTest, PushPopPeekAndContains) {
    TParserStack stack;
    TTagNode div, b;
    EXPECT_EQ(stack.PeekName(), "");
    EXPECT_EQ(stack.PeekNode(), nullptr);
    EXPECT_EQ(stack.Pop(), "");

    stack.Push("div", &div);
    stack.Push("b", &b);
    stack.Push("b", &b);
    EXPECT_EQ(stack.PeekName(), "b");
    EXPECT_EQ(stack.PeekNode(), &b);
    EXPECT_TRUE(stack.Contains("DIV"));  // the name is lowered before comparing

    EXPECT_EQ(stack.Pop(), "b");
    EXPECT_TRUE(stack.Contains("b"));  // one b is still open
    EXPECT_EQ(stack.Pop(), "b");
    EXPECT_FALSE(stack.Contains("b"));
    EXPECT_EQ(stack.Count(), 1u);

    stack.Push("b", &b);
    EXPECT_TRUE(stack.Contains("B"));
    stack.Clear();
    EXPECT_FALSE(stack.Contains("div"));
    EXPECT_EQ(stack.Count(), 0u);
}

// Many names (more than are kept between parses) and names that differ only late or only in
// length must each keep their own count.
TEST(ParserStackTest, ManyNamesKeepTheirOwnCounts) {
    TParserStack stack;
    TTagNode node;
    constexpr int kNames = 20000;
    auto name = [](int i) {
        return "x" + std::string(static_cast<std::size_t>(i % 17), 'a') + std::to_string(i);
    };
    for (int round = 0; round < 2; ++round) {
        for (int i = 0; i < kNames; ++i) stack.Push(name(i), &node);
        for (int i = 0; i < kNames; ++i) ASSERT_TRUE(stack.Contains(name(i))) << i;
        EXPECT_FALSE(stack.Contains("x" + std::to_string(kNames)));
        for (int i = kNames - 1; i >= kNames / 2; --i) ASSERT_EQ(stack.Pop(), name(i));
        EXPECT_FALSE(stack.Contains(name(kNames - 1)));
        EXPECT_TRUE(stack.Contains(name(kNames / 2 - 1)));
        stack.Clear();  // also forgets the names: too many to keep
        EXPECT_FALSE(stack.Contains(name(0)));
        EXPECT_EQ(stack.PeekName(), "");
    }
    stack.Push("ab", &node);
    EXPECT_FALSE(stack.Contains("abc"));
    EXPECT_FALSE(stack.Contains("a"));
    EXPECT_FALSE(stack.Contains(std::string("ab\0", 3)));
    EXPECT_TRUE(stack.Contains("AB"));
}

}  // namespace
}  // namespace kv::html
