// Pattern sets: splitting them into lines and parts, reading group markers, and collecting the
// texts a pattern set finds. Tests: tests/parseutils/templatefuncs_test.cpp.
#include "parseutils/templatefuncs.h"

#include <charconv>
#include <cstddef>
#include <cstdint>

#include "parseutils/regexpr.h"

namespace kv::parseutils {

namespace {

constexpr std::string_view kPartSeparator = "@@@";
// A group marker is a pattern comment holding only decimal digits, read from the pattern text.
constexpr std::string_view kGroupMarkerPattern = R"(\(\?\#(\d+?)\))";

// The text of the highest-numbered group that took part in the last match (0: whole match).
std::string HighestGroupText(const TRegExpr& re) {
    return re.Match(re.SubExprMatchCount());
}

// Calls visit(line) for each non-empty line; CR, LF and CR LF end a line.
template <typename Visit>
void ForEachLine(std::string_view text, Visit visit) {
    while (!text.empty()) {
        const std::size_t end = text.find_first_of("\r\n");
        const std::string_view line = text.substr(0, end);
        if (!line.empty() && !visit(line)) return;
        if (end == std::string_view::npos) return;
        text.remove_prefix(end + 1);
    }
}

// Decimal digits read as a signed 32-bit number (leading zeros allowed); false when they are
// none or the number does not fit.
bool DigitsToInt32(std::string_view digits, std::int32_t& value) {
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return error == std::errc() && end == digits.data() + digits.size();
}

}  // namespace

void GetRegExprList(std::string_view text, std::vector<std::string>& parts) {
    parts.clear();
    for (std::size_t separator = text.find(kPartSeparator); separator != std::string_view::npos;
         separator = text.find(kPartSeparator)) {
        parts.emplace_back(text.substr(0, separator));
        text.remove_prefix(separator + kPartSeparator.size());
    }
    if (!text.empty()) parts.emplace_back(text);
}

int GetRegExprMatchNum(std::string_view regExpr) {
    TRegExpr marker;
    marker.SetExpression(kGroupMarkerPattern);
    if (!marker.Exec(regExpr)) return -1;
    std::int32_t group = 0;
    return DigitsToInt32(marker.MatchView(1), group) ? group : -1;
}

std::string GetRegExpText(std::string_view text, const std::vector<std::string>& parts) {
    std::string current(text);
    if (parts.size() < 2) return current;
    TRegExpr refine;
    for (std::size_t i = 1; i < parts.size(); ++i) {
        refine.SetExpression(parts[i]);
        if (!refine.Exec(current)) break;
        // Copied out before current changes: the match views into it.
        std::string narrowed = HighestGroupText(refine);
        current = std::move(narrowed);
    }
    return current;
}

void GetTextsForRegExpr(std::string_view regExprs, std::string_view text,
                        std::vector<std::string>& matches, bool stopAtFirstLine) {
    const TSearchBudget budget(text.size());  // all lines, matches and narrowings together
    const std::size_t countBefore = matches.size();
    TRegExpr linePattern;
    std::vector<std::string> parts;
    ForEachLine(regExprs, [&](std::string_view line) {
        GetRegExprList(line, parts);
        const std::string& mainPattern = parts.front();  // a non-empty line gives a part
        linePattern.SetExpression(mainPattern);
        const int markedGroup = GetRegExprMatchNum(mainPattern);
        for (bool found = linePattern.Exec(text); found; found = linePattern.ExecNext()) {
            const std::string taken =
                markedGroup >= 0 ? linePattern.Match(markedGroup) : HighestGroupText(linePattern);
            matches.push_back(GetRegExpText(taken, parts));
        }
        return !(stopAtFirstLine && matches.size() > countBefore);
    });
}

void CompilePatternSet(std::string_view regExprs) {
    TRegExpr pattern;
    std::vector<std::string> parts;
    ForEachLine(regExprs, [&](std::string_view line) {
        GetRegExprList(line, parts);
        for (const std::string& part : parts) pattern.SetExpression(part);
        return true;
    });
}

std::string GetTextBlockForRegExpr(std::string_view regExpr, std::string_view text) {
    std::vector<std::string> found;
    GetTextsForRegExpr(regExpr, text, found, true);
    if (!found.empty()) return std::move(found.front());
    return regExpr.empty() ? std::string(text) : std::string();
}

int GetResultCount(std::string_view text, std::string_view regExpr) {
    std::vector<std::string> found;
    GetTextsForRegExpr(regExpr, text, found, true);
    if (found.empty()) return 0;
    std::string digits;
    for (char c : found.front())
        if (c >= '0' && c <= '9') digits += c;
    std::int32_t count = 0;
    return DigitsToInt32(digits, count) ? count : 0;
}

}  // namespace kv::parseutils
