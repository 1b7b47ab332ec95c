// The parser's tree, built in its node arena with interned names, against a naive build of the
// same nesting rules on plain heap nodes, over generated tag soup. For byte soup that no model
// describes, the parser's links are checked and its tree must not depend on the arena's path:
// a fresh parser, a reused one (rewound arena) and one whose last tree kept a node alive
// (new arena) agree, and kept nodes survive later parses unchanged.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "html/elementlists.h"
#include "html/htmlparser.h"
#include "tests/html/treedump.h"

namespace kv::html {
namespace {

using testing::Dump;

struct ModelNode {
    TNodeType type = TNodeType::None;
    std::string name;
    std::string text;
    std::vector<std::string> attributes;
    bool empty = false;
    std::vector<std::unique_ptr<ModelNode>> children;
};

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

// Writes a page token by token and builds its tree the plain way: names compared as lower-case
// strings, the open elements a vector searched from the top.
class ModelPage {
  public:
    void Text(const std::string& text) {
        page_ += text;
        pending_ += text;
    }
    void Comment(const std::string& body) {
        page_ += "<!--" + body + "-->";
        Flush();
        const auto first = body.find_first_not_of(" \t\n");
        const std::string trimmed =
            first == std::string::npos
                ? std::string()
                : body.substr(first, body.find_last_not_of(" \t\n") + 1 - first);
        Add(TNodeType::Comment, "!", trimmed);
    }
    // attributes: each as written and as the entry it gives.
    void Start(const std::string& name,
               const std::vector<std::pair<std::string, std::string>>& attributes,
               bool selfClosed) {
        page_ += "<" + name;
        for (const auto& [written, entry] : attributes) page_ += " " + written;
        page_ += selfClosed ? "/>" : ">";
        Flush();
        const std::string lower = Lower(name);
        const std::string top = open_.empty() ? std::string() : open_.back().first;
        // At most one element is closed implicitly.
        if (lower == top && InElementList(kAutoCloseList, top))
            Pop();
        else if (top == "p" && InElementList(kBlockList, lower))
            Pop();
        ModelNode* node = Add(TNodeType::Element, name, "");
        for (const auto& [written, entry] : attributes) node->attributes.push_back(entry);
        node->empty = selfClosed || InElementList(kVoidList, lower);
        if (!node->empty) open_.emplace_back(lower, node);
    }
    void End(const std::string& name) {
        page_ += "</" + name + ">";
        Flush();
        const std::string lower = Lower(name);
        bool isOpen = false;
        for (const auto& entry : open_) isOpen |= entry.first == lower;
        if (!isOpen) return;
        for (;;) {
            const bool lastPass = open_.back().first == lower || open_.size() == 1;
            // An auto-closed name ends after its own pop: it does not close what is around it.
            if (!lastPass && lower == lastPopped_ && InElementList(kAutoCloseList, lower)) break;
            Pop();
            if (lastPass) break;
        }
    }
    void Finish() { Flush(); }

    const std::string& Page() const { return page_; }
    const ModelNode& Root() const { return root_; }

  private:
    ModelNode* Add(TNodeType type, const std::string& name, const std::string& text) {
        ModelNode* parent = open_.empty() ? &root_ : open_.back().second;
        parent->children.push_back(std::make_unique<ModelNode>());
        ModelNode* node = parent->children.back().get();
        node->type = type;
        node->name = name;
        node->text = text;
        return node;
    }
    void Flush() {
        if (!pending_.empty()) Add(TNodeType::PCData, "PCDATA", pending_);
        pending_.clear();
    }
    void Pop() {
        lastPopped_ = open_.back().first;
        open_.pop_back();
    }

