// The stack of open elements while a page is parsed: lower-cased names, each with its node.
// Tests: tests/html/htmlparser_test.cpp (through the parser) and parserstack_test.cpp.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
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
    std::vector<std::pair<std::string, TTagNode*>> entries_;
    std::unordered_map<std::string, std::size_t> counts_;
};

}  // namespace kv::html
