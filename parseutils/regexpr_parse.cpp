// Parse stage of the pattern engine: reads the dialect into a pattern tree. Groups are kept
// on an explicit stack of levels, so no C++ recursion follows the pattern's nesting.
// Tests: tests/regexpr/regexpr_syntax_test.cpp, regexpr_errors_test.cpp.
#include "parseutils/regexpr_parse.h"

#include <string>

#include "parseutils/regexpr.h"
#include "text/hexdigit.h"

namespace kv::regexpr {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsLetter(unsigned char c) {
    return kLowerByte[c] != kUpperByte[c];
}

// Bytes of the escapes \t \n \r \f \a \e, or -1.
int ControlEscape(char c) {
    switch (c) {
        case 't':
            return 9;
        case 'n':
            return 10;
        case 'r':
            return 13;
        case 'f':
            return 12;
        case 'a':
            return 7;
        case 'e':
            return 27;
        default:
            return -1;
    }
}

// Adds the bytes of \d \s \w (or their complements \D \S \W); false for other letters.
bool AddClassEscape(char c, ByteSet& set) {
    ByteSet own{};
    switch (c | 0x20) {
        case 'd':
            for (int b = '0'; b <= '9'; ++b) own[b] = true;
            break;
        case 's':
            for (unsigned char b : {' ', '\t', '\n', '\r', '\f'}) own[b] = true;
            break;
        case 'w':
            for (int b = 0; b < 256; ++b) own[b] = IsWordByte(static_cast<unsigned char>(b));
            break;
        default:
            return false;
    }
    const bool negate = (c >= 'A' && c <= 'Z');
    for (int b = 0; b < 256; ++b)
        if (own[b] != negate) set[b] = true;
    return true;
}

bool IsClassEscapeLetter(char c) {
    return c == 'd' || c == 'D' || c == 's' || c == 'S' || c == 'w' || c == 'W';
}

class Parser {
  public:
    Parser(std::string_view pattern, unsigned modifiers) : p_(pattern), mods_(modifiers) {}

    Tree Run() {
        if (p_.empty()) ThrowCompileError(kErrNullArgument, 0);
        levels_.push_back(Level{0, mods_, {{}}});
        while (true) {
            if (mods_ & kModX) SkipExtended(i_);
            if (i_ >= p_.size()) break;
            ParseToken();
        }
        if (levels_.size() > 1) ThrowCompileError(kErrUnmatchedParens, p_.size());
        tree_.root = FinishLevel(levels_.back());
        for (const auto& [group, pos] : backRefs_)
            if (group > tree_.groupCount) ThrowCompileError(kErrNoSuchGroup, pos);
        return std::move(tree_);
    }

  private:
    struct Level {
        int group;
        unsigned savedMods;
        std::vector<std::vector<int>> branches;
    };
    // What the last item of the current branch is, for the quantifier checks.
    enum class Last { Nothing, Atom, Quantified };

    int Add(Node node) {
        tree_.nodes.push_back(std::move(node));
        return static_cast<int>(tree_.nodes.size()) - 1;
    }
    void Append(Node node, Last last) {
        const int id = Add(std::move(node));
        levels_.back().branches.back().push_back(id);
        last_ = last;
    }
    void AppendSet(const ByteSet& set) {
        tree_.sets.push_back(set);
        Node node;
        node.kind = NodeKind::Set;
        node.set = static_cast<int>(tree_.sets.size()) - 1;
        Append(std::move(node), Last::Atom);
    }
    void AppendByte(unsigned char byte) {
        Node node;
        node.kind = NodeKind::Byte;
        node.byte = byte;
        node.fold = (mods_ & kModI) && IsLetter(byte);
        Append(std::move(node), Last::Atom);
    }
    void AppendAssertion(NodeKind kind) {
        Node node;
        node.kind = kind;
        node.multiline = (mods_ & kModM) != 0;
        Append(std::move(node), Last::Nothing);
    }

