// The three element lists that drive implicit closing and void elements. A name is a member
// when "|" name "|" occurs in the list text. The block list runs "h6" and "ul" together as
// "h6ul": neither h6 nor ul closes an open p, and stored results depend on that.
// Tests: tests/html/htmlparser_test.cpp.
#pragma once

#include <cstdint>
#include <string_view>

namespace kv::html {

// An element of this list closes an open element of the same name.
inline constexpr std::string_view kAutoCloseList =
    "|p|dt|dd|li|option|thead|tfoot|colgroup|tr|th|td|body|html|head|";
// An element of this list closes an open p.
inline constexpr std::string_view kBlockList =
    "|p|h1|h2|h3|h4|h5|h6ul|ol|dir|menu|pre|dl|div|center|noscript|noframes|blockquote|form|"
    "isindex|hr|table|fieldset|address|";
// Elements that take no end tag.
inline constexpr std::string_view kVoidList =
    "|basefont|br|area|link|img|param|hr|input|col|frame|isindex|base|meta|";

// Whether "|" name "|" occurs in list (exact bytes; name is already lower-cased).
bool InElementList(std::string_view list, std::string_view name);

// The lists a lower-cased name is a member of, as bits, so the parser looks them up once per
// distinct name rather than once per tag.
using TElementLists = std::uint8_t;
inline constexpr TElementLists kInAutoCloseList = 1;
inline constexpr TElementLists kInBlockList = 2;
inline constexpr TElementLists kInVoidList = 4;
inline constexpr TElementLists kIsP = 8;  // "p": the element block list members close
TElementLists ElementListsOf(std::string_view lowerName);

}  // namespace kv::html
