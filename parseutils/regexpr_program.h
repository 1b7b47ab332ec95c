// Internal structures of the pattern engine shared by its stages (parse, compile, execute):
// modifiers, the pattern tree, the compiled program, named limits and the error texts.
// This header may change with the engine; callers use parseutils/regexpr.h.
// Tests: tests/regexpr/.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace kv::regexpr {

// --- Limits (each one bounds what a pattern or a text can make the engine do) ---

// Groups 0..49: definitions address groups by number in comments, 49 is the highest.
inline constexpr int kMaxGroupNumber = 49;
// Counted forms {n,m} above this are refused: larger counts only serve runaway patterns.
inline constexpr std::uint32_t kMaxRepeatCount = 65535;
// Positions are 32-bit inside the matcher; texts up to 4 GB minus the "unset" marker.
inline constexpr std::uint64_t kMaxTextLength = 0xFFFFFFFEull;
// Steps a search may take: a base for small texts plus a share per byte of text. An honest
// page costs a few steps per byte (the benchmarks stay under 3 per byte); a search that needs
// more is backtracking away and ends with an error instead of hanging the run: at most
// 20 million steps plus 100 per byte (a 100 KB page: 30 million; 10 MB: 1.02 billion).
inline constexpr std::uint64_t kSearchStepBase = 20'000'000;
inline constexpr std::uint64_t kSearchStepsPerByte = 100;
// A pattern longer than this does not compile: engine definitions hold patterns of a few
// hundred bytes, and compiling megabytes of pattern takes gigabytes of memory.
inline constexpr std::size_t kMaxPatternLength = 64u << 10;
// Backtracking entries (16 bytes each): at most 64 MB for one search. Honest patterns keep a
// few entries per loop iteration; only a loop of millions of iterations on one page needs more.
inline constexpr std::size_t kMaxBacktrackEntries = 4u << 20;

// --- Error texts (compile errors get " (pos N)" appended) ---

inline constexpr const char* kErrNullArgument = "TRegExpr(comp): Null Argument";
inline constexpr const char* kErrUnmatchedBrackets = "TRegExpr(comp): Unmatched []";
inline constexpr const char* kErrUnmatchedParens = "TRegExpr(comp): Unmatched ()";
inline constexpr const char* kErrUnclosedComment = "TRegExpr(comp): Unclosed (?#Comment)";
inline constexpr const char* kErrUnknownModifier = "TRegExpr(comp): Urecognized Modifier";
inline constexpr const char* kErrFollowsNothing = "TRegExpr(comp): ?+*{ Follows Nothing";
inline constexpr const char* kErrNestedQuantifier = "TRegExpr(comp): Nested *?+";
inline constexpr const char* kErrTooManyGroups = "TRegExpr(comp): Too Many () (more than 49)";
inline constexpr const char* kErrTrailingBackslash = "TRegExpr(comp): Trailing \\";
inline constexpr const char* kErrBadHex = "TRegExpr(comp): Bad Hex Code after \\x";
inline constexpr const char* kErrInvalidRange = "TRegExpr(comp): Invalid [] Range";
inline constexpr const char* kErrBadCount = "TRegExpr(comp): Invalid {n,m} (n > m)";
inline constexpr const char* kErrCountTooLarge = "TRegExpr(comp): {n,m} Count Too Large";
inline constexpr const char* kErrNoSuchGroup = "TRegExpr(comp): Back-reference to a Missing Group";
inline constexpr const char* kErrPatternTooLong =
    "TRegExpr(comp): Pattern too long (more than 65536 bytes)";
inline constexpr const char* kErrNoExpression = "TRegExpr(exec): No Expression";
inline constexpr const char* kErrStepBudget =
    "TRegExpr(exec): Search exceeded its step budget (the pattern backtracks too much on "
    "this text)";
inline constexpr const char* kErrBacktrackMemory =
    "TRegExpr(exec): Search exceeded its backtracking memory";
inline constexpr const char* kErrTextTooLong = "TRegExpr(exec): Text too long to search";

// --- Modifiers ---

enum ModifierBit : unsigned {
    kModI = 1u << 0,
    kModR = 1u << 1,
    kModS = 1u << 2,
    kModG = 1u << 3,
    kModM = 1u << 4,
    kModX = 1u << 5,
};
inline constexpr unsigned kInitialModifiers = kModR | kModS | kModG;
// The bit of a modifier letter (either case), 0 when it is none.
unsigned ModifierBitOf(char letter);

