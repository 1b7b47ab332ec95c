// The stack of open elements while a page is parsed: lower-cased names, each with its node.
// Names are interned as small ids, so the parser compares, counts and classifies element names
// without copying or hashing them again; ids stay valid until Clear.
// Tests: tests/html/htmlparser_test.cpp (through the parser) and parserstack_test.cpp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "html/elementlists.h"
#include "html/hierarchy.h"

namespace kv::html {

class TParserStack {
  public:
    using TNameId = std::uint32_t;
    static constexpr TNameId kNoName = 0;  // the empty name: an empty stack, nothing popped
    static constexpr TNameId kUnknownName = UINT32_MAX;  // Find's answer for a name never seen

    // The id of name, which must already be lower-cased; added when new.
    TNameId Intern(std::string_view lowerName);
    // The id of a lower-cased name, kUnknownName when it was never interned.
    TNameId Find(std::string_view lowerName) const;
    // The empty text for kUnknownName.
    std::string_view NameOf(TNameId id) const {
        return id < names_.size() ? std::string_view(names_[id].name) : std::string_view();
    }
    // The element lists (html/elementlists.h) the name of id is a member of.
    TElementLists ListsOf(TNameId id) const { return id < names_.size() ? names_[id].lists : 0; }

    // Name on top; the empty text when the stack is empty.
    std::string_view PeekName() const { return NameOf(PeekId()); }
    TNameId PeekId() const { return entries_.empty() ? kNoName : entries_.back().id; }
    // Node on top; nullptr when the stack is empty.
    TTagNode* PeekNode() const { return entries_.empty() ? nullptr : entries_.back().node; }
    // Removes the top entry and gives its name; the empty text when the stack is empty.
    std::string Pop() { return std::string(NameOf(PopId())); }
    TNameId PopId();
    // name is lower-cased first.
    void Push(std::string_view name, TTagNode* node);
    // id as Intern gave it.
    void PushId(TNameId id, TTagNode* node);
    // Whether an entry equals name with ASCII letters lowered. Kept in constant time by a
    // count per name, so a page of many unmatched end tags stays linear.
    bool Contains(std::string_view name) const;
    bool ContainsId(TNameId id) const { return id < names_.size() && names_[id].open > 0; }
    std::size_t Count() const { return entries_.size(); }
    // Empties the stack; forgets the interned names when a page made too many of them.
    void Clear();

  private:
    struct TEntry {
        TNameId id;
        TTagNode* node;
    };
    struct TName {
        std::string name;
        std::size_t hash;
        std::size_t open;  // entries of the stack with this name
        TElementLists lists;
    };
    std::size_t SlotOf(std::string_view lowerName, std::size_t hash) const;
    void Grow();

    std::vector<TEntry> entries_;
    std::deque<TName> names_{TName{{}, 0, 0, {}}};  // a deque keeps NameOf's views valid
    // Open addressing by hash: 0 is a free slot, else the id. At most half full.
    std::vector<TNameId> slots_ = std::vector<TNameId>(64, 0);
};

}  // namespace kv::html
