// Reading a tree: the text of a subtree and lookups of descendants by element name and by
// attribute value. All walks are iterative, so a tree of any depth is safe to search.
// Names are compared ignoring ASCII letter case only. A null node finds nothing.
// Tests: tests/html/nodesearch_test.cpp.
#pragma once

#include <string>
#include <string_view>

#include "html/hierarchy.h"

namespace kv::html {

// The texts of all PCData nodes of node's subtree in document order (a PCData node gives its
// own text).
std::string GetText(const THierarchyNode* node);

// The first descendant of node (node itself not tested) in pre-order whose Name equals name;
// nullptr when there is none.
THierarchyNode* FindFirst(const THierarchyNode* node, std::string_view name);

// Clears list, then adds every descendant of node in pre-order whose Name equals name; an
// empty name or "*" matches every descendant.
void FindAll(const THierarchyNode* node, std::string_view name, TTagNodeList& list);

// As FindAll, keeping only nodes whose attribute attributeName has a value equal to value
// (ASCII case ignored, nothing trimmed); a missing attribute counts as the empty value.
void FindAllByAttribute(const THierarchyNode* node, std::string_view name, TTagNodeList& list,
                        std::string_view value, std::string_view attributeName);

}  // namespace kv::html
