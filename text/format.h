// Filling the "%s" places of a user-visible text, in order.
// Tests: tests/text/format_test.cpp.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace kv::text {

// Each "%s" takes the next value; "%s" left over when the values run out stay as written.
std::string FormatText(std::string_view format, std::initializer_list<std::string_view> values);

inline std::string FormatText(std::string_view format, std::string_view value) {
    return FormatText(format, {value});
}

}  // namespace kv::text
