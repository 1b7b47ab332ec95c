// TRegExpr: the public face of the pattern engine. Owns the compiled program and one matcher
// (its stacks are reused from search to search) and answers group questions about the last
// match. Tests: tests/regexpr/.
#include "parseutils/regexpr.h"

#include <string>

#include "parseutils/regexpr_compile.h"
#include "parseutils/regexpr_exec.h"
#include "parseutils/regexpr_parse.h"
#include "text/textcompare.h"

namespace kv {
namespace regexpr {
void ThrowCompileError(const char* text, std::size_t pos) {
    throw ERegExpr(std::string(text) + " (pos " + std::to_string(pos) + ")");
}

unsigned ModifierBitOf(char letter) {
    switch (text::AsciiLower(letter)) {
        case 'i':
            return kModI;
        case 'r':
            return kModR;
        case 's':
            return kModS;
        case 'g':
            return kModG;
        case 'm':
            return kModM;
        case 'x':
            return kModX;
        default:
            return 0;
    }
}

namespace {

// The budget every search of this thread shares while a TSearchBudget lives.
struct SharedBudget {
    bool open = false;
    std::uint64_t used = 0;
    std::uint64_t limit = 0;
};
thread_local SharedBudget sharedBudget;

std::uint64_t BudgetFor(std::size_t textSize) {
    return kSearchStepBase + kSearchStepsPerByte * static_cast<std::uint64_t>(textSize);
}

}  // namespace

}  // namespace regexpr

TSearchBudget::TSearchBudget(std::size_t textSize) : outermost_(!regexpr::sharedBudget.open) {
    if (outermost_) regexpr::sharedBudget = {true, 0, regexpr::BudgetFor(textSize)};
}

TSearchBudget::~TSearchBudget() {
    if (outermost_) regexpr::sharedBudget = {};
}

TRegExpr::TRegExpr() : modifiers_(regexpr::kInitialModifiers) {}
TRegExpr::~TRegExpr() = default;
TRegExpr::TRegExpr(TRegExpr&&) noexcept = default;
TRegExpr& TRegExpr::operator=(TRegExpr&&) noexcept = default;

void TRegExpr::SetExpression(std::string_view pattern) {
    expression_.assign(pattern);
    Compile();
}

void TRegExpr::Compile() {
    matched_ = false;
    matcher_.reset();
    program_.reset();
    if (expression_.size() > regexpr::kMaxPatternLength)
        regexpr::ThrowCompileError(regexpr::kErrPatternTooLong, regexpr::kMaxPatternLength);
    auto program = std::make_unique<regexpr::Program>(
        regexpr::CompileTree(regexpr::ParsePattern(expression_, modifiers_)));
    matcher_ = std::make_unique<regexpr::Matcher>(*program);
    program_ = std::move(program);
}

void TRegExpr::SetModifier(char letter, bool on) {
    const unsigned bit = regexpr::ModifierBitOf(letter);
    if (bit == 0) throw ERegExpr(regexpr::kErrUnknownModifier);
    const unsigned next = on ? (modifiers_ | bit) : (modifiers_ & ~bit);
    if (next == modifiers_) return;
    modifiers_ = next;
    if (program_ || !expression_.empty()) Compile();
}

bool TRegExpr::Modifier(char letter) const {
    return (modifiers_ & regexpr::ModifierBitOf(letter)) != 0;
}

bool TRegExpr::Exec(std::string_view text, std::size_t startPos) {
    text_ = text;
    seriesSteps_ = 0;
    seriesBudget_ = regexpr::BudgetFor(text.size());
    return Search(startPos);
}

bool TRegExpr::ExecNext() {
    if (!matched_) return false;
    const std::size_t next = ends_[0] == starts_[0] ? std::size_t{ends_[0]} + 1 : ends_[0];
    return Search(next);
}

bool TRegExpr::Search(std::size_t startPos) {
    matched_ = false;
    if (!matcher_) throw ERegExpr(regexpr::kErrNoExpression);
    if (startPos > text_.size()) return false;
    regexpr::SharedBudget& shared = regexpr::sharedBudget;
    std::uint64_t& used = shared.open ? shared.used : seriesSteps_;
    const std::uint64_t budget = shared.open ? shared.limit : seriesBudget_;
    matched_ = matcher_->Search(text_, startPos, starts_, ends_, used, budget);
    return matched_;
}

bool TRegExpr::Matched(int group) const {
    return matched_ && group >= 0 && group <= GroupCount() &&
           starts_[group] != regexpr::Matcher::kUnset;
}

std::string_view TRegExpr::MatchView(int group) const {
    if (!Matched(group)) return {};
    return text_.substr(starts_[group], ends_[group] - starts_[group]);
}

std::string TRegExpr::Match(int group) const {
    return std::string(MatchView(group));
}

std::size_t TRegExpr::MatchPos(int group) const {
    return Matched(group) ? std::size_t{starts_[group]} : npos;
}

std::size_t TRegExpr::MatchLen(int group) const {
    return Matched(group) ? std::size_t{ends_[group] - starts_[group]} : 0;
}

int TRegExpr::SubExprMatchCount() const {
    if (!matched_) return -1;
    for (int group = kMaxGroups - 1; group > 0; --group)
        if (Matched(group)) return group;
    return 0;
}

int TRegExpr::GroupCount() const {
    return program_ ? program_->groupCount : 0;
}

unsigned long long TRegExpr::LastSearchSteps() const {
    return matcher_ ? matcher_->Steps() : 0;
}

}  // namespace kv
