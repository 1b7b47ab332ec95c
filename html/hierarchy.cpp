#include "html/hierarchy.h"

#include <algorithm>
#include <utility>

#include "html/nodearena.h"
#include "text/textcompare.h"

namespace kv::html {

std::string_view NodeTypeName(TNodeType type) {
    switch (type) {
        case TNodeType::None:
            return "None";
        case TNodeType::Element:
            return "Element";
        case TNodeType::PCData:
            return "PCData";
        case TNodeType::Comment:
            return "Comment";
        case TNodeType::DTDItem:
            return "DTDItem";
        case TNodeType::CData:
            return "CData";
    }
    return "None";
}

void* THierarchyNode::operator new(std::size_t size) {
    return TNodeArena::AllocateNode(size);
}

void THierarchyNode::operator delete(void* memory) noexcept {
    TNodeArena::FreeNode(memory);
}

namespace {

std::pmr::memory_resource* MemoryOfNewNode(const THierarchyNode* node) {
    TNodeArena* arena = TNodeArena::ArenaOfNewNode(node);
    return arena != nullptr ? static_cast<std::pmr::memory_resource*>(arena)
                            : std::pmr::new_delete_resource();
}

}  // namespace

// The arena's memory stays valid as long as this node: the node's own allocation holds a
// reference to it (released by operator delete, after the members are gone).
THierarchyNode::THierarchyNode() : THierarchyNode(MemoryOfNewNode(this)) {}

THierarchyNode::THierarchyNode(std::pmr::memory_resource* memory)
    : children_(memory), name_(memory), text_(memory), attributes_(memory) {}

THierarchyNode::~THierarchyNode() {
    DestroyChildren();
}

// Frees the subtree children before their parent, last child first, walking down the last
// children and back up by the parent links: nothing recurses and nothing is allocated, so a
// tree of any depth can be freed while an out-of-memory failure unwinds.
void THierarchyNode::DestroyChildren() noexcept {
    THierarchyNode* node = this;
    for (;;) {
        if (!node->children_.empty()) {
            node = node->children_.back().get();
            continue;
        }
        if (node == this) return;
        THierarchyNode* parent = node->parent_;
        parent->children_.pop_back();  // node has no children: its destructor does not descend
        node = parent;
    }
}

bool THierarchyNode::AbandonArenaChildren(TNodeArena& arena, std::size_t parsedNodes,
                                          std::size_t parsedChildren) {
    if (children_.size() != parsedChildren || !arena.HoldsOnlyNodes(parsedNodes)) return false;
    for (std::unique_ptr<THierarchyNode>& child : children_) (void)child.release();
    children_.clear();
    arena.ForgetNodes();
    return true;
}

void THierarchyNode::MarkArenaChanged() const {
    // A node's memory is its arena or the heap (see MemoryOfNewNode).
    std::pmr::memory_resource* memory = children_.get_allocator().resource();
    if (memory != std::pmr::new_delete_resource()) static_cast<TNodeArena*>(memory)->MarkChanged();
}

std::unique_ptr<THierarchyNode> THierarchyNode::Detach() {
    if (parent_ == nullptr) return nullptr;
    MarkArenaChanged();
    auto& siblings = parent_->children_;
    auto it = std::find_if(siblings.begin(), siblings.end(),
                           [this](const auto& child) { return child.get() == this; });
    if (it == siblings.end()) return nullptr;
    std::unique_ptr<THierarchyNode> self = std::move(*it);
    siblings.erase(it);
    parent_ = nullptr;
    return self;
}

std::unique_ptr<THierarchyNode> THierarchyNode::SetParent(THierarchyNode* newParent) {
    if (newParent == parent_ || newParent == this) return nullptr;
    if (parent_ == nullptr) return nullptr;  // owned by a unique_ptr elsewhere: see AddChild
    for (const THierarchyNode* up = newParent; up != nullptr; up = up->parent_)
        if (up == this) return nullptr;
    std::unique_ptr<THierarchyNode> self = Detach();
    if (newParent == nullptr) return self;
    newParent->AddChild(std::move(self));
    return nullptr;
}

THierarchyNode* THierarchyNode::GetChild(std::size_t index) const {
    return index < children_.size() ? children_[index].get() : nullptr;
}

std::unique_ptr<THierarchyNode> THierarchyNode::CreateNode() const {
    return std::make_unique<THierarchyNode>();
}

THierarchyNode* THierarchyNode::AddChild(std::unique_ptr<THierarchyNode> node) {
    if (!node) return nullptr;
    MarkArenaChanged();
    THierarchyNode* added = node.get();
    Append(std::move(node));
    return added;
}

void THierarchyNode::AppendParsed(std::unique_ptr<THierarchyNode> node, TParseKey) {
    Append(std::move(node));
}

void THierarchyNode::Append(std::unique_ptr<THierarchyNode> node) {
    node->parent_ = this;
    if (children_.empty()) children_.reserve(3);  // three pointers fill the smallest heap block
    children_.push_back(std::move(node));
}

THierarchyNode* THierarchyNode::InsertChild(std::size_t index,
                                            std::unique_ptr<THierarchyNode> node) {
    THierarchyNode* added = AddChild(std::move(node));
    if (added != nullptr && index < children_.size() - 1)
        std::rotate(children_.begin() + static_cast<std::ptrdiff_t>(index), children_.end() - 1,
                    children_.end());
    return added;
}

THierarchyNode* THierarchyNode::AddTextChild(std::string_view text, std::int32_t value) {
    std::unique_ptr<THierarchyNode> node = CreateNode();
    node->text_.assign(text);
    node->userValue_ = value;
    return AddChild(std::move(node));
}

std::unique_ptr<THierarchyNode> THierarchyNode::RemoveChild(THierarchyNode* node) {
    if (node == nullptr || node->parent_ != this) return nullptr;
    return node->Detach();
}

void THierarchyNode::Clear() {
    MarkArenaChanged();
    DestroyChildren();
    attributes_.clear();
    text_.clear();
    nodeType_ = TNodeType::None;
    userValue_ = 0;
}

std::optional<std::string_view> THierarchyNode::FindAttribute(std::string_view name) const {
    for (const std::string_view view : attributes_) {
        const std::size_t eq = view.find('=');
        if (eq == std::string_view::npos) continue;
        if (text::SameAsciiNoCase(view.substr(0, eq), name)) return view.substr(eq + 1);
    }
    return std::nullopt;
}

std::unique_ptr<THierarchyNode> TTagNode::CreateNode() const {
    return std::make_unique<TTagNode>();
}

void TTagNodeList::Delete(std::size_t index) {
    if (index < items_.size()) items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(index));
}

}  // namespace kv::html
