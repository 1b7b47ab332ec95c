#include "html/htmlparser.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <iterator>
#include <string>
#include <utility>

#include "html/elementlists.h"
#include "html/nodebuild.h"
#include "html/tagsplit.h"
#include "text/textcompare.h"

namespace kv::html {

namespace {

// The parser's warning texts; row and column follow in the form " [Row:r,Col:c]".
constexpr std::string_view kIllegalComment = "Illegal comment style detected: \"<!\"";
constexpr std::string_view kUnexpectedLt = "Unexpected \"<\" encountered";
constexpr std::string_view kUnexpectedGt = "Unexpected \">\" encountered";
constexpr std::string_view kUnmatchedEndTag = "End tag found without matching start tag: </";

// Columns wrap to a new row after this many characters, so long lines count as several rows.
constexpr std::size_t kRowWrapColumns = 257;

using TByteSet = std::array<bool, 256>;
constexpr TByteSet MakeByteSet(std::string_view bytes) {
    TByteSet table{};
    for (char c : bytes) table[static_cast<unsigned char>(c)] = true;
    return table;
}
// Characters that may change state or position in some state; every other byte is simply
// counted. In text, in comments and in tags fewer matter (see ParseRun::Handle), so '/' and '-'
// of URLs and prose are skipped without a call.
constexpr TByteSet kSpecial = MakeByteSet("<>!?/-[]\n");
constexpr TByteSet kSpecialInText = MakeByteSet("<>\n");
constexpr TByteSet kSpecialInComment = MakeByteSet(">\n");
constexpr TByteSet kSpecialInTag = MakeByteSet("<>!?/\n");

enum class State { Text, Tag, EndTag, Comment, Declaration, DeclarationComment, Bracket };

const TByteSet& SpecialIn(State state) {
    switch (state) {
        case State::Text:
            return kSpecialInText;
        case State::Comment:
            return kSpecialInComment;
        case State::Tag:
            return kSpecialInTag;
        default:
            return kSpecial;
    }
}

bool IsBlankOrLineBreak(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// One run of Parse over the page. The pending text is buffer_ followed by
// text_[segment_, pos_): counting a character is just moving on, and a dropped character moves
// what was counted before it into buffer_.
class ParseRun {
  public:
    ParseRun(TCustomMLParser& parser, TParserStack& stack, std::string_view text)
        : parser_(parser), stack_(stack), text_(text) {}

    void Run() {
        const std::size_t size = text_.size();
        const char* const data = text_.data();
        for (pos_ = 0; pos_ < size; ++pos_) {
            // Plain bytes are skipped in a local index: Handle may move pos_, so it lives in
            // memory, and the loop would store it for every byte.
            std::size_t i = pos_;
            const TByteSet& special = SpecialIn(state_);
            while (i < size && !special[static_cast<unsigned char>(data[i])]) ++i;
            pos_ = i;
            if (i == size) break;
            const auto c = static_cast<unsigned char>(data[i]);
            Handle(static_cast<char>(c));
            if (c == '\n') {
                rowAtLineStart_ = Row() + 1;
                lineStart_ = pos_ + 1;
            }
        }
        std::string rest = Take();
        if (!rest.empty()) AddText(std::move(rest));
    }

  private:
    char At(std::size_t i) const { return i < text_.size() ? text_[i] : '\0'; }
    char Previous() const { return pos_ > 0 ? text_[pos_ - 1] : '\0'; }
    char Next() const { return At(pos_ + 1); }

    // Row and column of the current character: a new row after each LF and after every
    // kRowWrapColumns characters of one line.
    std::size_t Row() const { return rowAtLineStart_ + (pos_ - lineStart_) / kRowWrapColumns; }
    std::size_t Column() const { return (pos_ - lineStart_) % kRowWrapColumns + 1; }

    bool PendingEmpty() const { return buffer_.empty() && segment_ >= pos_; }
    void Reset() {
        buffer_.clear();
        segment_ = pos_ + 1;
    }
    void Drop() {
        buffer_.append(text_, segment_, pos_ - segment_);
        segment_ = pos_ + 1;
    }
    // Take without a copy when nothing was dropped; valid until the next Take.
    std::string_view TakeView() {
        const std::size_t end = std::min(pos_, text_.size());
        const std::size_t length = segment_ < end ? end - segment_ : 0;
        std::string_view pending;
        if (buffer_.empty()) {
            pending = std::string_view(text_).substr(std::min(segment_, end), length);
        } else {
            buffer_.append(text_, segment_, length);
            scratch_.swap(buffer_);
            buffer_.clear();
            pending = scratch_;
        }
        segment_ = pos_ + 1;
        return pending;
    }
    std::string Take() {
        std::string pending = std::move(buffer_);
        buffer_.clear();
        const std::size_t end = std::min(pos_, text_.size());
        if (segment_ < end) pending.append(text_, segment_, end - segment_);
        segment_ = pos_ + 1;
        return pending;
    }

    // Whether the pending text, trailing blanks and control characters removed, ends in "--".
    bool PendingEndsWithDashes() const {
        std::size_t dashes = 0;
        auto look = [&](char c) {  // false = stop
            if (dashes == 0 && static_cast<unsigned char>(c) <= ' ') return true;
            if (c != '-') return false;
            return ++dashes < 2;
        };
        for (std::size_t i = pos_; i > segment_;)
            if (!look(text_[--i])) return dashes == 2;
        for (std::size_t i = buffer_.size(); i > 0;)
            if (!look(buffer_[--i])) return dashes == 2;
        return dashes == 2;
    }

    void Warn(std::string_view what) {
        if (!parser_.OnSyntaxWarning) return;
        std::string message(what);
        message += " [Row:" + std::to_string(Row()) + ",Col:" + std::to_string(Column()) + "]";
        parser_.OnSyntaxWarning(parser_, message);
    }
    void WarnUnmatched(const std::string& name) {
        if (!parser_.OnSyntaxWarning) return;
        std::string what(kUnmatchedEndTag);
        what += name;
        what += '>';
        Warn(what);
    }

    TTagNode* Add(std::unique_ptr<TTagNode> node) {
        TTagNode* added = node.get();
        THierarchyNode* parent = stack_.PeekNode();
        if (parent == nullptr) parent = parser_.Root();
        parent->AddChild(std::move(node));
        return added;
    }
    void AddText(std::string text) { Add(MakeTextNode(std::move(text))); }

    void PopElement() { lastPopped_ = stack_.Pop(); }

    void Handle(char c);
    void HandleGreaterThan();
    void StartTag();
    void EndTag();

    TCustomMLParser& parser_;
    TParserStack& stack_;
    const std::string_view text_;  // the caller's text: Parse returns before it can change
    std::size_t pos_ = 0;
    std::size_t rowAtLineStart_ = 1;
    std::size_t lineStart_ = 0;
    std::string buffer_;
    std::string scratch_;  // pending text taken by TakeView after a drop
    TSplitTag split_;
    std::size_t segment_ = 0;
    State state_ = State::Text;
    bool illegalComment_ = false;
    std::string lastPopped_;
};

void ParseRun::Handle(char c) {
    switch (c) {
        case '<':
            if (state_ == State::Tag) {
                Warn(kUnexpectedLt);
                Drop();
            } else if (state_ == State::Text || state_ == State::EndTag ||
                       state_ == State::Declaration) {
                if (PendingEmpty())
                    Reset();
                else
                    AddText(Take());
                state_ = State::Tag;
            }
            break;
        case '!':
            if (state_ != State::Tag || Previous() != '<') break;
            if (Next() == '-' && At(pos_ + 2) == '-') {
                state_ = State::Comment;
                Reset();
            } else if (Next() == ' ') {
                state_ = State::Comment;
                illegalComment_ = true;
                Reset();
                Warn(kIllegalComment);
            } else {
                state_ = State::Declaration;
                Reset();
            }
            break;
        case '?':
            if (state_ == State::Tag && Previous() == '<') {
                state_ = State::Declaration;
                Reset();
            }
            break;
        case '/':
            if (state_ != State::Tag) break;
            if (Previous() == '<') {
                state_ = State::EndTag;
                Reset();
            } else if (Next() == '>') {
                Drop();
            }
            break;
        case '-':
            if (state_ == State::Declaration && IsBlankOrLineBreak(Previous()) && Next() == '-')
                state_ = State::DeclarationComment;
            else if (state_ == State::DeclarationComment && Next() == '-')
                state_ = State::Declaration;
            break;
        case '[':
            if (state_ == State::Declaration) state_ = State::Bracket;
            break;
        case ']':
            if (state_ == State::Bracket && Next() == '>') state_ = State::Declaration;
            break;
        case '>':
            HandleGreaterThan();
            break;
        default:
            break;
    }
}

void ParseRun::HandleGreaterThan() {
    switch (state_) {
        case State::Tag:
            StartTag();
            state_ = State::Text;
            break;
        case State::EndTag:
            EndTag();
            state_ = State::Text;
            break;
        case State::Comment:
            if (PendingEndsWithDashes()) {
                Add(MakeCommentNode(TakeView()));
                state_ = State::Text;
            } else if (illegalComment_) {
                Add(MakeCommentNode(TakeView()));
                illegalComment_ = false;
                state_ = State::Text;
            }
            break;
        case State::Declaration:
            Add(MakeDeclarationNode(TakeView()));
            state_ = State::Text;
            break;
        case State::Bracket:
            break;
        case State::Text:
        case State::DeclarationComment:
            Warn(kUnexpectedGt);
            Drop();
            break;
    }
}

void ParseRun::StartTag() {
    SplitTag(TakeView(), split_);
    std::string lower = text::AsciiLowerCase(split_.name);
    auto node = std::make_unique<TTagNode>();
    node->SetNodeType(TNodeType::Element);
    node->SetName(std::move(split_.name));
    // One exact allocation; split_ keeps its capacity for the next tag.
    node->Attributes().assign(std::make_move_iterator(split_.attributes.begin()),
                              std::make_move_iterator(split_.attributes.end()));

    // At most one element is closed implicitly.
    const std::string& top = stack_.PeekName();
    if (lower == top && InElementList(kAutoCloseList, top))
        PopElement();
    else if (top == "p" && InElementList(kBlockList, lower))
        PopElement();

    TTagNode* added = Add(std::move(node));
    if (parser_.OnStartTag) parser_.OnStartTag(parser_, *added);
    if (InElementList(kVoidList, lower) || Previous() == '/') {
        added->SetEmpty(true);
        if (parser_.OnTag) parser_.OnTag(parser_, *added);
    } else {
        stack_.Push(std::move(lower), added);
    }
}

void ParseRun::EndTag() {
    // Taken whole, blanks included: '</p >' looks for an open 'p '.
    const std::string name = text::AsciiLowerCase(TakeView());
    if (!stack_.Contains(name)) {
        WarnUnmatched(name);
    } else {
        for (;;) {
            const bool lastPass = stack_.PeekName() == name || stack_.Count() == 1;
            if (!lastPass && name == lastPopped_ && InElementList(kAutoCloseList, name)) {
                WarnUnmatched(name);
                break;
            }
            if (parser_.OnTag) parser_.OnTag(parser_, *stack_.PeekNode());
            PopElement();
            if (lastPass) break;
        }
    }
    if (parser_.OnEndTag) parser_.OnEndTag(parser_, name);
}

}  // namespace

TCustomMLParser::TCustomMLParser()
    : arena_(TNodeArena::Create()), root_(std::make_unique<TTagNode>()) {}

TCustomMLParser::~TCustomMLParser() {
    root_.reset();
    arena_->Release();  // freed now unless the caller kept nodes of the last tree
}

void THTMLParser::Parse(std::string_view text) {
    if (busy_) return;
    busy_ = true;
    struct BusyGuard {
        bool& busy;
        ~BusyGuard() { busy = false; }
    } guard{busy_};
    root_->Clear();
    stack_.Clear();
    if (arena_->Unshared()) {
        arena_->Rewind();
    } else {  // nodes of an earlier tree are still in use: they keep the old arena
        TNodeArena* fresh = TNodeArena::Create();
        arena_->Release();
        arena_ = fresh;
    }
    TNodeArena::TScope scope(arena_);
    ParseRun run(*this, stack_, text);
    run.Run();
    stack_.Clear();
}

}  // namespace kv::html
