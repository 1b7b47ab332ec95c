// Compile stage of the pattern engine: turns the pattern tree into a program for the
// backtracking matcher. Single-byte repeats become one RepeatOne step, runs of literal bytes
// one String, alternatives of single bytes one Set; counted repeats of groups use loop
// counters, so {n,m} never copies code. The tree walk recurses, but only as deep as the
// group nesting (at most 49 groups). Tests: tests/regexpr/.
#include "parseutils/regexpr_compile.h"

#include <string>

namespace kv::regexpr {
namespace {

struct FirstInfo {
    ByteSet bytes{};
    bool nullable = true;
};

class Compiler {
  public:
    explicit Compiler(const Tree& tree) : tree_(tree) {
        program_.sets = tree.sets;
        program_.groupCount = tree.groupCount;
    }

    Program Run() {
        Emit(tree_.root);
        Inst match;
        match.op = Op::Match;
        Add(match);
        SetFollowBytes();
        SetSearchHints();
        return std::move(program_);
    }

  private:
    const Node& N(int id) const { return tree_.nodes[static_cast<std::size_t>(id)]; }
    int Pc() const { return static_cast<int>(program_.code.size()); }
    int Add(const Inst& inst) {
        program_.code.push_back(inst);
        return Pc() - 1;
    }
    int AddOp(Op op, int x = 0, int y = 0) {
        Inst inst;
        inst.op = op;
        inst.x = x;
        inst.y = y;
        return Add(inst);
    }
    int AddSet(const ByteSet& set) {
        program_.sets.push_back(set);
        return static_cast<int>(program_.sets.size()) - 1;
    }

    bool IsSingleByte(const Node& node) const {
        return node.kind == NodeKind::Byte || node.kind == NodeKind::Set ||
               node.kind == NodeKind::Any;
    }
    // One byte, or alternatives that are each one byte.
    bool IsByteChoice(const Node& node) const {
        if (IsSingleByte(node)) return true;
        if (node.kind != NodeKind::Alternate) return false;
        for (int child : node.children)
            if (!IsSingleByte(N(child))) return false;
        return true;
    }

    void AddBytesOf(const Node& node, ByteSet& set) const {
        switch (node.kind) {
            case NodeKind::Alternate:
                for (int child : node.children) AddBytesOf(N(child), set);
                break;
            case NodeKind::Byte:
                set[node.byte] = true;
                if (node.fold) set[kLowerByte[node.byte]] = set[kUpperByte[node.byte]] = true;
                break;
            case NodeKind::Set:
                for (int b = 0; b < 256; ++b)
                    if (tree_.sets[static_cast<std::size_t>(node.set)][b]) set[b] = true;
                break;
            default:
                set.fill(true);
        }
    }

    bool Nullable(int id) const { return First(id).nullable; }

    FirstInfo First(int id) const {
        const Node& node = N(id);
        FirstInfo info;
        switch (node.kind) {
            case NodeKind::Byte:
            case NodeKind::Set:
            case NodeKind::Any:
                AddBytesOf(node, info.bytes);
                info.nullable = false;
                break;
            case NodeKind::BackRef:
                info.bytes.fill(true);
                break;
            case NodeKind::Group:
                return First(node.children.front());
            case NodeKind::Concat:
                for (int child : node.children) {
                    const FirstInfo sub = First(child);
                    for (int b = 0; b < 256; ++b) info.bytes[b] = info.bytes[b] || sub.bytes[b];
                    if (!sub.nullable) {
                        info.nullable = false;
                        break;
                    }
                }
                break;
            case NodeKind::Alternate:
                info.nullable = false;
                for (int child : node.children) {
                    const FirstInfo sub = First(child);
                    for (int b = 0; b < 256; ++b) info.bytes[b] = info.bytes[b] || sub.bytes[b];
                    info.nullable = info.nullable || sub.nullable;
                }
                break;
            case NodeKind::Repeat:
                if (node.max == 0) break;
                info = First(node.children.front());
                info.nullable = info.nullable || node.min == 0;
                break;
            default:
                break;  // empty and zero-width assertions
        }
        return info;
    }