    std::string page_;
    std::string pending_;  // text since the last markup
    ModelNode root_;
    std::vector<std::pair<std::string, ModelNode*>> open_;
    std::string lastPopped_;
};

template <typename T>
const T& Pick(std::mt19937& random, const std::vector<T>& from) {
    return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(random)];
}

// Void, auto-closing, block and plain names, in several cases; "h6" and "ul" close no p.
const std::vector<std::string> kNames = {"p",  "P",  "li",  "td", "tr",   "div",  "DiV",
                                         "ul", "h6", "h5",  "b",  "i",    "span", "option",
                                         "br", "BR", "img", "hr", "meta", "table"};
const std::vector<std::pair<std::string, std::string>> kAttributes = {
    {"id=a", "id=a"},           {"CLASS=\"x y\"", "CLASS=x y"},
    {"alt='it''s'", "alt=its"}, {"checked", "checked"},
    {"href=/x/y", "href=/x/y"}, {"title=\"a/b c\"", "title=a/b c"},
    {"name=\"\"", "name="},     {"x= 1", "x=1"}};
const std::vector<std::string> kTexts = {"a",        "two words", " ",    "\n",
                                         "\t&amp; ", "x/y!",      "why?", "-"};
const std::vector<std::string> kCommentBodies = {" note ", "", "a > b", "\n<p>\n"};

ModelPage TagSoup(std::mt19937& random) {
    ModelPage page;
    std::uniform_int_distribution<int> kind(0, 9), length(0, 60), count(0, 3);
    for (int i = length(random); i > 0; --i) {
        const int k = kind(random);
        if (k < 4) {
            std::vector<std::pair<std::string, std::string>> attributes;
            for (int n = count(random); n > 0; --n) attributes.push_back(Pick(random, kAttributes));
            page.Start(Pick(random, kNames), attributes, k == 0);
        } else if (k < 7) {
            page.End(kind(random) == 0 ? "p " : Pick(random, kNames));
        } else if (k < 8) {
            page.Comment(Pick(random, kCommentBodies));
        } else {
            page.Text(Pick(random, kTexts));
        }
    }
    page.Finish();
    return page;
}

// Bytes that make every state of the parser: stray brackets, unterminated comments,
// declarations, CDATA and processing instructions, end tags without names.
std::string ByteSoup(std::mt19937& random) {
    static const std::vector<std::string> pieces = {
        "<",         ">",   "/",     "!",    "-",   "--", "?",
        "[",         "]",   " ",     "\n",   "=",   "\"", "'",
        "p",         "Li",  "br",    "<!--", "-->", "<!", "<!DOCTYPE html",
        "<![CDATA[", "]]>", "<?xml", "</",   "/>",  "<b", "<td x=1",
        "</p>",      "<P>", "<li>",  "text"};
    std::string page;
    for (int i = std::uniform_int_distribution<int>(0, 120)(random); i > 0; --i)
        page += Pick(random, pieces);
    return page;
}

// Every child names its parent, no node is reachable twice, and child lists end where they say.
::testing::AssertionResult LinksHold(const THierarchyNode& root) {
    std::set<const THierarchyNode*> seen{&root};
    std::vector<const THierarchyNode*> todo{&root};
    while (!todo.empty()) {
        const THierarchyNode* node = todo.back();
        todo.pop_back();
        if (node->GetChild(node->ChildCount()) != nullptr)
            return ::testing::AssertionFailure() << "a child past the end of " << node->Name();
        for (std::size_t i = 0; i < node->ChildCount(); ++i) {
            const THierarchyNode* child = node->GetChild(i);
            if (child == nullptr || child->GetParent() != node)
                return ::testing::AssertionFailure() << "child " << i << " of '" << node->Name()
                                                     << "' does not name it as its parent";
            if (!seen.insert(child).second)
                return ::testing::AssertionFailure() << "a node is reachable twice";
            todo.push_back(child);
        }
    }
    return ::testing::AssertionSuccess();
}

// Compares node by node: type, name, text, attribute entries, the empty flag and the children.
::testing::AssertionResult SameTree(const THierarchyNode& real, const ModelNode& model) {
    std::vector<std::tuple<const THierarchyNode*, const ModelNode*, std::string>> todo{
        {&real, &model, "root"}};
    while (!todo.empty()) {
        const auto [r, m, path] = todo.back();
        todo.pop_back();
        const auto* tag = dynamic_cast<const TTagNode*>(r);
        const std::vector<std::string> attributes(r->Attributes().begin(), r->Attributes().end());
        if (r->NodeType() != m->type || r->Name() != m->name || r->Text() != m->text ||
            attributes != m->attributes || (tag != nullptr && tag->Empty()) != m->empty ||
            r->ChildCount() != m->children.size())
            return ::testing::AssertionFailure()
                   << "differs at " << path << ": parser " << Dump(*r) << " model "
                   << m->children.size() << " children of '" << m->name << "'";
        for (std::size_t i = 0; i < m->children.size(); ++i)
            todo.emplace_back(r->GetChild(i), m->children[i].get(), path + "/" + std::to_string(i));
    }
    return ::testing::AssertionSuccess();
}

// A node taken out of a parsed tree and kept while later pages are parsed.
struct KeptNode {
    std::unique_ptr<THierarchyNode> node;
    std::string dump;
};

TEST(TreeModelTest, TheArenaTreeEqualsTheNaiveTreeOnTagAndByteSoup) {
    constexpr int kPagesPerSeed = 400;
    for (std::uint32_t seed : {1u, 7u, 42u, 2026u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 random(seed);
        THTMLParser reused;  // its arena is rewound or replaced from page to page
        std::vector<KeptNode> kept;
        for (int i = 0; i < kPagesPerSeed && !HasFailure(); ++i) {
            const bool modelled = i % 2 == 0;
            const ModelPage model = modelled ? TagSoup(random) : ModelPage();
            const std::string page = modelled ? model.Page() : ByteSoup(random);
            reused.Parse(page);
            EXPECT_TRUE(LinksHold(*reused.Root())) << page;
            for (const KeptNode& k : kept)
                EXPECT_EQ(Dump(*k.node), k.dump) << "kept, then " << page;
            if (modelled) {
                EXPECT_TRUE(SameTree(*reused.Root(), model.Root())) << page;
            } else {
                THTMLParser fresh;
                fresh.Parse(page);
                EXPECT_EQ(Dump(*reused.Root()), Dump(*fresh.Root())) << page;
            }
            // Now and then a node outlives its tree: the next parse must take a new arena.
            if (i % 5 == 4) {
                THierarchyNode* node = reused.Root();
                while (node->ChildCount() > 0 && (node == reused.Root() || random() % 2 == 0))
                    node = node->GetChild(random() % node->ChildCount());
                if (node == reused.Root()) continue;
                kept.push_back({nullptr, Dump(*node)});
                kept.back().node = node->SetParent(nullptr);
            }
        }
    }
}

}  // namespace
}  // namespace kv::html
