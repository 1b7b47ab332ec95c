#include "html/nodesearch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "html/htmlparser.h"

namespace kv::html {
namespace {

std::vector<std::string> Names(const TTagNodeList& list) {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < list.Count(); ++i) {
        const THierarchyNode* node = list.Items(i);
        names.push_back(node->NodeType() == TNodeType::PCData
                            ? '"' + std::string(node->Text()) + '"'
                            : std::string(node->Name()));
    }
    return names;
}

class NodeSearchTest : public ::testing::Test {
  protected:
    void Parse(const std::string& page) { parser_.Parse(page); }
    THierarchyNode* Root() { return parser_.Root(); }
    THTMLParser parser_;
};

TEST_F(NodeSearchTest, FindFirstSearchesDepthFirstInDocumentOrder) {
    Parse("<div id=1><span><b id=deep></b></span></div><B id=later></B>");
    THierarchyNode* b = FindFirst(Root(), "b");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->AttributeValue("id"), "deep");  // descendants before the next sibling
    EXPECT_EQ(FindFirst(Root(), "SPAN")->Name(), "span");
    THierarchyNode* div = FindFirst(Root(), "div");
    EXPECT_EQ(FindFirst(div, "div"), nullptr);  // the node itself is not tested
    EXPECT_EQ(FindFirst(Root(), "table"), nullptr);
    EXPECT_EQ(FindFirst(nullptr, "b"), nullptr);
}

TEST_F(NodeSearchTest, FindAllListsDescendantsInPreOrder) {
    Parse("<ul><li>a<li><ul><li>b</ul></ul><LI>c");
    TTagNodeList list;
    list.Add(Root());  // cleared first
    FindAll(Root(), "li", list);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"li", "li", "li", "LI"}));

    FindAll(FindFirst(Root(), "ul"), "*", list);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"li", "\"a\"", "li", "ul", "li", "\"b\""}));
    FindAll(FindFirst(Root(), "ul"), "", list);
    EXPECT_EQ(list.Count(), 6u);

    FindAll(nullptr, "li", list);
    EXPECT_EQ(list.Count(), 0u);
}

TEST_F(NodeSearchTest, FindAllByAttributeComparesValuesIgnoringCaseOnly) {
    Parse(
        "<head><META NAME=Keywords CONTENT=\"seo, web design;tools\">"
        "<meta name=\"keywords \" content=trailing><meta name=keyword content=short>"
        "<meta content=nameless><div><meta NaMe=KEYWORDS content=second></div></head>");
    TTagNodeList list;
    FindAllByAttribute(FindFirst(Root(), "head"), "meta", list, "keywords", "name");
    ASSERT_EQ(list.Count(), 2u);
    EXPECT_EQ(list.Items(0)->AttributeValue("content"), "seo, web design;tools");
    EXPECT_EQ(list.Items(1)->AttributeValue("Content"), "second");

    // A missing attribute reads as the empty value.
    FindAllByAttribute(Root(), "meta", list, "", "name");
    ASSERT_EQ(list.Count(), 1u);
    EXPECT_EQ(list.Items(0)->AttributeValue("content"), "nameless");

    FindAllByAttribute(nullptr, "meta", list, "keywords", "name");
    EXPECT_EQ(list.Count(), 0u);
}

TEST_F(NodeSearchTest, GetTextJoinsTextNodesOnly) {
    Parse("a<!-- c --><p>b<script>x()</script><![CDATA[z]]>c</p><!DOCTYPE d>e");
    EXPECT_EQ(GetText(Root()), "abx()ce");
}

TEST_F(NodeSearchTest, GetTextOfATextNodeIsItsText) {
    Parse("<b>bold</b>");
    const THierarchyNode* text = FindFirst(Root(), "PCDATA");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(GetText(text), "bold");
    EXPECT_EQ(GetText(nullptr), "");
}

}  // namespace
}  // namespace kv::html
