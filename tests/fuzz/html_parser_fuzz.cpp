// libFuzzer entry for the HTML tree parser: parse any bytes with every event set, read the
// tree the way callers do (text, head, META keywords, all nodes), reparse, destroy.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "html/htmlparser.h"
#include "html/nodesearch.h"

using namespace kv::html;

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

void ReadTree(const THTMLParser& parser, std::size_t pageSize) {
    // Text nodes hold page bytes only, each byte at most once.
    Check(GetText(parser.Root()).size() <= pageSize);

    TTagNodeList list;
    if (THierarchyNode* head = FindFirst(parser.Root(), "head")) {
        FindAllByAttribute(head, "meta", list, "keywords", "name");
        if (list.Count() > 0) Check(list.Items(0)->AttributeValue("content").size() <= pageSize);
    }
    FindAll(parser.Root(), "*", list);
    for (std::size_t i = 0; i < list.Count(); ++i) {
        const THierarchyNode* node = list.Items(i);
        const THierarchyNode* up = node;
        while (up->GetParent() != nullptr) up = up->GetParent();
        Check(up == parser.Root());
    }
    Check(list.Items(list.Count()) == nullptr);
}

// Moves nodes around the tree as the input's bytes say; the tree must stay a tree.
void MoveNodes(THTMLParser& parser, std::string_view moves) {
    TTagNodeList nodes;
    FindAll(parser.Root(), "*", nodes);
    if (nodes.Count() == 0) return;
    for (std::size_t i = 0; i + 2 < moves.size() && i < 64; i += 3) {
        THierarchyNode* node = nodes.Items(static_cast<unsigned char>(moves[i]) % nodes.Count());
        THierarchyNode* target =
            nodes.Items(static_cast<unsigned char>(moves[i + 1]) % nodes.Count());
        const unsigned operation = static_cast<unsigned char>(moves[i + 2]) % 3;
        switch (operation) {
            case 0:
                node->SetParent(target);
                break;
            case 1: {
                THierarchyNode* parent = node->GetParent();
                if (parent == nullptr) break;
                std::unique_ptr<THierarchyNode> detached = parent->RemoveChild(node);
                Check(detached != nullptr);
                parser.Root()->InsertChild(static_cast<unsigned char>(moves[i + 1]),
                                           std::move(detached));
                break;
            }
            default:
                node->SetParent(nullptr);
                break;  // the returned owner frees the subtree
        }
        if (operation == 2) FindAll(parser.Root(), "*", nodes);  // entries were freed
        if (nodes.Count() == 0) return;
    }
    // Every child reached from the root names its parent correctly.
    FindAll(parser.Root(), "*", nodes);
    nodes.Add(parser.Root());
    for (std::size_t i = 0; i < nodes.Count(); ++i) {
        const THierarchyNode* node = nodes.Items(i);
        for (std::size_t k = 0; k < node->ChildCount(); ++k)
            Check(node->GetChild(k)->GetParent() == node);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view page(reinterpret_cast<const char*>(data), size);
    THTMLParser parser;
    std::size_t events = 0;
    parser.OnStartTag = [&](TCustomMLParser& sender, TTagNode& node) {
        ++events;
        Check(node.NodeType() == TNodeType::Element);
        sender.Parse("<p>ignored while busy");
    };
    parser.OnTag = [&](TCustomMLParser&, TTagNode&) { ++events; };
    parser.OnEndTag = [&](TCustomMLParser&, const std::string&) { ++events; };
    parser.OnSyntaxWarning = [&](TCustomMLParser&, const std::string& text) {
        Check(text.find("[Row:") != std::string::npos);
    };
    parser.Parse(page);
    ReadTree(parser, size);
    MoveNodes(parser, page.substr(0, 64));
    // A second parse must replace the first tree completely.
    parser.Parse(page.substr(size / 2));
    ReadTree(parser, size - size / 2);
    return 0;
}