    void Emit(int id) {
        const Node& node = N(id);
        switch (node.kind) {
            case NodeKind::Empty:
                break;
            case NodeKind::Byte:
            case NodeKind::Set:
            case NodeKind::Any:
                EmitSingle(node);
                break;
            case NodeKind::LineStart:
                AddOp(node.multiline ? Op::LineStartM : Op::TextStart);
                break;
            case NodeKind::LineEnd:
                AddOp(node.multiline ? Op::LineEndM : Op::TextEnd);
                break;
            case NodeKind::TextStart:
                AddOp(Op::TextStart);
                break;
            case NodeKind::TextEnd:
                AddOp(Op::TextEnd);
                break;
            case NodeKind::WordBoundary:
                AddOp(Op::WordBoundary);
                break;
            case NodeKind::NotWordBoundary:
                AddOp(Op::NotWordBoundary);
                break;
            case NodeKind::BackRef: {
                const int pc = AddOp(Op::BackRef, node.group);
                program_.code[static_cast<std::size_t>(pc)].fold = node.fold;
                break;
            }
            case NodeKind::Group:
                AddOp(Op::Open, node.group);
                Emit(node.children.front());
                AddOp(Op::Close, node.group);
                break;
            case NodeKind::Concat:
                EmitConcat(node);
                break;
            case NodeKind::Alternate:
                EmitAlternate(node);
                break;
            case NodeKind::Repeat:
                EmitRepeat(node);
                break;
        }
    }

    void EmitSingle(const Node& node) {
        if (node.kind == NodeKind::Any) {
            AddOp(Op::Any);
        } else if (node.kind == NodeKind::Byte && !node.fold) {
            Inst inst;
            inst.op = Op::Byte;
            inst.byte = node.byte;
            Add(inst);
        } else {
            ByteSet set{};
            AddBytesOf(node, set);
            AddOp(Op::Set, AddSet(set));
        }
    }

    // Runs of two or more literal bytes become one String step.
    void EmitConcat(const Node& node) {
        const auto& kids = node.children;
        for (std::size_t k = 0; k < kids.size();) {
            // A run shares one case mode; bytes that are no letters fit either.
            std::size_t end = k;
            int runFold = -1;
            while (end < kids.size() && N(kids[end]).kind == NodeKind::Byte) {
                const Node& b = N(kids[end]);
                if (kLowerByte[b.byte] != kUpperByte[b.byte]) {
                    if (runFold >= 0 && runFold != static_cast<int>(b.fold)) break;
                    runFold = b.fold;
                }
                ++end;
            }
            if (end - k < 2) {
                Emit(kids[k]);
                ++k;
                continue;
            }
            bool fold = false;
            for (std::size_t j = k; j < end; ++j) fold = fold || N(kids[j]).fold;
            std::string literal;
            for (std::size_t j = k; j < end; ++j) {
                const unsigned char b = N(kids[j]).byte;
                literal.push_back(static_cast<char>(fold ? kLowerByte[b] : b));
            }
            program_.strings.push_back(std::move(literal));
            const int pc = AddOp(Op::String, static_cast<int>(program_.strings.size()) - 1);
            program_.code[static_cast<std::size_t>(pc)].fold = fold;
            k = end;
        }
    }

    void EmitAlternate(const Node& node) {
        bool allSingle = true;
        for (int child : node.children) allSingle = allSingle && IsSingleByte(N(child));
        if (allSingle) {  // same bytes, same length: one set tries them in one step
            ByteSet set{};
            for (int child : node.children) AddBytesOf(N(child), set);
            AddOp(Op::Set, AddSet(set));
            return;
        }
        std::vector<int> jumps;
        for (std::size_t k = 0; k + 1 < node.children.size(); ++k) {
            const int split = AddOp(Op::Split, Pc() + 1);
            Emit(node.children[k]);
            jumps.push_back(AddOp(Op::Jump));
            program_.code[static_cast<std::size_t>(split)].y = Pc();
        }
        Emit(node.children.back());
        for (int jump : jumps) program_.code[static_cast<std::size_t>(jump)].x = Pc();
    }

    void EmitRepeat(const Node& node) {
        const int child = node.children.front();
        const Node& body = N(child);
        if (node.max == 0) return;
        if (node.min == 1 && node.max == 1) return Emit(child);
        if (IsSingleByte(body)) return EmitRepeatOne(node, body, 0);
        // "(a|b)*": a group of one byte repeats as one step that captures the last byte.
        if (body.kind == NodeKind::Group && IsByteChoice(N(body.children.front())))
            return EmitRepeatOne(node, N(body.children.front()), body.group);
        if (node.min == 0 && node.max == 1) {
            const int split = AddOp(Op::Split);
            Emit(child);
            auto& inst = program_.code[static_cast<std::size_t>(split)];
            inst.x = node.greedy ? split + 1 : Pc();
            inst.y = node.greedy ? Pc() : split + 1;
            return;
        }
        const bool nullable = Nullable(child);
        if (!nullable && node.max == kUnbounded && node.min <= 1) {
            // Plain loops: an iteration always moves on, so no counter is needed.
            const int head = Pc();
            if (node.min == 0) {
                const int split = AddOp(Op::Split);
                Emit(child);
                AddOp(Op::Jump, head);
                auto& inst = program_.code[static_cast<std::size_t>(split)];
                inst.x = node.greedy ? split + 1 : Pc();
                inst.y = node.greedy ? Pc() : split + 1;
            } else {
                Emit(child);
                const int split = AddOp(Op::Split);
                auto& inst = program_.code[static_cast<std::size_t>(split)];
                inst.x = node.greedy ? head : split + 1;
                inst.y = node.greedy ? split + 1 : head;
            }
            return;
        }
        const int loop = program_.loopCount++;
        AddOp(Op::LoopInit, loop);
        const int enter = AddOp(Op::LoopEnter, loop);
        Emit(child);
        AddOp(Op::LoopEnd, loop, enter);
        auto& inst = program_.code[static_cast<std::size_t>(enter)];
        inst.y = Pc();
        inst.min = node.min;
        inst.max = node.max;
        inst.greedy = node.greedy;
    }