// --- Pattern tree (output of the parser) ---

using ByteSet = std::array<bool, 256>;
inline constexpr std::uint32_t kUnbounded = 0xFFFFFFFFu;

enum class NodeKind : std::uint8_t {
    Empty,
    Byte,  // one byte; fold: either ASCII case
    Set,   // one byte of sets[set]
    Any,   // any byte ("." with s on)
    LineStart,
    LineEnd,  // multiline: at line separators too
    TextStart,
    TextEnd,
    WordBoundary,
    NotWordBoundary,
    BackRef,
    Group,
    Concat,
    Alternate,
    Repeat,
};

struct Node {
    NodeKind kind = NodeKind::Empty;
    std::uint8_t byte = 0;
    bool fold = false;
    bool multiline = false;
    bool greedy = true;
    int group = 0;
    int set = -1;
    std::uint32_t min = 0;
    std::uint32_t max = 0;
    std::vector<int> children;
};

struct Tree {
    std::vector<Node> nodes;
    std::vector<ByteSet> sets;
    int root = -1;
    int groupCount = 0;
};

// --- Program (output of the compiler, input of the matcher) ---

enum class Op : std::uint8_t {
    Byte,    // text byte == byte
    String,  // strings[x], fold: ASCII case-insensitive (stored lower case)
    Set,     // sets[x]
    Any,
    LineStartM,
    LineEndM,
    TextStart,
    TextEnd,
    WordBoundary,
    NotWordBoundary,
    BackRef,    // group x, fold
    Open,       // group x starts here (tentatively)
    Close,      // group x ends here
    Split,      // go on at x, come back to y
    Jump,       // go on at x
    RepeatOne,  // single-byte matcher (one: Byte/Set/Any, byte, x=set) min..max times;
                // y > 0: group y captures the last repetition
    LoopInit,   // loop x: count 0
    LoopEnter,  // loop x: decide another iteration of the body at pc+1 or exit at y
    LoopEnd,    // loop x: back to LoopEnter at y (exit when the iteration was empty)
    Match,
};

enum class OneKind : std::uint8_t { Byte, Set, Any };

struct Inst {
    Op op = Op::Match;
    std::uint8_t byte = 0;
    bool fold = false;
    bool greedy = true;
    OneKind one = OneKind::Any;
    std::int16_t follow = -1;    // RepeatOne: byte that must come right after, or -1
    std::int16_t stopByte = -1;  // RepeatOne Set: the only byte outside the set, or -1
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::uint32_t min = 0;
    std::uint32_t max = 0;
};

struct Program {
    std::vector<Inst> code;
    std::vector<ByteSet> sets;
    std::vector<std::string> strings;
    int groupCount = 0;
    int loopCount = 0;
    // Search hints: a match can only start at text position 0; a match starts with the
    // literal prefix (case-sensitive; code begins after it at startPc); a match's first
    // byte is in firstBytes (when useFirstBytes).
    bool anchoredAtStart = false;
    std::string prefix;
    int startPc = 0;
    bool useFirstBytes = false;
    ByteSet firstBytes{};
    // A byte every match contains (-1: none known); a text without it cannot match.
    int requiredByte = -1;
};

inline bool IsWordByte(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// The program's 8-bit case mapping (text::AsciiLower/AsciiUpper: ASCII letters only) as
// tables for the matcher's inner loops; a test checks they agree with the text module.
inline constexpr std::array<unsigned char, 256> kLowerByte = [] {
    std::array<unsigned char, 256> table{};
    for (int b = 0; b < 256; ++b)
        table[b] = static_cast<unsigned char>(b >= 'A' && b <= 'Z' ? b + 32 : b);
    return table;
}();
inline constexpr std::array<unsigned char, 256> kUpperByte = [] {
    std::array<unsigned char, 256> table{};
    for (int b = 0; b < 256; ++b)
        table[b] = static_cast<unsigned char>(b >= 'a' && b <= 'z' ? b - 32 : b);
    return table;
}();

// Raises ERegExpr with "<text> (pos <pos>)".
[[noreturn]] void ThrowCompileError(const char* text, std::size_t pos);

}  // namespace kv::regexpr
