// Small readers shared by the HTTP folder's parsers: trimming and whole-text integers.
#pragma once

#include <charconv>
#include <string_view>

namespace kv::http {

// Without leading and trailing blanks and control characters (codes up to 32).
inline std::string_view TrimControls(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
    return s;
}

// The whole text as a decimal integer of type T; false when it is empty, has anything else
// or does not fit.
template <typename T>
bool ReadWholeInteger(std::string_view s, T& value) {
    auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
    return !s.empty() && error == std::errc{} && end == s.data() + s.size();
}

}  // namespace kv::http
