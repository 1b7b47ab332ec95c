// Splitting the text of a start tag into the element name and its attribute entries.
// Quotes group but do not stay; an LF alone does not separate attributes (pages with LF-only
// line ends inside tags keep that behaviour); "=" swallows the blanks after it.
// Tests: tests/html/tagsplit_test.cpp.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kv::html {

// The tokens of one tag, kept in one buffer that is reused tag after tag. The views stay valid
// until the next SplitTag into the same object.
class TSplitTag {
  public:
    // The first token; empty when the tag has none.
    std::string_view Name() const { return ends_.empty() ? std::string_view() : Token(0); }
    std::size_t AttributeCount() const { return ends_.empty() ? 0 : ends_.size() - 1; }
    // Entry index (0 .. AttributeCount()-1): "name=value" without quotes, or a bare word.
    std::string_view Attribute(std::size_t index) const { return Token(index + 1); }

  private:
    friend void SplitTag(std::string_view tag, TSplitTag& out);
    std::string_view Token(std::size_t index) const {
        const std::size_t begin = index == 0 ? 0 : ends_[index - 1];
        return std::string_view(chars_).substr(begin, ends_[index] - begin);
    }

    std::string chars_;              // the tokens run together
    std::vector<std::size_t> ends_;  // where each token ends in chars_
};

// Fills out (emptied first; its capacity is reused, as the parser splits tag after tag).
void SplitTag(std::string_view tag, TSplitTag& out);

}  // namespace kv::html
