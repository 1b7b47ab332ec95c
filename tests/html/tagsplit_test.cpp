#include "html/tagsplit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kv::html {
namespace {

struct SplitCase {
    std::string tag;
    std::string name;
    std::vector<std::string> attributes;
};

TEST(TagSplitTest, SplitsNamesAndAttributeEntries) {
    const std::vector<SplitCase> cases = {
        {"a href=x", "a", {"href=x"}},
        {R"(meta name="keywords" content="a, b")", "meta", {"name=keywords", "content=a, b"}},
        {"td\tnowrap\rwidth='1 0'", "td", {"nowrap", "width=1 0"}},
        {"x  a=  \n b", "x", {"a=b"}},  // "=" swallows the blanks and line ends after it
        {"x name = v", "x", {"name", "=v"}},
        {"a\nb=c\nd", "ab=cd", {}},  // an LF alone does not separate
        {"a\r\nb=c", "a", {"b=c"}},
        {R"(q t="it's" u='say "hi"')", "q", {"t=it's", R"(u=say "hi")"}},
        {R"(x a="unclosed b=c)", "x", {"a=unclosed b=c"}},
        {R"(x a=""b)", "x", {"a=b"}},
        {R"(x "" '')", "x", {}},
        {"<b>", "b", {}},  // a leading "<" and a trailing ">" are dropped
        {"<", "<", {}},
        {"", "", {}},
        {"   ", "", {}},
    };
    TSplitTag split;  // reused: each split starts empty
    for (const SplitCase& c : cases) {
        SplitTag(c.tag, split);
        std::vector<std::string> attributes;
        for (std::size_t i = 0; i < split.AttributeCount(); ++i)
            attributes.emplace_back(split.Attribute(i));
        EXPECT_EQ(split.Name(), c.name) << "tag: " << c.tag;
        EXPECT_EQ(attributes, c.attributes) << "tag: " << c.tag;
    }
}

}  // namespace
}  // namespace kv::html
