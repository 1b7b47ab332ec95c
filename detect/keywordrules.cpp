#include "detect/keywordrules.h"

#include "detect/detectstrings.h"
#include "text/format.h"
#include "text/utf8.h"

namespace kv::detect {

std::string CheckedKeyword(std::string_view text) {
    constexpr std::string_view kBlanks = " \t";
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) throw KeywordError(strings::kKeywordEmpty);
    const std::string_view trimmed = text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
    if (trimmed.find_first_of("\r\n") != std::string_view::npos)
        throw KeywordError(strings::kKeywordMultiLine);
    if (text::CharCount(trimmed) > static_cast<std::size_t>(kMaxKeywordLength))
        throw KeywordError(
            text::FormatText(strings::kKeywordTooLong, std::to_string(kMaxKeywordLength)));
    return std::string(trimmed);
}

}  // namespace kv::detect
