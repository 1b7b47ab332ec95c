// Nodes of a parsed tree live in the parser's arena: nodes the caller detached must stay valid
// after the next Parse and after the parser is gone; nodes made outside a parse use the heap.
#include "html/nodearena.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "html/htmlparser.h"
#include "html/nodesearch.h"
#include "tests/html/treedump.h"

namespace kv::html {
namespace {

using testing::Dump;

TEST(NodeArenaTest, DetachedNodesOutliveTheNextParseAndTheParser) {
    auto parser = std::make_unique<THTMLParser>();
    parser->Parse("<div id=\"a long attribute value\"><p>kept text that is not short</p></div>");
    THierarchyNode* div = FindFirst(parser->Root(), "div");
    ASSERT_NE(div, nullptr);
    std::unique_ptr<THierarchyNode> kept = div->SetParent(nullptr);
    ASSERT_EQ(kept.get(), div);

    parser->Parse("<b>next page</b><i>other</i>");  // rewinding must not reuse kept's memory
    EXPECT_EQ(Dump(*parser->Root()->GetChild(1)), "i(\"other\")");
    parser.reset();
    EXPECT_EQ(Dump(*kept), "div[id=a long attribute value](p(\"kept text that is not short\"))");

    // Its child list, begun in the arena, grows on the heap now that the parse is over.
    THierarchyNode* p = kept->GetChild(0);
    for (int i = 0; i < 100; ++i) p->AddTextChild(std::string(40, 'x'), i);
    ASSERT_EQ(p->ChildCount(), 101u);
    EXPECT_EQ(p->GetChild(100)->UserValue(), 99);
    p->RemoveChild(p->GetChild(0));

    // A kept node can join a tree made outside any parse, and be freed with it.
    TTagNode root;
    root.AddChild(std::move(kept));
    EXPECT_EQ(root.GetChild(0)->GetChild(0)->ChildCount(), 100u);
}

TEST(NodeArenaTest, NodesMovedBetweenParsersStayValid) {
    THTMLParser first, second;
    first.Parse("<ul><li>one</li><li>two</li></ul>");
    second.Parse("<ol></ol>");
    THierarchyNode* ul = FindFirst(first.Root(), "ul");
    THierarchyNode* ol = FindFirst(second.Root(), "ol");
    ul->GetChild(0)->SetParent(ol);
    first.Parse("<br>");  // the moved li still belongs to first's earlier tree memory
    EXPECT_EQ(Dump(*ol), "ol(li(\"one\"))");
    second.Parse("");  // frees the li and with it the last use of first's old arena
    EXPECT_EQ(second.Root()->ChildCount(), 0u);
}

TEST(NodeArenaTest, HandlersMayAddNodesDuringTheParse) {
    THTMLParser parser;
    parser.OnStartTag = [](TCustomMLParser&, TTagNode& node) {
        node.AddTextChild("added by the handler, longer than short", 1);
    };
    parser.Parse("<p>");
    std::unique_ptr<THierarchyNode> p = parser.Root()->RemoveChild(parser.Root()->GetChild(0));
    parser.Parse("<p>again</p>");
    ASSERT_EQ(p->ChildCount(), 1u);
    EXPECT_EQ(p->GetChild(0)->Text(), "added by the handler, longer than short");
}

// Counts its destruction, to see that a reparse destroys nodes it did not make.
class CountedNode : public TTagNode {
  public:
    explicit CountedNode(int& destroyed) : destroyed_(destroyed) {}
    ~CountedNode() override { ++destroyed_; }

  private:
    int& destroyed_;
};

// A reparse drops the last tree in one step only when it is exactly as parsed; every other
// shape must be destroyed node by node, and nodes still in use must stay valid.
TEST(NodeArenaTest, ReparseDestroysNodesAddedFromOutside) {
    THTMLParser parser;
    int destroyed = 0;
    parser.Parse("<div><p>text</p></div>");
    parser.Root()->AddChild(std::make_unique<CountedNode>(destroyed));
    parser.Parse("<div><p>text</p></div>");
    EXPECT_EQ(destroyed, 1);

    FindFirst(parser.Root(), "p")->AddChild(std::make_unique<CountedNode>(destroyed));
    parser.Parse("<b>x</b>");
    EXPECT_EQ(destroyed, 2);

    // Added and removed again: nothing of it is left in the tree.
    parser.Root()->AddChild(std::make_unique<CountedNode>(destroyed));
    std::unique_ptr<THierarchyNode> taken = parser.Root()->RemoveChild(parser.Root()->GetChild(1));
    taken.reset();
    EXPECT_EQ(destroyed, 3);
    parser.Parse("<i>y</i>");

    // A handler's node in the tree, and one the handler keeps outside it.
    std::unique_ptr<THierarchyNode> kept;
    parser.OnStartTag = [&](TCustomMLParser&, TTagNode& node) {
        node.AddChild(std::make_unique<CountedNode>(destroyed));
        if (!kept) {
            kept = std::make_unique<TTagNode>();
            kept->SetText(std::string(100, 'k'));
        }
    };
    parser.Parse("<em>z</em>");
    parser.OnStartTag = nullptr;
    parser.Parse(std::string(200, 'a'));
    parser.Parse("<u>" + std::string(200, 'b') + "</u>");
    EXPECT_EQ(destroyed, 4);
    EXPECT_EQ(kept->Text(), std::string(100, 'k'));
}

TEST(NodeArenaTest, NodesChangedAfterTheParseAreFreedByTheReparse) {
    THTMLParser parser;
    for (int round = 0; round < 4; ++round) {
        parser.Parse("<a href=x>link</a><p>para</p>");
        THierarchyNode* a = FindFirst(parser.Root(), "a");
        ASSERT_NE(a, nullptr);
        if (round % 2 == 0) {
            // Grown on the heap now that the parse is over (a leak checker sees a missed free).
            for (int i = 0; i < 20; ++i) a->Attributes().emplace_back(std::string(40, 'v'));
            a->SetText(std::string(300, 't'));
            EXPECT_EQ(a->Attributes().size(), 21u);
        } else {
            FindFirst(parser.Root(), "p")->SetParent(a);  // moved inside the tree
            EXPECT_EQ(Dump(*parser.Root()->GetChild(0)), "a[href=x](\"link\" p(\"para\"))");
        }
    }
    parser.Parse("");
    EXPECT_EQ(parser.Root()->ChildCount(), 0u);
}

}  // namespace
}  // namespace kv::html
