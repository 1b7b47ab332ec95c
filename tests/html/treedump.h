// A compact text form of a tree for comparing parse results in one string:
//   element      name[attr|attr]/(children)   ("/" marks Empty, parts left out when absent)
//   text         "text"
//   other nodes  Type{name|text}
// Children are separated by blanks. Recursive: for the small trees of tests only.
#pragma once

#include <string>

#include "html/hierarchy.h"

namespace kv::html::testing {

inline std::string Dump(const THierarchyNode& node);

inline std::string DumpChildren(const THierarchyNode& node) {
    std::string out;
    for (std::size_t i = 0; i < node.ChildCount(); ++i) {
        if (i > 0) out += ' ';
        out += Dump(*node.GetChild(i));
    }
    return out;
}

inline std::string Dump(const THierarchyNode& node) {
    switch (node.NodeType()) {
        case TNodeType::PCData:
            return '"' + std::string(node.Text()) + '"';
        case TNodeType::Element: {
            std::string out(node.Name());
            if (!node.Attributes().empty()) {
                out += '[';
                for (std::size_t i = 0; i < node.Attributes().size(); ++i)
                    out += (i > 0 ? "|" : "") + std::string(node.Attributes()[i]);
                out += ']';
            }
            if (auto* tag = dynamic_cast<const TTagNode*>(&node); tag != nullptr && tag->Empty())
                out += '/';
            if (node.ChildCount() > 0) out += '(' + DumpChildren(node) + ')';
            return out;
        }
        default:
            return std::string(NodeTypeName(node.NodeType())) + '{' + std::string(node.Name()) +
                   '|' + std::string(node.Text()) + '}';
    }
}

}  // namespace kv::html::testing
