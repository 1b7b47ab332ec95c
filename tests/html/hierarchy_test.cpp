#include "html/hierarchy.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/html/treedump.h"

namespace kv::html {
namespace {

using testing::DumpChildren;

std::unique_ptr<TTagNode> Element(const std::string& name) {
    auto node = std::make_unique<TTagNode>();
    node->SetNodeType(TNodeType::Element);
    node->SetName(name);
    return node;
}

// Logs its name when destroyed, to observe the order of destruction.
class LoggingNode : public THierarchyNode {
  public:
    LoggingNode(std::string name, std::vector<std::string>& log) : log_(log) { SetName(name); }
    ~LoggingNode() override { log_.emplace_back(Name()); }

  private:
    std::vector<std::string>& log_;
};

TEST(HierarchyTest, AddInsertAndRemoveChildren) {
    TTagNode root;
    THierarchyNode* a = root.AddChild(Element("a"));
    root.AddChild(Element("b"));
    THierarchyNode* c = root.InsertChild(0, Element("c"));
    root.InsertChild(99, Element("d"));  // past the end: stays last
    root.InsertChild(2, Element("e"));
    EXPECT_EQ(DumpChildren(root), "c a e b d");
    EXPECT_EQ(a->GetParent(), &root);
    EXPECT_EQ(root.GetChild(0), c);
    EXPECT_EQ(root.GetChild(5), nullptr);

    std::unique_ptr<THierarchyNode> removed = root.RemoveChild(a);
    ASSERT_EQ(removed.get(), a);
    EXPECT_EQ(a->GetParent(), nullptr);
    EXPECT_EQ(DumpChildren(root), "c e b d");
    EXPECT_EQ(root.RemoveChild(a), nullptr);  // no longer a child: ignored
    EXPECT_EQ(root.AddChild(nullptr), nullptr);
}

TEST(HierarchyTest, SetParentMovesAttachedNodesAndRefusesCycles) {
    TTagNode root;
    THierarchyNode* a = root.AddChild(Element("a"));
    THierarchyNode* b = root.AddChild(Element("b"));
    THierarchyNode* a1 = a->AddChild(Element("a1"));

    EXPECT_EQ(a1->SetParent(b), nullptr);
    EXPECT_EQ(DumpChildren(root), "a b(a1)");
    a1->SetParent(b);  // already there: nothing happens
    a->SetParent(a);   // itself: nothing happens
    b->SetParent(a1);  // its own descendant: would make a cycle, refused
    EXPECT_EQ(DumpChildren(root), "a b(a1)");

    std::unique_ptr<THierarchyNode> detached = b->SetParent(nullptr);
    ASSERT_EQ(detached.get(), b);
    EXPECT_EQ(DumpChildren(root), "a");
    EXPECT_EQ(detached->SetParent(a), nullptr);  // unowned by a parent: hand over with AddChild
    EXPECT_EQ(DumpChildren(root), "a");
    a->AddChild(std::move(detached));
    EXPECT_EQ(DumpChildren(root), "a(b(a1))");
}

TEST(HierarchyTest, AddTextChildMakesANodeOfTheSameClass) {
    TTagNode tag;
    THierarchyNode* child = tag.AddTextChild("hello", 42);
    EXPECT_NE(dynamic_cast<TTagNode*>(child), nullptr);
    EXPECT_EQ(child->Text(), "hello");
    EXPECT_EQ(child->UserValue(), 42);
    EXPECT_EQ(child->NodeType(), TNodeType::None);

    THierarchyNode plain;
    EXPECT_EQ(dynamic_cast<TTagNode*>(plain.AddTextChild("x", 0)), nullptr);
}

TEST(HierarchyTest, ClearEmptiesEverythingButTheNameAndParent) {
    TTagNode root;
    THierarchyNode* node = root.AddChild(Element("div"));
    node->AddChild(Element("p"));
    node->Attributes().push_back("id=x");
    node->SetText("t");
    node->SetUserValue(7);
    node->Clear();
    EXPECT_EQ(node->Name(), "div");
    EXPECT_EQ(node->ChildCount(), 0u);
    EXPECT_TRUE(node->Attributes().empty());
    EXPECT_EQ(node->Text(), "");
    EXPECT_EQ(node->UserValue(), 0);
    EXPECT_EQ(node->NodeType(), TNodeType::None);
    EXPECT_EQ(node->GetParent(), &root);
}

// The derived destructor body runs first; then the subtree goes, last child first, each
// node's children before the node itself.
TEST(HierarchyTest, DestroysTheSubtreeLastChildFirst) {
    std::vector<std::string> log;
    {
        auto root = std::make_unique<LoggingNode>("root", log);
        THierarchyNode* a = root->AddChild(std::make_unique<LoggingNode>("a", log));
        a->AddChild(std::make_unique<LoggingNode>("a1", log));
        a->AddChild(std::make_unique<LoggingNode>("a2", log));
        root->AddChild(std::make_unique<LoggingNode>("b", log));
    }
    EXPECT_EQ(log, (std::vector<std::string>{"root", "b", "a2", "a1", "a"}));
}

TEST(HierarchyTest, AttributeValuesByNameIgnoringCase) {
    TTagNode node;
    node.Attributes() = {"checked", "NAME=Keywords", "name=second", "=x", "content=a=b", "empty="};
    EXPECT_EQ(node.AttributeValue("name"), "Keywords");  // the first matching entry
    EXPECT_EQ(node.AttributeValue("Content"), "a=b");    // after the first "=" only
    EXPECT_EQ(node.FindAttribute("empty"), std::string_view(""));
    EXPECT_EQ(node.FindAttribute("checked"), std::nullopt);  // a bare word has no value
    EXPECT_EQ(node.AttributeValue("missing"), "");
    EXPECT_EQ(node.AttributeValue(""), "x");
}

TEST(HierarchyTest, NodeListIsBoundsSafe) {
    TTagNode a, b;
    TTagNodeList list;
    list.Add(&a);
    list.Add(&b);
    EXPECT_EQ(list.Items(1), &b);
    EXPECT_EQ(list.Items(2), nullptr);
    list.Delete(5);
    list.Delete(0);
    ASSERT_EQ(list.Count(), 1u);
    EXPECT_EQ(list.Items(0), &b);
    list.Clear();
    EXPECT_EQ(list.Count(), 0u);
}

TEST(HierarchyTest, NodeTypeNames) {
    EXPECT_EQ(NodeTypeName(TNodeType::None), "None");
    EXPECT_EQ(NodeTypeName(TNodeType::Element), "Element");
    EXPECT_EQ(NodeTypeName(TNodeType::PCData), "PCData");
    EXPECT_EQ(NodeTypeName(TNodeType::Comment), "Comment");
    EXPECT_EQ(NodeTypeName(TNodeType::DTDItem), "DTDItem");
    EXPECT_EQ(NodeTypeName(TNodeType::CData), "CData");
}

}  // namespace
}  // namespace kv::html
