// libFuzzer entry for the HTML text functions. MyHtmlDecode is checked against the naive
// 293-pass definition on short inputs; the others for crashes and their invariants.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "parseutils/htmltext.h"
#include "tests/parseutils/reference_decode.h"
#include "text/utf8.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

// The naive decoder runs 293 passes; keep its inputs short.
constexpr std::size_t kReferenceLimit = 4096;

bool IsValidUtf8(std::string_view s) {
    for (std::size_t pos = 0; pos < s.size();) {
        const std::size_t len = kv::text::CharLength(s, pos);
        if (len == 1 && static_cast<unsigned char>(s[pos]) >= 0x80) return false;
        pos += len;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kv::parseutils;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const bool valid = IsValidUtf8(text);

    const std::string decoded = MyHtmlDecode(text);
    if (size <= kReferenceLimit) Check(decoded == kv::testing::NaiveHtmlDecode(text));
    if (valid) Check(IsValidUtf8(decoded));

    const std::string plain = RemoveHtmlFmt(text, false);
    const std::string collapsed = RemoveHtmlFmt(text, true);
    // Collapsing only shortens blank runs, so it never joins or splits a reference.
    Check(collapsed.size() <= plain.size());

    const int index = size > 0 ? static_cast<int>(data[0]) - 8 : 0;
    Check(GetStrByIndex(text, index).size() <= size);

    const std::string inverted = InvertString(text);
    Check(inverted.size() == size);
    if (valid) Check(InvertString(inverted) == text);
    return 0;
}
