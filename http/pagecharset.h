// Every fetched page is read as UTF-8: its charset comes from, in order, a byte-order mark,
// the Content-Type header's charset, a <meta charset> or <meta http-equiv="Content-Type">
// in the first 1024 bytes (the browsers' prescan), else UTF-8 when the bytes are valid
// UTF-8, else Windows-1252. An unknown name counts as none. Conversion by ICU; invalid
// sequences become U+FFFD. A page declared UTF-8 that is not keeps every byte: valid
// sequences as they are, each stray byte as the Windows-1252 character it would be.
// Tests: tests/http/pagecharset_test.cpp.
#pragma once

#include <string>
#include <string_view>

namespace kv::http {

// The prescan reads this much of a page, as browsers do.
inline constexpr std::size_t kCharsetPrescanBytes = 1024;

struct PageCharset {
    std::string name;          // the ICU converter name chosen ("UTF-8", "windows-1251", ...)
    std::size_t bomBytes = 0;  // a byte-order mark to drop
    bool declared = false;     // named by the header or a meta element
};

// The charset of a page with that Content-Type value (any case).
PageCharset DetectPageCharset(std::string_view body, std::string_view contentType);

// The page as valid UTF-8.
std::string PageToUtf8(std::string_view body, std::string_view contentType);

// Whether the bytes are well-formed UTF-8 (no overlong forms, surrogates or codes past U+10FFFF).
bool IsValidUtf8(std::string_view bytes);

}  // namespace kv::http
