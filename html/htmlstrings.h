// The user-visible texts of the HTML parser, each exactly once.
#pragma once

#include <string_view>

namespace kv::html::strings {

// The parser's warnings; row and column follow in the form " [Row:r,Col:c]".
inline constexpr std::string_view kIllegalComment = "Illegal comment style detected: \"<!\"";
inline constexpr std::string_view kUnexpectedLt = "Unexpected \"<\" encountered";
inline constexpr std::string_view kUnexpectedGt = "Unexpected \">\" encountered";
inline constexpr std::string_view kUnmatchedEndTag = "End tag found without matching start tag: </";

// A page whose tree would take more than the parser's limit (kMaxTreeBytes, 256 MB).
inline constexpr std::string_view kPageTooLarge =
    "The page is too large to read: its element tree would take more than 256 MB";

}  // namespace kv::html::strings
