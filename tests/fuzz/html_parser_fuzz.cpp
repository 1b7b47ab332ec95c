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
        const unsigned operation = static_cast<unsigned char>(moves[i + 2]) % 5;
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
            case 2:
                node->SetParent(nullptr);
                break;  // the returned owner frees the subtree
            case 3:     // a node made outside the parse joins the tree
                target->AddChild(std::make_unique<TTagNode>())->SetText(std::string(40, 'n'));
                break;
            default:  // grows after the parse, outside the parser's memory
                target->Attributes().emplace_back(std::string(40, 'a'));
                target->SetText(std::string(80, 't'));
                break;
        }
        if (operation == 2 || operation == 3) FindAll(parser.Root(), "*", nodes);  // changed
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
    // A node kept from the first tree must outlive the second parse.
    std::unique_ptr<THierarchyNode> kept;
    if (parser.Root()->ChildCount() > 0 && size % 2 == 0)
        kept = parser.Root()->GetChild(parser.Root()->ChildCount() - 1)->SetParent(nullptr);
    // A second parse must replace the first tree completely.
    parser.Parse(page.substr(size / 2));
    ReadTree(parser, size - size / 2);
    if (kept) {  // read all of it: the address sanitizer sees any freed memory
        TTagNodeList all;
        FindAll(kept.get(), "*", all);
        for (std::size_t i = 0; i < all.Count(); ++i)
            Check(all.Items(i)->Name().size() + all.Items(i)->Text().size() <= size + 80);
    }
    return 0;
}
