#include "html/nodesearch.h"

#include <cstddef>
#include <utility>
#include <vector>

#include "text/textcompare.h"

namespace kv::html {

namespace {

// Calls visit(node) for every descendant of root in pre-order until it returns true; returns
// that node. descendInto(node) decides whether a node's children are walked.
template <typename Visit, typename DescendInto>
THierarchyNode* WalkDescendants(const THierarchyNode* root, Visit visit, DescendInto descendInto) {
    if (root == nullptr) return nullptr;
    std::vector<std::pair<const THierarchyNode*, std::size_t>> path{{root, 0}};
    while (!path.empty()) {
        auto& [parent, next] = path.back();
        THierarchyNode* child = parent->GetChild(next);
        if (child == nullptr) {
            path.pop_back();
            continue;
        }
        ++next;
        if (visit(*child)) return child;
        if (child->ChildCount() > 0 && descendInto(*child)) path.emplace_back(child, 0);
    }
    return nullptr;
}

bool NameMatches(const THierarchyNode& node, std::string_view name) {
    return text::SameAsciiNoCase(node.Name(), name);
}

bool IsWildcard(std::string_view name) {
    return name.empty() || name == "*";
}

const auto kAlways = [](const THierarchyNode&) { return true; };

}  // namespace

std::string GetText(const THierarchyNode* node) {
    if (node == nullptr) return {};
    if (node->NodeType() == TNodeType::PCData) return std::string(node->Text());
    std::string text;
    auto isText = [](const THierarchyNode& n) { return n.NodeType() == TNodeType::PCData; };
    WalkDescendants(
        node,
        [&](const THierarchyNode& n) {
            if (isText(n)) text += n.Text();
            return false;
        },
        [&](const THierarchyNode& n) { return !isText(n); });
    return text;
}

THierarchyNode* FindFirst(const THierarchyNode* node, std::string_view name) {
    return WalkDescendants(
        node, [&](const THierarchyNode& n) { return NameMatches(n, name); }, kAlways);
}

void FindAll(const THierarchyNode* node, std::string_view name, TTagNodeList& list) {
    list.Clear();
    const bool all = IsWildcard(name);
    WalkDescendants(
        node,
        [&](THierarchyNode& n) {
            if (all || NameMatches(n, name)) list.Add(&n);
            return false;
        },
        kAlways);
}

void FindAllByAttribute(const THierarchyNode* node, std::string_view name, TTagNodeList& list,
                        std::string_view value, std::string_view attributeName) {
    list.Clear();
    const bool all = IsWildcard(name);
    WalkDescendants(
        node,
        [&](THierarchyNode& n) {
            if ((all || NameMatches(n, name)) &&
                text::SameAsciiNoCase(n.AttributeValue(attributeName), value))
                list.Add(&n);
            return false;
        },
        kAlways);
}

}  // namespace kv::html