    // Blanks and "#" comments of the x modifier, from `pos` on.
    void SkipExtended(std::size_t& pos) const {
        while (pos < p_.size()) {
            const char c = p_[pos];
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
                ++pos;
            } else if (c == '#') {
                while (pos < p_.size() && p_[pos] != '\r' && p_[pos] != '\n') ++pos;
            } else {
                break;
            }
        }
    }

    void ParseToken() {
        const char c = p_[i_];
        switch (c) {
            case '(':
                return ParseOpen();
            case ')':
                return ParseClose();
            case '|':
                levels_.back().branches.emplace_back();
                last_ = Last::Nothing;
                ++i_;
                return;
            case '*':
            case '+':
            case '?':
            case '{':
                return ParseQuantifier();
            case '[':
                return ParseClass();
            case '\\':
                return ParseEscape();
            case '.':
                ++i_;
                if (mods_ & kModS) {
                    Node node;
                    node.kind = NodeKind::Any;
                    Append(std::move(node), Last::Atom);
                } else {
                    ByteSet set;
                    set.fill(true);
                    set['\r'] = set['\n'] = false;
                    AppendSet(set);
                }
                return;
            case '^':
                ++i_;
                return AppendAssertion(NodeKind::LineStart);
            case '$':
                ++i_;
                return AppendAssertion(NodeKind::LineEnd);
            default:
                ++i_;
                return AppendByte(static_cast<unsigned char>(c));
        }
    }

    void ParseOpen() {
        if (i_ + 1 < p_.size() && p_[i_ + 1] == '?') {
            if (i_ + 2 < p_.size() && p_[i_ + 2] == '#') {
                const std::size_t close = p_.find(')', i_ + 3);
                if (close == std::string_view::npos)
                    ThrowCompileError(kErrUnclosedComment, p_.size());
                i_ = close + 1;
            } else {
                ParseModifiers();
            }
            last_ = Last::Nothing;
            return;
        }
        if (tree_.groupCount >= kMaxGroupNumber) ThrowCompileError(kErrTooManyGroups, i_);
        ++tree_.groupCount;
        levels_.push_back(Level{tree_.groupCount, mods_, {{}}});
        last_ = Last::Nothing;
        ++i_;
    }

    // "(?" letters ["-" letters] ")": on before the dash, off after it.
    void ParseModifiers() {
        std::size_t j = i_ + 2;
        bool on = true;
        unsigned mods = mods_;
        while (true) {
            if (j >= p_.size()) ThrowCompileError(kErrUnknownModifier, j);
            const char c = p_[j];
            if (c == ')') break;
            if (c == '-' && on) {
                on = false;
            } else {
                const unsigned bit = ModifierBitOf(c);
                if (bit == 0) ThrowCompileError(kErrUnknownModifier, j);
                mods = on ? (mods | bit) : (mods & ~bit);
            }
            ++j;
        }
        mods_ = mods;
        i_ = j + 1;
    }

    void ParseClose() {
        if (levels_.size() == 1) ThrowCompileError(kErrUnmatchedParens, i_);
        Level level = std::move(levels_.back());
        levels_.pop_back();
        Node node;
        node.kind = NodeKind::Group;
        node.group = level.group;
        node.children.push_back(FinishLevel(level));
        mods_ = level.savedMods;
        ++i_;
        Append(std::move(node), Last::Atom);
    }

    int FinishLevel(Level& level) {
        std::vector<int> alternatives;
        for (auto& branch : level.branches) {
            if (branch.size() == 1) {
                alternatives.push_back(branch.front());
                continue;
            }
            Node node;
            node.kind = branch.empty() ? NodeKind::Empty : NodeKind::Concat;
            node.children = std::move(branch);
            alternatives.push_back(Add(std::move(node)));
        }
        if (alternatives.size() == 1) return alternatives.front();
        Node node;
        node.kind = NodeKind::Alternate;
        node.children = std::move(alternatives);
        return Add(std::move(node));
    }

