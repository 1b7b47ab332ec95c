// Pages built to break a parser: deep nesting, floods of one character, NUL bytes and invalid
// UTF-8. They must parse completely, without deep recursion, and free without it too.
#include <gtest/gtest.h>

#include <string>

#include "html/htmlparser.h"
#include "html/nodesearch.h"

namespace kv::html {
namespace {

std::string Repeat(const std::string& part, std::size_t times) {
    std::string out;
    out.reserve(part.size() * times);
    for (std::size_t i = 0; i < times; ++i) out += part;
    return out;
}

constexpr std::size_t kDeep = 200000;

TEST(HostilePageTest, DeepNestingParsesSearchesAndFreesWithoutRecursion) {
    auto parser = std::make_unique<THTMLParser>();
    parser->Parse(Repeat("<div>", kDeep) + "<b>end</b>" + Repeat("</div>", kDeep));
    TTagNodeList list;
    FindAll(parser->Root(), "div", list);
    EXPECT_EQ(list.Count(), kDeep);
    THierarchyNode* b = FindFirst(parser->Root(), "b");
    ASSERT_NE(b, nullptr);
    std::size_t depth = 0;
    for (const THierarchyNode* up = b; up->GetParent() != nullptr; up = up->GetParent()) ++depth;
    EXPECT_EQ(depth, kDeep + 1);
    EXPECT_EQ(GetText(parser->Root()), "end");
    parser->Parse("<p>");                   // frees the deep tree
    parser->Parse(Repeat("<div>", kDeep));  // left open at the end
    parser.reset();
}

TEST(HostilePageTest, ManyUnmatchedEndTagsOverADeepStack) {
    THTMLParser parser;
    std::size_t warnings = 0;
    parser.OnSyntaxWarning = [&](TCustomMLParser&, const std::string&) { ++warnings; };
    parser.Parse(Repeat("<span>", kDeep) + Repeat("</x>", kDeep));
    EXPECT_EQ(warnings, kDeep);
}

TEST(HostilePageTest, AnOnlyAngleBracketPageWarnsForEachCharacter) {
    THTMLParser parser;
    std::size_t warnings = 0;
    parser.OnSyntaxWarning = [&](TCustomMLParser&, const std::string&) { ++warnings; };
    parser.Parse(std::string(1000000, '<'));
    EXPECT_EQ(warnings, 999999u);
    EXPECT_EQ(parser.Root()->ChildCount(), 0u);
    parser.Parse(std::string(1000000, '>'));
    EXPECT_EQ(parser.Root()->ChildCount(), 0u);
}

TEST(HostilePageTest, NulBytesAndInvalidUtf8AreKeptAsBytes) {
    const std::string page("<b\0 x=\xff\xfe>\0t\xc3</b\0>\xed\xa0\x80", 20);
    THTMLParser parser;
    parser.Parse(page);
    ASSERT_EQ(parser.Root()->ChildCount(), 2u);
    const THierarchyNode* b = parser.Root()->GetChild(0);
    EXPECT_EQ(b->Name(), std::string("b\0", 2));
    EXPECT_EQ(b->AttributeValue("x"), "\xff\xfe");
    EXPECT_EQ(GetText(parser.Root()), std::string("\0t\xc3\xed\xa0\x80", 6));
}

TEST(HostilePageTest, LongUnterminatedConstructsBecomeText) {
    THTMLParser parser;
    const std::string body(3000000, 'x');
    for (const char* open : {"<!--", "<!DOCTYPE ", "<![CDATA[", "<a href=\""}) {
        parser.Parse(open + body);
        ASSERT_EQ(parser.Root()->ChildCount(), 1u) << open;
        EXPECT_EQ(parser.Root()->GetChild(0)->NodeType(), TNodeType::PCData) << open;
    }
}

}  // namespace
}  // namespace kv::html
