// TRegExpr: the pattern engine of the engine definitions. It compiles a pattern of the
// program's own dialect and searches 8-bit text (bytes; UTF-8 is not decoded) with it.
// Stages live in their own files: regexpr_parse (pattern -> tree), regexpr_compile
// (tree -> program and search hints), regexpr_exec (backtracking matcher with an explicit
// stack and a step budget). Tests: tests/regexpr/.
//
// Dialect in brief: literals, "\" + other char is literal; "." ; classes "[...]" with ranges,
// "^" negation, "]" first literal, \d \s \w \D \S \W inside; escapes \d \D \s \S \w \W \b \B
// \A \Z \t \n \r \f \a \e \xHH \x{H} \x{HH}, back-references \1..\9; anchors ^ $; "|";
// capture groups "(...)" numbered 1..49 by their opening parenthesis; quantifiers * + ? {n}
// {n,} {n,m}, each lazy with a following "?"; a "{" that opens no well-formed count is a
// literal; comments "(?#...)"; modifier groups "(?ims-gx)" scoped to the enclosing group
// (the whole pattern at top level). No other "(?" form exists.
//
// Modifiers and their initial values: i off (ASCII case mapping only), r on (Cyrillic class
// ranges of the Windows code page: E0-FF also takes B8, C0-DF also A8, E0-DF takes both),
// s on ("." matches CR and LF), g on (greedy; off makes every quantifier lazy), m off ("^" and
// "$" at line starts/ends; CR, LF and CR LF separate lines), x off (blanks and "#" comments
// in the pattern ignored).
//
// Matching: the leftmost match wins; at one position alternatives are tried left to right and
// quantifiers take their greedy or lazy order, backtracking as Perl does. A repeated group
// stops repeating once an iteration past its minimum matched nothing; a group keeps the text of
// its last iteration; a back-reference to a group that has not taken part fails. Without m,
// "^" and "$" are the start and end of the whole text ("$" not before a final line break), as
// "\A" and "\Z" always are. The text before a start position still counts for "\b" and "^".
//
// Limits: a search may take 20 million steps plus 100 per byte of text (a step is one matcher
// instruction, one backtrack or one byte scanned by a repeat) and 64 MB of backtracking
// memory; beyond that it raises ERegExpr instead of running away on a hostile page. The steps
// of ExecNext count against the budget of the Exec that began the series, and a TSearchBudget
// gives every search of a whole call one budget. A pattern is at most 64 KB long.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include "parseutils/parseutilserror.h"

namespace kv {

// Compile errors ("TRegExpr(comp): <text> (pos N)", N = 0-based byte offset in the pattern
// where compilation stopped) and search failures ("TRegExpr(exec): ...", a search that exceeds
// its step budget or backtracking memory, or a text too long to search).
class ERegExpr : public parseutils::ParseUtilsError {
  public:
    using parseutils::ParseUtilsError::ParseUtilsError;
};

namespace regexpr {
struct Program;
class Matcher;
}  // namespace regexpr

// While it lives, every search on this thread, with any pattern object, draws on one budget of
// steps: that of one search over textSize bytes. A call that searches a page many times (all
// matches of a pattern set, each match narrowed again) cannot multiply it. A budget opened
// inside another one shares the outer budget.
class TSearchBudget {
  public:
    explicit TSearchBudget(std::size_t textSize);
    ~TSearchBudget();
    TSearchBudget(const TSearchBudget&) = delete;
    TSearchBudget& operator=(const TSearchBudget&) = delete;

  private:
    bool outermost_;
};

class TRegExpr {
  public:
    // Groups 0 (whole match) to 49; a pattern with more groups does not compile.
    static constexpr int kMaxGroups = 50;
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

    TRegExpr();
    ~TRegExpr();
    TRegExpr(TRegExpr&&) noexcept;
    TRegExpr& operator=(TRegExpr&&) noexcept;

    // Compiles the pattern with the object's current modifiers. Raises ERegExpr when it does
    // not compile; the object then has no pattern (Exec raises until a good one is set).
    void SetExpression(std::string_view pattern);
    const std::string& Expression() const { return expression_; }

    // Modifier flags of the object (letters i, r, s, g, m, x; any case). Changing one after
    // SetExpression recompiles the pattern and so may raise ERegExpr (x changes parsing).
    // An unknown letter raises ERegExpr.
    void SetModifier(char letter, bool on);
    bool Modifier(char letter) const;
    void SetModifierI(bool on) { SetModifier('i', on); }
    void SetModifierR(bool on) { SetModifier('r', on); }
    void SetModifierS(bool on) { SetModifier('s', on); }
    void SetModifierG(bool on) { SetModifier('g', on); }
    void SetModifierM(bool on) { SetModifier('m', on); }
    void SetModifierX(bool on) { SetModifier('x', on); }

    // Finds the leftmost match at or after startPos. The text is not copied: it must stay
    // alive and unchanged while matches are read and ExecNext is called. Returns false when
    // there is no match (also when startPos is beyond the text). Raises ERegExpr when the
    // search exceeds its step budget or memory limit; the object then holds no match.
    bool Exec(std::string_view text, std::size_t startPos = 0);
    bool Exec(const char* text, std::size_t startPos = 0) {
        return Exec(std::string_view(text), startPos);
    }
    // A temporary string would be gone before its matches are read.
    bool Exec(std::string&& text, std::size_t startPos = 0) = delete;
    // Searches the same text again from the end of the last match, one byte further when
    // that match was empty, so matches never overlap. False without a previous match.
    bool ExecNext();

    // Group access after a successful search. Group 0 is the whole match. A group that did
    // not take part (or an index outside 0..49, or no match) gives Matched false, MatchPos
    // npos, MatchLen 0 and the empty text; an empty group that took part gives Matched true.
    bool Matched(int group) const;
    std::string Match(int group) const;
    std::string_view MatchView(int group) const;
    std::size_t MatchPos(int group) const;
    std::size_t MatchLen(int group) const;
    // The highest-numbered group that took part in the last match (searching down from 49):
    // 0 when only the whole match did, -1 without a match.
    int SubExprMatchCount() const;
    // Number of capture groups in the compiled pattern (0 without one).
    int GroupCount() const;

    // Work done by the last search, in steps of the budget (for benchmarks and tests).
    unsigned long long LastSearchSteps() const;

  private:
    void Compile();
    bool Search(std::size_t startPos);

    // The budget of the series begun by the last Exec (see Limits above).
    std::uint64_t seriesSteps_ = 0;
    std::uint64_t seriesBudget_ = 0;

    std::string expression_;
    unsigned modifiers_;  // regexpr::Modifiers bits
    std::unique_ptr<regexpr::Program> program_;
    std::unique_ptr<regexpr::Matcher> matcher_;
    std::string_view text_;
    bool matched_ = false;
    std::uint32_t starts_[kMaxGroups];
    std::uint32_t ends_[kMaxGroups];
};

}  // namespace kv
