// MyHtmlDecode. The function is defined as a sequence of replace-all passes (37 names, then
// n = 0 to 255), where a later pass sees what earlier ones produced. Running 293 passes over a
// page would be slow, so each stage is one left-to-right scan: output bytes carry the pass
// that produced them, and a reference found at a ";" is replaced only when its own pass comes
// after every pass that produced one of its bytes -- exactly what the passes would have done:
// two references never share a byte (each holds one "&", at its start), so a reference, once
// whole, stays whole until its own pass, and it can only become whole at its ";".
// Checked against the literal passes by tests/parseutils/htmltext_test.cpp and the fuzzer.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "parseutils/htmltext.h"
#include "text/textcompare.h"
#include "text/utf8.h"

namespace kv::parseutils {

namespace {

struct NamedReference {
    std::string_view name;
    unsigned code;
};

// Applied in this order; the row number is the pass number. "nbsp" gives a plain blank.
constexpr std::array<NamedReference, 37> kNamedReferences{{
    {"lt", 0x3C},     {"gt", 0x3E},     {"nbsp", 0x20},   {"amp", 0x26},    {"quot", 0x22},
    {"tilde", 0x7E},  {"iexcl", 0xA1},  {"cent", 0xA2},   {"pound", 0xA3},  {"curren", 0xA4},
    {"yen", 0xA5},    {"brvbar", 0xA6}, {"sect", 0xA7},   {"uml", 0xA8},    {"copy", 0xA9},
    {"ordf", 0xAA},   {"laquo", 0xAB},  {"not", 0xAC},    {"shy", 0xAD},    {"reg", 0xAE},
    {"macr", 0xAF},   {"deg", 0xB0},    {"plusmn", 0xB1}, {"sup2", 0xB2},   {"sup3", 0xB3},
    {"acute", 0xB4},  {"micro", 0xB5},  {"para", 0xB6},   {"middot", 0xB7}, {"cedil", 0xB8},
    {"sup1", 0xB9},   {"ordm", 0xBA},   {"raquo", 0xBB},  {"frac14", 0xBC}, {"frac12", 0xBD},
    {"frac34", 0xBE}, {"times", 0xD7},
}};
constexpr std::size_t kLongestName = 6;
// "&#" n ";" with n <= 255 has at most three digits.
constexpr std::size_t kMostDigits = 3;
constexpr unsigned kHighestNumeric = 255;

// Codes 128 to 159 as Windows-1252 reads them (undefined codes stay C1 controls).
constexpr std::array<char32_t, 32> kWindows1252{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t CodePointOf(unsigned code) {
    return code >= 0x80 && code <= 0x9F ? kWindows1252[code - 0x80] : code;
}

bool IsAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsAsciiAlnum(char c) {
    return IsAsciiDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

constexpr int kOriginal = -1;  // the pass of a byte no pass produced

struct Found {
    std::size_t start;  // index of the "&"
    int pass;
    unsigned code;
};

// Output bytes with the pass that produced each one.
class StageOutput {
  public:
    explicit StageOutput(std::size_t reserve) {
        bytes_.reserve(reserve);
        passes_.reserve(reserve);
    }
    void Push(char c, int pass) {
        bytes_ += c;
        passes_.push_back(static_cast<std::int16_t>(pass));
    }
    // Replaces everything from start by the character of code, produced by pass.
    void Replace(std::size_t start, unsigned code, int pass) {
        bytes_.resize(start);
        passes_.resize(start);
        std::string encoded;
        text::AppendUtf8(encoded, CodePointOf(code));
        for (char c : encoded) Push(c, pass);
    }
    int LatestPass(std::size_t start) const {
        int latest = kOriginal;
        for (std::size_t i = start; i < passes_.size(); ++i)
            latest = std::max<int>(latest, passes_[i]);
        return latest;
    }
    const std::string& Bytes() const { return bytes_; }
    std::string Release() { return std::move(bytes_); }

  private:
    std::string bytes_;
    std::vector<std::int16_t> passes_;
};

// The named reference ending at the last byte (a ";"), if any.
std::optional<Found> FindNamed(const std::string& out) {
    const std::size_t semicolon = out.size() - 1;
    std::size_t i = semicolon;
    while (i > 0 && semicolon - i <= kLongestName && IsAsciiAlnum(out[i - 1])) --i;
    if (i == 0 || out[i - 1] != '&') return std::nullopt;
    const std::string_view name(out.data() + i, semicolon - i);
    for (std::size_t row = 0; row < kNamedReferences.size(); ++row)
        if (text::SameAsciiNoCase(name, kNamedReferences[row].name))
            return Found{i - 1, static_cast<int>(row) + 1, kNamedReferences[row].code};
    return std::nullopt;
}

// The numeric reference ending at the last byte (a ";"), if any.
std::optional<Found> FindNumeric(const std::string& out) {
    const std::size_t semicolon = out.size() - 1;
    std::size_t i = semicolon;
    while (i > 0 && semicolon - i <= kMostDigits && IsAsciiDigit(out[i - 1])) --i;
    const std::size_t digits = semicolon - i;
    if (digits == 0 || digits > kMostDigits || i < 2 || out[i - 1] != '#' || out[i - 2] != '&')
        return std::nullopt;
    if (digits > 1 && out[i] == '0') return std::nullopt;  // no leading zeros
    unsigned value = 0;
    for (std::size_t k = i; k < semicolon; ++k) value = value * 10 + (out[k] - '0');
    if (value > kHighestNumeric) return std::nullopt;
    return Found{i - 2, static_cast<int>(value), value};
}

template <typename FindReference>
std::string RunStage(std::string_view in, FindReference find) {
    if (in.find('&') == std::string_view::npos) return std::string(in);
    StageOutput out(in.size());
    for (char c : in) {
        out.Push(c, kOriginal);
        // A replacement may itself be a ";" that ends an earlier-started reference.
        while (out.Bytes().back() == ';') {
            const std::optional<Found> found = find(out.Bytes());
            if (!found || found->pass <= out.LatestPass(found->start)) break;
            out.Replace(found->start, found->code, found->pass);
        }
    }
    return out.Release();
}

}  // namespace

std::string MyHtmlDecode(std::string_view text) {
    return RunStage(RunStage(text, FindNamed), FindNumeric);
}

}  // namespace kv::parseutils
