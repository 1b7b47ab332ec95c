// The forgiving single-pass HTML parser: any byte string becomes a tree of TTagNode under
// Root(); problems are reported as warnings and parsing goes on. Entities and character
// references are left as written. Time and memory are linear in the page; nothing recurses.
// Tests: tests/html/htmlparser_test.cpp, tests/html/hostile_test.cpp; fuzzed by
// tests/fuzz/html_parser_fuzz.cpp.
//
// Reading a page's META keywords (html/nodesearch.h has the lookups):
//   THTMLParser parser;
//   parser.Parse(page);
//   TTagNodeList metas;
//   if (THierarchyNode* head = FindFirst(parser.Root(), "head")) {
//       FindAllByAttribute(head, "meta", metas, "keywords", "name");
//       if (metas.Count() > 0) keywords = std::string(metas.Items(0)->AttributeValue("content"));
//   }
// The nodes, the list entries and the views Name, Text and AttributeValue return belong to the
// parser's tree: copy what must outlive the next Parse or the parser.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "html/hierarchy.h"
#include "html/nodearena.h"
#include "html/parserstack.h"
#include "html/tagsplit.h"

namespace kv::html {

class TCustomMLParser;

// The one failure of a parse: the page's tree would take more memory than one page may
// (kMaxTreeBytes in htmlparser.cpp). The tree is empty afterwards.
class EHtmlPageTooLarge : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Handlers run inside Parse. They may read and annotate nodes but must not destroy nodes of the
// tree being built; a nested Parse call from a handler does nothing.
using TTagNotifyEvent = std::function<void(TCustomMLParser& sender, TTagNode& node)>;
using TTagCloseEvent = std::function<void(TCustomMLParser& sender, const std::string& name)>;
using TSyntaxNotifyEvent = std::function<void(TCustomMLParser& sender, const std::string& text)>;

class TCustomMLParser {
  public:
    TCustomMLParser();
    virtual ~TCustomMLParser();
    TCustomMLParser(const TCustomMLParser&) = delete;
    TCustomMLParser& operator=(const TCustomMLParser&) = delete;

    // Rebuilds the tree under Root() from text. Returns at once when already parsing. Raises
    // EHtmlPageTooLarge, with an empty tree, when the tree passes its memory budget.
    virtual void Parse(std::string_view text) = 0;

    // The top of the tree (type None, empty name); it lives as long as the parser, its
    // children until the next Parse.
    TTagNode* Root() const { return root_.get(); }
    bool Busy() const { return busy_; }

    TTagNotifyEvent OnStartTag;  // an element was added to the tree
    TTagNotifyEvent OnTag;       // an element was closed by its end tag, or is empty
    TTagCloseEvent OnEndTag;     // an end tag was read (lower-cased name as written)
    TSyntaxNotifyEvent OnSyntaxWarning;

  protected:
    // Empties the root and the stack and makes the arena ready for the nodes of a new tree.
    void ClearTree();
    // Lets go of the last tree at once when it is exactly as parsed and nothing else of its
    // arena is alive; otherwise leaves it to be destroyed node by node.
    void AbandonParsedTree();
    // For parsers: the key to THierarchyNode::AppendParsed, for the nodes a parse makes.
    static TParseKey ParseKey() { return TParseKey(); }

    // Holds the nodes of the current tree and of any node detached from it and kept.
    TNodeArena* arena_;
    std::unique_ptr<TTagNode> root_;
    TParserStack stack_;
    TSplitTag split_;  // kept from parse to parse for its capacity
    // What the last complete parse appended: all nodes, and those on the root.
    struct TParsedCounts {
        std::size_t nodes = 0;
        std::size_t rootChildren = 0;
    };
    std::optional<TParsedCounts> parsed_;
    bool busy_ = false;
};

class THTMLParser : public TCustomMLParser {
  public:
    void Parse(std::string_view text) override;
};

}  // namespace kv::html