    // Reads a decimal number at j (at least one digit); false when there is none.
    bool ReadCount(std::size_t& j, std::uint32_t& value) const {
        if (j >= p_.size() || !IsDigit(p_[j])) return false;
        std::uint64_t v = 0;
        while (j < p_.size() && IsDigit(p_[j])) {
            v = v * 10 + static_cast<std::uint64_t>(p_[j] - '0');
            if (v > kMaxRepeatCount) v = kMaxRepeatCount + 1;  // stays "too large"
            ++j;
        }
        value = static_cast<std::uint32_t>(v);
        return true;
    }

    // "{n}", "{n,}" or "{n,m}" at i_; on success j is past the "}".
    bool ReadCountedForm(std::size_t& j, std::uint32_t& min, std::uint32_t& max) const {
        j = i_ + 1;
        if (!ReadCount(j, min)) return false;
        if (j < p_.size() && p_[j] == '}') {
            max = min;
        } else if (j < p_.size() && p_[j] == ',') {
            ++j;
            if (j < p_.size() && p_[j] == '}') {
                max = kUnbounded;
            } else if (!ReadCount(j, max) || j >= p_.size() || p_[j] != '}') {
                return false;
            }
        } else {
            return false;
        }
        ++j;
        return true;
    }

    void ParseQuantifier() {
        std::uint32_t min = 0, max = kUnbounded;
        std::size_t j = i_ + 1;
        switch (p_[i_]) {
            case '*':
                break;
            case '+':
                min = 1;
                break;
            case '?':
                max = 1;
                break;
            default:
                if (!ReadCountedForm(j, min, max)) {
                    ++i_;
                    return AppendByte('{');
                }
                if (min > kMaxRepeatCount || (max != kUnbounded && max > kMaxRepeatCount))
                    ThrowCompileError(kErrCountTooLarge, i_);
                if (min > max) ThrowCompileError(kErrBadCount, i_);
        }
        if (last_ == Last::Nothing) ThrowCompileError(kErrFollowsNothing, i_);
        if (last_ == Last::Quantified) ThrowCompileError(kErrNestedQuantifier, i_);
        bool lazy = false;
        // As in Perl, x-mode blanks and comments may stand between a quantifier and its "?".
        std::size_t afterBlanks = j;
        if (mods_ & kModX) SkipExtended(afterBlanks);
        if (afterBlanks < p_.size() && p_[afterBlanks] == '?') {
            j = afterBlanks;
            lazy = true;
            ++j;
        }
        auto& branch = levels_.back().branches.back();
        Node node;
        node.kind = NodeKind::Repeat;
        node.min = min;
        node.max = max;
        node.greedy = (mods_ & kModG) && !lazy;
        node.children.push_back(branch.back());
        branch.back() = Add(std::move(node));
        last_ = Last::Quantified;
        i_ = j;
    }

    // "\x" at i_ (the backslash): two hex digits, or one or two in braces.
    unsigned char ReadHex(std::size_t& j) const {
        j = i_ + 2;
        int value = 0;
        if (j < p_.size() && p_[j] == '{') {
            ++j;
            int digits = 0;
            while (j < p_.size() && digits < 3 && text::HexDigitValue(p_[j]) >= 0) {
                value = value * 16 + text::HexDigitValue(p_[j]);
                ++digits;
                ++j;
            }
            if (digits == 0 || digits > 2 || j >= p_.size() || p_[j] != '}')
                ThrowCompileError(kErrBadHex, i_);
            ++j;
        } else {
            for (int k = 0; k < 2; ++k, ++j) {
                if (j >= p_.size() || text::HexDigitValue(p_[j]) < 0)
                    ThrowCompileError(kErrBadHex, i_);
                value = value * 16 + text::HexDigitValue(p_[j]);
            }
        }
        return static_cast<unsigned char>(value);
    }

