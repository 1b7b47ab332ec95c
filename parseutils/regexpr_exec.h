// Execute stage of the pattern engine: a backtracking matcher over bytes. Backtracking uses
// an explicit stack of 16-byte entries (choice points and undo records for groups and loop
// counters), never the C++ call stack; every search has a step budget and a memory limit.
// Internal; tests: tests/regexpr/.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "parseutils/regexpr_program.h"

namespace kv::regexpr {

class Matcher {
  public:
    explicit Matcher(const Program& program);

    // Leftmost match at or after startPos (startPos <= text size). On success starts/ends
    // hold groups 0..groupCount (kUnset for a group that did not take part). stepsUsed steps
    // of budget are spent already; the search adds its own, also when it raises ERegExpr
    // because the budget or the backtracking memory is exhausted.
    static constexpr std::uint32_t kUnset = 0xFFFFFFFFu;
    bool Search(std::string_view text, std::size_t startPos, std::uint32_t* starts,
                std::uint32_t* ends, std::uint64_t& stepsUsed, std::uint64_t budget);
    // Steps of the last search alone.
    std::uint64_t Steps() const { return steps_ - firstStep_; }

  private:
    struct Entry {
        std::uint32_t tag;  // kind in the low 3 bits, a program counter or an index above
        std::uint32_t pos;
        std::uint32_t a;
        std::uint32_t b;
    };
    struct GroupState {
        std::uint32_t open = kUnset;
        std::uint32_t start = kUnset;
        std::uint32_t end = kUnset;
        std::uint64_t mark = 0;
    };
    struct LoopState {
        std::uint32_t count = 0;
        std::uint32_t start = kUnset;
        std::uint64_t mark = 0;
    };

    bool Attempt(std::uint32_t start);
    void Push(std::uint32_t kind, std::uint32_t index, std::uint32_t pos, std::uint32_t a = 0,
              std::uint32_t b = 0);
    void SaveGroup(int group);
    void SaveLoop(int loop);
    void CaptureLast(int group, std::uint32_t end);
    bool MatchesOne(const Inst& inst, unsigned char c) const;
    std::uint32_t Span(const Inst& inst, std::uint32_t pos, std::uint32_t limit) const;
    [[noreturn]] void OutOfSteps() const;

    const Program& program_;
    const unsigned char* text_ = nullptr;
    std::uint32_t size_ = 0;
    std::vector<Entry> stack_;
    std::vector<GroupState> groups_;
    std::vector<LoopState> loops_;
    std::uint64_t generation_ = 1;
    std::uint64_t steps_ = 0;
    std::uint64_t firstStep_ = 0;  // steps_ when the last search began
    std::uint64_t budget_ = 0;
    int onlyFirst_ = -1;  // the one byte every match starts with, or -1
};

}  // namespace kv::regexpr
