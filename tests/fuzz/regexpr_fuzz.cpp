// libFuzzer entry for the pattern engine: the input's first line is the pattern (its first
// byte also picks the object's modifiers), the rest is the text. Every compile error and every
// budget error is an ERegExpr; anything else, a crash, or a match outside the text is a bug.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "parseutils/regexpr.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Enough matches to exercise repeated search without making one input slow.
    constexpr int kMaxMatches = 1000;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t lineEnd = input.find('\n');
    const std::string_view pattern = input.substr(0, lineEnd);
    const std::string_view text =
        lineEnd == std::string_view::npos ? std::string_view{} : input.substr(lineEnd + 1);
    const unsigned flags = pattern.empty() ? 0 : static_cast<unsigned char>(pattern[0]);
    kv::TRegExpr re;
    try {
        re.SetModifierI(flags & 1);
        re.SetModifierS(!(flags & 2));
        re.SetModifierG(!(flags & 4));
        re.SetModifierM(flags & 8);
        re.SetModifierX(flags & 16);
        re.SetExpression(pattern);
        int matches = 0;
        for (bool found = re.Exec(text); found && matches < kMaxMatches; found = re.ExecNext()) {
            ++matches;
            for (int g = 0; g < kv::TRegExpr::kMaxGroups; ++g) {
                if (!re.Matched(g)) continue;
                if (re.MatchPos(g) + re.MatchLen(g) > text.size()) __builtin_trap();
            }
            if (re.SubExprMatchCount() > re.GroupCount()) __builtin_trap();
        }
    } catch (const kv::ERegExpr&) {
    }
    return 0;
}