    void ParseEscape() {
        if (i_ + 1 >= p_.size()) ThrowCompileError(kErrTrailingBackslash, i_);
        const char c = p_[i_ + 1];
        if (IsClassEscapeLetter(c)) {
            ByteSet set{};
            AddClassEscape(c, set);
            i_ += 2;
            return AppendSet(set);
        }
        if (c == 'x') {
            std::size_t j;
            const unsigned char byte = ReadHex(j);
            i_ = j;
            return AppendByte(byte);
        }
        if (c >= '1' && c <= '9') {
            backRefs_.push_back({c - '0', i_});
            Node node;
            node.kind = NodeKind::BackRef;
            node.group = c - '0';
            node.fold = (mods_ & kModI) != 0;
            i_ += 2;
            return Append(std::move(node), Last::Atom);
        }
        i_ += 2;
        switch (c) {
            case 'b':
                return AppendAssertion(NodeKind::WordBoundary);
            case 'B':
                return AppendAssertion(NodeKind::NotWordBoundary);
            case 'A':
                return AppendAssertion(NodeKind::TextStart);
            case 'Z':
                return AppendAssertion(NodeKind::TextEnd);
            default:
                break;
        }
        const int control = ControlEscape(c);
        AppendByte(control >= 0 ? static_cast<unsigned char>(control)
                                : static_cast<unsigned char>(c));
    }

    // One class member at i_: a byte (returned, >= 0) or a class escape added to set (-1).
    int ReadClassItem(ByteSet& set) {
        if (p_[i_] != '\\') return static_cast<unsigned char>(p_[i_++]);
        if (i_ + 1 >= p_.size()) ThrowCompileError(kErrUnmatchedBrackets, p_.size());
        const char c = p_[i_ + 1];
        if (AddClassEscape(c, set)) {
            i_ += 2;
            return -1;
        }
        if (c == 'x') {
            std::size_t j;
            const unsigned char byte = ReadHex(j);
            i_ = j;
            return byte;
        }
        i_ += 2;
        const int control = ControlEscape(c);
        return control >= 0 ? control : static_cast<unsigned char>(c);
    }

    void AddRange(ByteSet& set, int first, int last, std::size_t pos) const {
        const bool cyrillic = (mods_ & kModR) != 0;
        if (first > last) {
            // Windows Cyrillic: "а-Я" (E0-DF) means every Cyrillic letter of both cases.
            if (!(cyrillic && first == 0xE0 && last == 0xDF))
                ThrowCompileError(kErrInvalidRange, pos);
            for (int b = 0xC0; b <= 0xFF; ++b) set[b] = true;
            set[0xA8] = set[0xB8] = true;
            return;
        }
        for (int b = first; b <= last; ++b) set[b] = true;
        if (cyrillic && first == 0xE0 && last == 0xFF) set[0xB8] = true;  // ё
        if (cyrillic && first == 0xC0 && last == 0xDF) set[0xA8] = true;  // Ё
    }

    void ParseClass() {
        ++i_;
        bool negate = false;
        if (i_ < p_.size() && p_[i_] == '^') {
            negate = true;
            ++i_;
        }
        ByteSet set{};
        bool first = true;
        while (true) {
            if (i_ >= p_.size()) ThrowCompileError(kErrUnmatchedBrackets, p_.size());
            if (p_[i_] == ']' && !first) {
                ++i_;
                break;
            }
            first = false;
            const std::size_t itemPos = i_;
            const int low = ReadClassItem(set);
            if (low < 0) continue;
            if (i_ + 1 < p_.size() && p_[i_] == '-' && p_[i_ + 1] != ']') {
                ++i_;
                const int high = ReadClassItem(set);
                if (high < 0) {  // "a-\d": the dash is literal
                    set[low] = set['-'] = true;
                    continue;
                }
                AddRange(set, low, high, itemPos);
            } else {
                set[low] = true;
            }
        }
        if (mods_ & kModI) {
            for (int b = 0; b < 256; ++b)
                if (set[b]) set[kLowerByte[b]] = set[kUpperByte[b]] = true;
        }
        if (negate)
            for (auto& member : set) member = !member;
        AppendSet(set);
    }

    std::string_view p_;
    unsigned mods_;
    std::size_t i_ = 0;
    Tree tree_;
    std::vector<Level> levels_;
    Last last_ = Last::Nothing;
    std::vector<std::pair<int, std::size_t>> backRefs_;
};

}  // namespace

Tree ParsePattern(std::string_view pattern, unsigned modifiers) {
    return Parser(pattern, modifiers).Run();
}

}  // namespace kv::regexpr