    void EmitRepeatOne(const Node& node, const Node& body, int captureGroup) {
        Inst inst;
        inst.op = Op::RepeatOne;
        inst.y = captureGroup;
        inst.min = node.min;
        inst.max = node.max;
        inst.greedy = node.greedy;
        if (body.kind == NodeKind::Any) {
            inst.one = OneKind::Any;
        } else if (body.kind == NodeKind::Byte && !body.fold) {
            inst.one = OneKind::Byte;
            inst.byte = body.byte;
        } else {
            ByteSet set{};
            AddBytesOf(body, set);
            inst.one = OneKind::Set;
            inst.x = AddSet(set);
            int outside = 0, missing = -1;
            for (int b = 0; b < 256; ++b)
                if (!set[b]) ++outside, missing = b;
            if (outside == 1) inst.stopByte = static_cast<std::int16_t>(missing);
        }
        Add(inst);
    }

    // The byte a RepeatOne must be followed by, when the next consuming step is a literal.
    void SetFollowBytes() {
        auto& code = program_.code;
        for (std::size_t pc = 0; pc < code.size(); ++pc) {
            if (code[pc].op != Op::RepeatOne) continue;
            std::size_t next = pc + 1;
            while (code[next].op == Op::Open || code[next].op == Op::Close) ++next;
            const Inst& n = code[next];
            if (n.op == Op::Byte) {
                code[pc].follow = n.byte;
            } else if (n.op == Op::String) {
                const unsigned char b =
                    static_cast<unsigned char>(program_.strings[static_cast<std::size_t>(n.x)][0]);
                if (!n.fold || kLowerByte[b] == kUpperByte[b]) code[pc].follow = b;
            }
        }
    }

    bool SomeJumpTargets(int target) const {
        for (const Inst& inst : program_.code) {
            switch (inst.op) {
                case Op::Split:
                    if (inst.x == target || inst.y == target) return true;
                    break;
                case Op::Jump:
                    if (inst.x == target) return true;
                    break;
                case Op::LoopEnter:
                case Op::LoopEnd:
                    if (inst.y == target) return true;
                    break;
                default:
                    break;
            }
        }
        return false;
    }

    // The last literal byte on the pattern's mandatory path (outside alternatives and optional
    // repeats), or -1.
    int RequiredByte(int id) const {
        const Node& node = N(id);
        switch (node.kind) {
            case NodeKind::Byte:
                return node.fold ? -1 : node.byte;
            case NodeKind::Group:
                return RequiredByte(node.children.front());
            case NodeKind::Repeat:
                return node.min > 0 ? RequiredByte(node.children.front()) : -1;
            case NodeKind::Concat:
                for (auto it = node.children.rbegin(); it != node.children.rend(); ++it)
                    if (const int b = RequiredByte(*it); b >= 0) return b;
                return -1;
            default:
                return -1;
        }
    }

    void SetSearchHints() {
        const Inst& first = program_.code.front();
        program_.anchoredAtStart = first.op == Op::TextStart;
        if (!SomeJumpTargets(0)) {
            if (first.op == Op::String && !first.fold) {
                program_.prefix = program_.strings[static_cast<std::size_t>(first.x)];
                program_.startPc = 1;
            } else if (first.op == Op::Byte) {
                program_.prefix.assign(1, static_cast<char>(first.byte));
                program_.startPc = 1;
            }
        }
        program_.requiredByte = RequiredByte(tree_.root);
        const FirstInfo info = First(tree_.root);
        if (!info.nullable) {
            int count = 0;
            for (bool member : info.bytes) count += member ? 1 : 0;
            program_.useFirstBytes = count < 256;
            program_.firstBytes = info.bytes;
        }
    }

    const Tree& tree_;
    Program program_;
};

}  // namespace

Program CompileTree(const Tree& tree) {
    return Compiler(tree).Run();
}

}  // namespace kv::regexpr
