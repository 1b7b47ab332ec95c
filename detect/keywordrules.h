// What a keyword may be: the text of one search, trimmed, within the width of the history's
// field. Used by the window and the command-line program alike.
// Tests: tests/detect/keywordrules_test.cpp.
#pragma once

#include <string>
#include <string_view>

#include "data/tables.h"
#include "detect/detecterror.h"

namespace kv::detect {

// Longest keyword, in characters: the width of the `word` fields of history and cache.
inline constexpr int kMaxKeywordLength = data::kKeywordFieldWidth;

// A keyword that is refused; what() is the message for the user.
class KeywordError : public DetectError {
  public:
    using DetectError::DetectError;
};

// The keyword with leading and trailing blanks (spaces, tabs) removed. Raises KeywordError for
// an empty or blank-only text, a text with a line break, or one longer than kMaxKeywordLength.
std::string CheckedKeyword(std::string_view text);

}  // namespace kv::detect
