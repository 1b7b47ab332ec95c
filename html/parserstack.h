// The stack of open elements while a page is parsed: lower-cased names, each with its node.
// Tests: tests/html/htmlparser_test.cpp (through the parser) and parserstack_test.cpp.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "html/hierarchy.h"

namespace kv::html {

class TParserStack {
  public:
    // Name on top; the empty text when the stack is empty.
    const std::string& PeekName() const;
    // Node on top; nullptr when the stack is empty.
    TTagNode* PeekNode() const;
    // Removes the top entry and gives its name; the empty text when the stack is empty.
    std::string Pop();
    void Push(std::string name, TTagNode* node);
    // Whether an entry equals name with ASCII letters lowered. Kept in constant time by a
    // count per name, so a page of many unmatched end tags stays linear.
    bool Contains(std::string_view name) const;
    std::size_t Count() const { return entries_.size(); }
    void Clear();

  private:
    struct Entry {
        std::string name;
        TTagNode* node;
        std::size_t* count;  // the name's count in counts_ (map nodes never move)
    };
    std::vector<Entry> entries_;
    // Open entries per name; names stay at zero rather than being erased, so a name costs
    // one allocation per parse, not one per element.
    // Kept from parse to parse up to kRetainedNames names. Looked up by string_view, so a
    // lower-case name is found without a copy.
    struct THash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const {
            return std::hash<std::string_view>()(s);
        }
    };
    std::unordered_map<std::string, std::size_t, THash, std::equal_to<>> counts_;
};

}  // namespace kv::html
