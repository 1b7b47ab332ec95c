// Execute stage of the pattern engine: the backtracking matcher. Choice points and undo
// records share one explicit stack; group and loop states are saved at most once per choice
// point (a generation counter tells whether the current one already saved them), so failed
// attempts unwind to a clean state without resetting every group. Single-byte repeats keep
// one stack entry for the whole run and, when a literal byte must follow, jump straight to
// its next (lazy) or previous (greedy) occurrence. Tests: tests/regexpr/.
#include "parseutils/regexpr_exec.h"

#include <cstring>
#include <string>

#include "parseutils/regexpr.h"

namespace kv::regexpr {
namespace {

enum EntryKind : std::uint32_t {
    kChoice = 0,        // resume at pc (tag) with pos
    kGreedyOne = 1,     // RepeatOne at pc: give back bytes down to a (lowest end); b = start
    kLazyOne = 2,       // RepeatOne at pc: take another byte; a = count so far
    kRestoreGroup = 3,  // group (tag): open = pos, start = a, end = b
    kRestoreLoop = 4,   // loop (tag): start = pos, count = a
    kLoopIter = 5,      // LoopEnter at pc: do one more (lazy) iteration from pos
};

bool IsResumable(std::uint32_t kind) {
    return kind != kRestoreGroup && kind != kRestoreLoop;
}

}  // namespace

Matcher::Matcher(const Program& program)
    : program_(program),
      groups_(static_cast<std::size_t>(program.groupCount) + 1),
      loops_(static_cast<std::size_t>(program.loopCount)) {
    if (!program.useFirstBytes) return;
    int count = 0, last = -1;
    for (int b = 0; b < 256; ++b)
        if (program.firstBytes[b]) ++count, last = b;
    if (count == 1) onlyFirst_ = last;
}

void Matcher::OutOfSteps() const {
    throw ERegExpr(kErrStepBudget);
}

void Matcher::Push(std::uint32_t kind, std::uint32_t index, std::uint32_t pos, std::uint32_t a,
                   std::uint32_t b) {
    if (stack_.size() >= kMaxBacktrackEntries) throw ERegExpr(kErrBacktrackMemory);
    stack_.push_back(Entry{kind | (index << 3), pos, a, b});
    if (IsResumable(kind)) ++generation_;
}

void Matcher::SaveGroup(int group) {
    GroupState& g = groups_[static_cast<std::size_t>(group)];
    if (g.mark == generation_) return;
    Push(kRestoreGroup, static_cast<std::uint32_t>(group), g.open, g.start, g.end);
    g.mark = generation_;
}

void Matcher::SaveLoop(int loop) {
    LoopState& l = loops_[static_cast<std::size_t>(loop)];
    if (l.mark == generation_) return;
    Push(kRestoreLoop, static_cast<std::uint32_t>(loop), l.start, l.count);
    l.mark = generation_;
}

void Matcher::CaptureLast(int group, std::uint32_t end) {
    SaveGroup(group);
    GroupState& g = groups_[static_cast<std::size_t>(group)];
    g.open = g.start = end - 1;
    g.end = end;
}

bool Matcher::MatchesOne(const Inst& inst, unsigned char c) const {
    switch (inst.one) {
        case OneKind::Any:
            return true;
        case OneKind::Byte:
            return c == inst.byte;
        case OneKind::Set:
            return program_.sets[static_cast<std::size_t>(inst.x)][c];
    }
    return false;
}

// End of the longest run of bytes matching the RepeatOne step from pos, not beyond limit.
std::uint32_t Matcher::Span(const Inst& inst, std::uint32_t pos, std::uint32_t limit) const {
    switch (inst.one) {
        case OneKind::Any:
            return limit;
        case OneKind::Byte:
            while (pos < limit && text_[pos] == inst.byte) ++pos;
            return pos;
        case OneKind::Set: {
            if (inst.stopByte >= 0) {
                const void* hit = std::memchr(text_ + pos, inst.stopByte, limit - pos);
                return hit ? static_cast<std::uint32_t>(static_cast<const unsigned char*>(hit) -
                                                        text_)
                           : limit;
            }
            const ByteSet& set = program_.sets[static_cast<std::size_t>(inst.x)];
            while (pos < limit && set[text_[pos]]) ++pos;
            return pos;
        }
    }
    return pos;
}

bool Matcher::Search(std::string_view text, std::size_t startPos, std::uint32_t* starts,
                     std::uint32_t* ends, std::uint64_t& stepsUsed, std::uint64_t budget) {
    if (text.size() > kMaxTextLength) throw ERegExpr(kErrTextTooLong);
    // An empty view may have no data; memchr and friends want a real pointer even for 0 bytes.
    text_ = reinterpret_cast<const unsigned char*>(text.empty() ? "" : text.data());
    size_ = static_cast<std::uint32_t>(text.size());
    steps_ = firstStep_ = stepsUsed;
    budget_ = budget;
    struct Spent {  // the caller's count follows, however the search ends
        std::uint64_t& used;
        const std::uint64_t& steps;
        ~Spent() { used = steps; }
    } spent{stepsUsed, steps_};
    stack_.clear();
    for (auto& g : groups_) g = GroupState{};
    for (auto& l : loops_) l = LoopState{};

    const Program& p = program_;
    std::uint32_t pos = static_cast<std::uint32_t>(startPos);
    if (pos > size_) return false;
    if (p.requiredByte >= 0 && !std::memchr(text_ + pos, p.requiredByte, size_ - pos)) return false;
    for (;; ++pos) {
        if (pos > size_) return false;
        if (p.anchoredAtStart && pos != 0) return false;
        if (!p.prefix.empty()) {
            const void* hit =
                p.prefix.size() == 1
                    ? std::memchr(text_ + pos, p.prefix[0], size_ - pos)
                    : memmem(text_ + pos, size_ - pos, p.prefix.data(), p.prefix.size());
            if (!hit) return false;
            pos = static_cast<std::uint32_t>(static_cast<const unsigned char*>(hit) - text_);
        } else if (onlyFirst_ >= 0) {
            const void* hit = std::memchr(text_ + pos, onlyFirst_, size_ - pos);
            if (!hit) return false;
            pos = static_cast<std::uint32_t>(static_cast<const unsigned char*>(hit) - text_);
        } else if (p.useFirstBytes) {
            while (pos < size_ && !p.firstBytes[text_[pos]]) ++pos;
            if (pos == size_) return false;
        }
        if (Attempt(pos)) break;
    }
    for (int g = 1; g <= p.groupCount; ++g) {
        starts[g] = groups_[static_cast<std::size_t>(g)].start;
        ends[g] = groups_[static_cast<std::size_t>(g)].end;
    }
    starts[0] = pos;
    ends[0] = groups_[0].end;
    return true;
}

bool Matcher::Attempt(std::uint32_t start) {
    const Program& p = program_;
    const Inst* code = p.code.data();
    const unsigned char* t = text_;
    const std::uint32_t n = size_;
    std::uint32_t pos = start + static_cast<std::uint32_t>(p.prefix.size());
    std::uint32_t pc = static_cast<std::uint32_t>(p.startPc);
    ++generation_;
    for (;;) {
        if (++steps_ > budget_) OutOfSteps();
        const Inst& in = code[pc];
        switch (in.op) {
            case Op::Byte:
                if (pos < n && t[pos] == in.byte) {
                    ++pos;
                    ++pc;
                    continue;
                }
                break;
            case Op::String: {
                const std::string& s = p.strings[static_cast<std::size_t>(in.x)];
                if (n - pos < s.size()) break;
                bool same = true;
                if (in.fold) {
                    for (std::size_t k = 0; k < s.size() && same; ++k)
                        same = kLowerByte[t[pos + k]] == static_cast<unsigned char>(s[k]);
                } else {
                    same = std::memcmp(t + pos, s.data(), s.size()) == 0;
                }
                if (!same) break;
                pos += static_cast<std::uint32_t>(s.size());
                ++pc;
                continue;
            }
            case Op::Set:
                if (pos < n && p.sets[static_cast<std::size_t>(in.x)][t[pos]]) {
                    ++pos;
                    ++pc;
                    continue;
                }
                break;
            case Op::Any:
                if (pos < n) {
                    ++pos;
                    ++pc;
                    continue;
                }
                break;
            case Op::LineStartM:
                if (pos == 0 || t[pos - 1] == '\n' ||
                    (t[pos - 1] == '\r' && (pos == n || t[pos] != '\n'))) {
                    ++pc;
                    continue;
                }
                break;
            case Op::LineEndM:
                if (pos == n || t[pos] == '\r' ||
                    (t[pos] == '\n' && (pos == 0 || t[pos - 1] != '\r'))) {
                    ++pc;
                    continue;
                }
                break;
            case Op::TextStart:
                if (pos == 0) {
                    ++pc;
                    continue;
                }
                break;
            case Op::TextEnd:
                if (pos == n) {
                    ++pc;
                    continue;
                }
                break;
            case Op::WordBoundary:
            case Op::NotWordBoundary: {
                const bool before = pos > 0 && IsWordByte(t[pos - 1]);
                const bool after = pos < n && IsWordByte(t[pos]);
                if ((before != after) == (in.op == Op::WordBoundary)) {
                    ++pc;
                    continue;
                }
                break;
            }
            case Op::BackRef: {
                const GroupState& g = groups_[static_cast<std::size_t>(in.x)];
                if (g.start == kUnset) break;
                const std::uint32_t len = g.end - g.start;
                if (n - pos < len) break;
                bool same = true;
                if (in.fold) {
                    for (std::uint32_t k = 0; k < len && same; ++k)
                        same = kLowerByte[t[pos + k]] == kLowerByte[t[g.start + k]];
                } else {
                    same = std::memcmp(t + pos, t + g.start, len) == 0;
                }
                if (!same) break;
                steps_ += len;
                pos += len;
                ++pc;
                continue;
            }
            case Op::Open:
                SaveGroup(in.x);
                groups_[static_cast<std::size_t>(in.x)].open = pos;
                ++pc;
                continue;
            case Op::Close: {
                SaveGroup(in.x);
                GroupState& g = groups_[static_cast<std::size_t>(in.x)];
                g.start = g.open;
                g.end = pos;
                ++pc;
                continue;
            }
            case Op::Split:
                Push(kChoice, static_cast<std::uint32_t>(in.y), pos);
                pc = static_cast<std::uint32_t>(in.x);
                continue;
            case Op::Jump:
                pc = static_cast<std::uint32_t>(in.x);
                continue;
            case Op::RepeatOne: {
                const std::uint64_t room = n - pos;
                if (in.min > room) break;
                std::uint32_t end;
                if (in.greedy) {
                    const std::uint32_t limit = in.max >= room ? n : pos + in.max;
                    end = Span(in, pos, limit);
                    steps_ += end - pos;
                    if (end - pos < in.min) break;
                    const std::uint32_t lowest = pos + in.min;
                    if (end > lowest) Push(kGreedyOne, pc, end, lowest, pos);
                } else {
                    end = Span(in, pos, pos + in.min);
                    steps_ += end - pos;
                    if (end - pos < in.min) break;
                    if (in.max > in.min) Push(kLazyOne, pc, end, in.min);
                }
                // The group's undo record lies above the choice point, so resuming it finds
                // the group as it was before the repeat.
                if (in.y > 0 && end > pos) CaptureLast(in.y, end);
                pos = end;
                ++pc;
                continue;
            }
            case Op::LoopInit: {
                SaveLoop(in.x);
                LoopState& l = loops_[static_cast<std::size_t>(in.x)];
                l.count = 0;
                l.start = kUnset;
                ++pc;
                continue;
            }
            case Op::LoopEnter: {
                LoopState& l = loops_[static_cast<std::size_t>(in.x)];
                if (l.count >= in.max) {
                    pc = static_cast<std::uint32_t>(in.y);
                    continue;
                }
                if (l.count >= in.min) {
                    if (!in.greedy) {
                        Push(kLoopIter, pc, pos);
                        pc = static_cast<std::uint32_t>(in.y);
                        continue;
                    }
                    Push(kChoice, static_cast<std::uint32_t>(in.y), pos);
                }
                SaveLoop(in.x);
                ++l.count;
                l.start = pos;
                ++pc;
                continue;
            }
            case Op::LoopEnd: {
                const LoopState& l = loops_[static_cast<std::size_t>(in.x)];
                const Inst& enter = code[in.y];
                // Once the minimum is reached, an iteration that matched nothing ends the
                // loop (as in Perl): repeating it could only match nothing again.
                pc = (l.count >= enter.min && pos == l.start) ? static_cast<std::uint32_t>(enter.y)
                                                              : static_cast<std::uint32_t>(in.y);
                continue;
            }
            case Op::Match:
                groups_[0].end = pos;
                return true;
        }

        // Backtrack: undo records restore state until a choice point resumes.
        for (;;) {
            if (stack_.empty()) return false;
            Entry& e = stack_.back();
            const std::uint32_t kind = e.tag & 7u;
            const std::uint32_t index = e.tag >> 3;
            if (kind == kRestoreGroup) {
                groups_[index] = GroupState{e.pos, e.a, e.b, 0};
                stack_.pop_back();
                continue;
            }
            if (kind == kRestoreLoop) {
                loops_[index] = LoopState{e.a, e.pos, 0};
                stack_.pop_back();
                continue;
            }
            if (++steps_ > budget_) OutOfSteps();
            ++generation_;
            if (kind == kChoice) {
                pc = index;
                pos = e.pos;
                stack_.pop_back();
                break;
            }
            if (kind == kLoopIter) {
                pos = e.pos;
                stack_.pop_back();
                const Inst& enter = code[index];
                SaveLoop(enter.x);
                LoopState& l = loops_[static_cast<std::size_t>(enter.x)];
                ++l.count;
                l.start = pos;
                pc = index + 1;
                break;
            }
            const Inst& rep = code[index];
            if (kind == kGreedyOne) {
                const std::uint32_t cur = e.pos;
                const std::uint32_t lowest = e.a;
                std::uint32_t next = cur - 1;
                if (rep.follow >= 0) {
                    const void* hit = memrchr(t + lowest, rep.follow, cur - lowest);
                    if (!hit) {
                        steps_ += cur - lowest;
                        stack_.pop_back();
                        continue;
                    }
                    next = static_cast<std::uint32_t>(static_cast<const unsigned char*>(hit) - t);
                    steps_ += cur - next;
                }
                const std::uint32_t repeatStart = e.b;
                if (next > lowest)
                    e.pos = next;
                else
                    stack_.pop_back();
                if (rep.y > 0 && next > repeatStart) CaptureLast(rep.y, next);
                pos = next;
                pc = index + 1;
                break;
            }
            // kLazyOne: one byte more, or (with a follow byte) up to its next occurrence.
            std::uint32_t cur = e.pos;
            std::uint32_t count = e.a;
            if (count >= rep.max || cur >= n || !MatchesOne(rep, t[cur])) {
                stack_.pop_back();
                continue;
            }
            ++cur;
            ++count;
            if (rep.follow >= 0) {
                const std::uint32_t from = cur;
                if (rep.one == OneKind::Any) {
                    const std::uint64_t room =
                        rep.max == kUnbounded
                            ? n - cur
                            : std::min<std::uint64_t>(n - cur, std::uint64_t{rep.max} - count + 1);
                    const void* hit = std::memchr(t + cur, rep.follow, room);
                    cur =
                        hit ? static_cast<std::uint32_t>(static_cast<const unsigned char*>(hit) - t)
                            : n;
                    count += cur - from;
                } else {
                    while (cur < n && t[cur] != rep.follow && count < rep.max &&
                           MatchesOne(rep, t[cur])) {
                        ++cur;
                        ++count;
                    }
                }
                steps_ += cur - from;
                if (cur >= n || t[cur] != rep.follow) {
                    stack_.pop_back();
                    continue;
                }
            }
            if (count < rep.max) {
                e.pos = cur;
                e.a = count;
            } else {
                stack_.pop_back();
            }
            if (rep.y > 0) CaptureLast(rep.y, cur);
            pos = cur;
            pc = index + 1;
            break;
        }
    }
}

}  // namespace kv::regexpr
