// Splitting the text of a start tag into the element name and its attribute entries.
// Quotes group but do not stay; an LF alone does not separate attributes (pages with LF-only
// line ends inside tags keep that behaviour); "=" swallows the blanks after it.
// Tests: tests/html/tagsplit_test.cpp.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kv::html {

struct TSplitTag {
    std::string name;
    std::vector<std::string> attributes;
};

// Fills out (emptied first; its capacity is reused, as the parser splits tag after tag).
void SplitTag(std::string_view tag, TSplitTag& out);

}  // namespace kv::html
