// Making the leaf nodes of the tree from the pending text of the parser: text, comment and
// declaration (including CDATA sections and processing instructions).
// Tests: tests/html/htmlparser_test.cpp.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "html/hierarchy.h"

namespace kv::html {

// Removes leading and trailing characters with codes 0 to 32.
std::string_view TrimControls(std::string_view s);

// PCData node "PCDATA" with the text unchanged (blank-only text included).
std::unique_ptr<TTagNode> MakeTextNode(std::string_view text);

// Comment node: "<!--" style gives name "!" and the trimmed body; the illegal "<! " style gives
// a node without name or text.
std::unique_ptr<TTagNode> MakeCommentNode(std::string_view body);

// Declaration node: empty gives a None node; "[CDATA" (exact case) a CData node named "CDATA";
// anything else a DTDItem named "!" and its first word, the rest as its text.
std::unique_ptr<TTagNode> MakeDeclarationNode(std::string_view body);

}  // namespace kv::html
