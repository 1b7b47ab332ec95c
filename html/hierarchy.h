// The element tree of a parsed page: the generic node that owns its children, the HTML node
// and a list that refers to nodes without owning them.
// Ownership: a node owns its children (std::unique_ptr); a parent link is a plain pointer. A node
// without a parent is owned by whoever holds its std::unique_ptr (the parser owns its root).
// Destroying a node never recurses, so a tree of any depth is freed without stack growth.
// Memory: see operator new below; a node stays valid wherever it is moved, as long as it lives.
// Tests: tests/html/hierarchy_test.cpp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <memory_resource>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kv::html {

enum class TNodeType : std::uint8_t {
    None = 0,
    Element = 1,
    PCData = 2,
    Comment = 3,
    DTDItem = 4,
    CData = 5
};

// "None", "Element", "PCData", "Comment", "DTDItem", "CData".
std::string_view NodeTypeName(TNodeType type);

class TNodeArena;

// Attribute entries; in the node's own memory (see THierarchyNode()).
using TAttributeList = std::pmr::vector<std::pmr::string>;

// Only the parser makes one: it lets the parser append the nodes it made itself, which keeps
// the tree's record of being untouched (see TNodeArena::MarkChanged).
class TParseKey {
    friend class TCustomMLParser;
    TParseKey() = default;
};

class THierarchyNode {
  public:
    THierarchyNode();
    virtual ~THierarchyNode();
    THierarchyNode(const THierarchyNode&) = delete;
    THierarchyNode& operator=(const THierarchyNode&) = delete;

    // Nodes made during a parse live in the parser's arena (html/nodearena.h), others on the
    // heap; delete and std::unique_ptr work the same for both.
    static void* operator new(std::size_t size);
    static void operator delete(void* memory) noexcept;

    THierarchyNode* GetParent() const { return parent_; }

    // Moves this node, which has a parent, to the end of newParent's children. Nothing happens
    // when newParent is the current parent, this node, or one of its descendants (a cycle).
    // With newParent == nullptr the node is detached and its ownership handed to the caller.
    // A node without a parent is owned by a std::unique_ptr: hand it over with AddChild.
    std::unique_ptr<THierarchyNode> SetParent(THierarchyNode* newParent);

    // The child at index, nullptr outside 0 .. ChildCount()-1.
    THierarchyNode* GetChild(std::size_t index) const;
    std::size_t ChildCount() const { return children_.size(); }

    // A new, detached node of this node's own class (the "virtual constructor").
    virtual std::unique_ptr<THierarchyNode> CreateNode() const;

    // Appends node (a detached node) to the children; returns it (nullptr for nullptr).
    virtual THierarchyNode* AddChild(std::unique_ptr<THierarchyNode> node);
    // For the parser: appends a node it has just made (not nullptr).
    void AppendParsed(std::unique_ptr<THierarchyNode> node, TParseKey);
    // Appends node, then moves it to index; an index past the end leaves it last.
    virtual THierarchyNode* InsertChild(std::size_t index, std::unique_ptr<THierarchyNode> node);
    // Makes a node of this node's class with the given Text and UserValue and appends it.
    virtual THierarchyNode* AddTextChild(std::string_view text, std::int32_t value);
    // Detaches node when it is a child of this node and hands it to the caller; else nullptr.
    virtual std::unique_ptr<THierarchyNode> RemoveChild(THierarchyNode* node);

    // Destroys the children, empties the attributes and the text, sets the type to None and
    // UserValue to 0. The name and the parent link stay.
    void Clear();

    std::string_view Name() const { return name_; }
    void SetName(std::string_view name) { name_.assign(name); }
    std::string_view Text() const { return text_; }
    void SetText(std::string_view text) { text_.assign(text); }
    std::int32_t UserValue() const { return userValue_; }
    void SetUserValue(std::int32_t value) { userValue_ = value; }
    TNodeType NodeType() const { return nodeType_; }
    void SetNodeType(TNodeType type) { nodeType_ = type; }

    // Entries "name=value" (quotes removed) or a bare word, in the order written.
    const TAttributeList& Attributes() const { return attributes_; }
    TAttributeList& Attributes() { return attributes_; }

    // The value of the first entry whose text before its first "=" equals name, ASCII case
    // ignored; std::nullopt when there is none (bare words have no value and never match).
    std::optional<std::string_view> FindAttribute(std::string_view name) const;
    // The same, with a missing attribute read as the empty text.
    std::string_view AttributeValue(std::string_view name) const {
        return FindAttribute(name).value_or(std::string_view());
    }

  private:
    friend class TCustomMLParser;

    explicit THierarchyNode(std::pmr::memory_resource* memory);
    void Append(std::unique_ptr<THierarchyNode> node);
    void DestroyChildren() noexcept;
    std::unique_ptr<THierarchyNode> Detach();
    // Records in this node's arena, if it has one, that the tree was changed from outside.
    void MarkArenaChanged() const;
    // For the parser, before it rewinds arena: when this node has exactly parsedChildren
    // children and arena holds exactly parsedNodes nodes, all made and appended by its last
    // parse and untouched since (TNodeArena::HoldsOnlyNodes), lets go of the children without
    // running a destructor (their memory goes with the arena) and returns true. Otherwise
    // changes nothing and returns false.
    bool AbandonArenaChildren(TNodeArena& arena, std::size_t parsedNodes,
                              std::size_t parsedChildren);

    // Children, name, text and attributes live in the parser's arena for nodes made by a parse
    // (see THierarchyNode()), else on the heap.
    std::pmr::vector<std::unique_ptr<THierarchyNode>> children_;
    THierarchyNode* parent_ = nullptr;
    std::pmr::string name_;
    std::pmr::string text_;
    TAttributeList attributes_;
    std::int32_t userValue_ = 0;
    TNodeType nodeType_ = TNodeType::None;  // last and one byte: TTagNode's flag fits after it
};

// Every node the parser makes. Empty: the element takes no end tag (void element or "/>").
class TTagNode : public THierarchyNode {
  public:
    std::unique_ptr<THierarchyNode> CreateNode() const override;

    bool Empty() const { return empty_; }
    void SetEmpty(bool empty) { empty_ = empty; }

  private:
    bool empty_ = false;
};

// An ordered list of node references; it owns nothing, so its entries must not be used after
// the tree they point into is rebuilt (the next Parse) or destroyed.
class TTagNodeList {
  public:
    void Clear() { items_.clear(); }
    std::size_t Count() const { return items_.size(); }
    // nullptr when index is outside 0 .. Count()-1.
    THierarchyNode* Items(std::size_t index) const {
        return index < items_.size() ? items_[index] : nullptr;
    }
    void Add(THierarchyNode* node) { items_.push_back(node); }
    // Ignored outside 0 .. Count()-1.
    void Delete(std::size_t index);

  private:
    std::vector<THierarchyNode*> items_;
};

}  // namespace kv::html
