#include "html/parserstack.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace kv::html
