#include "html/htmlparser.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <exception>
#include <string>
#include <utility>

#include "html/elementlists.h"
#include "html/htmlstrings.h"
#include "html/nodebuild.h"
#include "html/stopscan.h"
#include "html/tagsplit.h"

namespace kv::html {

namespace {

using strings::kIllegalComment;
using strings::kPageTooLarge;
using strings::kUnexpectedGt;
using strings::kUnexpectedLt;
using strings::kUnmatchedEndTag;

// Memory one page's tree may take. The tree of a large real page (a few MB of dense markup)
// takes tens of MB; a page made of nothing but "<b>" needs about 70 bytes of tree per byte of
// page, and 64 MB of it would exhaust the machine. Past this the page fails, the run goes on.
constexpr std::size_t kMaxTreeBytes = 256u << 20;

// Columns wrap to a new row after this many characters, so long lines count as several rows.
constexpr std::size_t kRowWrapColumns = 257;

enum class State { Text, Tag, EndTag, Comment, Declaration, DeclarationComment, Bracket };

// The index of the next character at or after from that may change the state in state, or
// size; every other byte is simply counted. An LF changes no state: rows are counted only when
// a warning needs them.
std::size_t SkipPlainBytes(State state, const char* data, std::size_t from, std::size_t size) {
    switch (state) {
        case State::Text:
        case State::EndTag:
            return SkipToStop<'<', '>'>(data, from, size);
        case State::Tag:
            return SkipToStop<'<', '>', '!', '?', '/'>(data, from, size);
        case State::Comment:
            return SkipToStop<'>'>(data, from, size);
        case State::Declaration:
            return SkipToStop<'<', '>', '-', '['>(data, from, size);
        case State::DeclarationComment:
            return SkipToStop<'>', '-'>(data, from, size);
        case State::Bracket:
            return SkipToStop<'>', ']'>(data, from, size);
    }
    return from;
}

bool IsBlankOrLineBreak(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Element names are compared and looked up in lower case.
void LowerInto(std::string_view name, std::string& out) {
    out.assign(name);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
}

// One run of Parse over the page. The pending text is buffer_ followed by
// text_[segment_, pos_): counting a character is just moving on, and a dropped character moves
// what was counted before it into buffer_.
class ParseRun {
  public:
    using TNameId = TParserStack::TNameId;

    ParseRun(TCustomMLParser& parser, TParseKey key, TParserStack& stack, TSplitTag& split,
             std::string_view text)
        : parser_(parser), key_(key), stack_(stack), split_(split), text_(text) {}

    void Run() {
        const std::size_t size = text_.size();
        const char* const data = text_.data();
        for (pos_ = 0; pos_ < size; ++pos_) {
            pos_ = SkipPlainBytes(state_, data, pos_, size);
            if (pos_ == size) break;
            Handle(data[pos_]);
        }
        const std::string_view rest = TakeView();
        if (!rest.empty()) AddText(rest);
    }

    std::size_t AppendedNodes() const { return appendedNodes_; }
    std::size_t AppendedToRoot() const { return appendedToRoot_; }

  private:
    char At(std::size_t i) const { return i < text_.size() ? text_[i] : '\0'; }
    char Previous() const { return pos_ > 0 ? text_[pos_ - 1] : '\0'; }
    char Next() const { return At(pos_ + 1); }

    // Row and column of the current character: a new row after each LF and after every
    // kRowWrapColumns characters of one line. Lines are counted from where the last call
    // stopped, so warnings cost time linear in the page in all.
    std::pair<std::size_t, std::size_t> RowAndColumn() {
        const char* const data = text_.data();
        while (rowsCounted_ < pos_) {
            const void* lf = std::memchr(data + rowsCounted_, '\n', pos_ - rowsCounted_);
            if (lf == nullptr) {
                rowsCounted_ = pos_;
                break;
            }
            const auto at = static_cast<std::size_t>(static_cast<const char*>(lf) - data);
            rowAtLineStart_ += (at - lineStart_) / kRowWrapColumns + 1;
            lineStart_ = at + 1;
            rowsCounted_ = at + 1;
        }
        return {rowAtLineStart_ + (pos_ - lineStart_) / kRowWrapColumns,
                (pos_ - lineStart_) % kRowWrapColumns + 1};
    }

    bool PendingEmpty() const { return buffer_.empty() && segment_ >= pos_; }
    void Reset() {
        buffer_.clear();
        segment_ = pos_ + 1;
    }
    void Drop() {
        buffer_.append(text_, segment_, pos_ - segment_);
        segment_ = pos_ + 1;
    }
    // The pending text, then Reset; without a copy when nothing was dropped. Valid until the
    // next TakeView.
    std::string_view TakeView() {
        const std::size_t end = std::min(pos_, text_.size());
        const std::size_t length = segment_ < end ? end - segment_ : 0;
        std::string_view pending;
        if (buffer_.empty()) {
            pending = text_.substr(std::min(segment_, end), length);
        } else {
            buffer_.append(text_, segment_, length);
            scratch_.swap(buffer_);
            buffer_.clear();
            pending = scratch_;
        }
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

    // The check stays inline: a page may warn at every byte, mostly with no handler set.
    void Warn(std::string_view what) {
        if (parser_.OnSyntaxWarning) Report(what);
    }
    [[gnu::noinline]] void Report(std::string_view what) {
        const auto [row, column] = RowAndColumn();
        std::string message(what);
        message += " [Row:" + std::to_string(row) + ",Col:" + std::to_string(column) + "]";
        parser_.OnSyntaxWarning(parser_, message);
    }
    void WarnUnmatched(std::string_view name) {
        if (!parser_.OnSyntaxWarning) return;
        std::string what(kUnmatchedEndTag);
        what += name;
        what += '>';
        Warn(what);
    }

    TTagNode* Add(std::unique_ptr<TTagNode> node) {
        TTagNode* added = node.get();
        THierarchyNode* parent = stack_.PeekNode();
        if (parent == nullptr) {
            parent = parser_.Root();
            ++appendedToRoot_;
        }
        parent->AppendParsed(std::move(node), key_);
        ++appendedNodes_;
        return added;
    }
    void AddText(std::string_view text) { Add(MakeTextNode(text)); }

    void PopElement() { lastPopped_ = stack_.PopId(); }

    // The two characters that matter most come first, without a jump table.
    void Handle(char c) {
        if (c == '>')
            HandleGreaterThan();
        else if (c == '<')
            HandleLessThan();
        else
            HandleOther(c);
    }
    void HandleLessThan();
    void HandleGreaterThan();
    void HandleOther(char c);
    void StartTag();
    void EndTag();

    TCustomMLParser& parser_;
    const TParseKey key_;
    TParserStack& stack_;
    TSplitTag& split_;
    const std::string_view text_;  // the caller's text: Parse returns before it can change
    std::size_t pos_ = 0;
    std::size_t rowAtLineStart_ = 1;
    std::size_t lineStart_ = 0;
    std::size_t rowsCounted_ = 0;  // LFs before this index are in rowAtLineStart_
    std::string buffer_;
    std::string scratch_;  // pending text taken by TakeView after a drop
    std::string lower_;    // the current tag's name in lower case
    std::size_t segment_ = 0;
    State state_ = State::Text;
    bool illegalComment_ = false;
    TNameId lastPopped_ = TParserStack::kNoName;
    std::size_t appendedNodes_ = 0;
    std::size_t appendedToRoot_ = 0;
};

void ParseRun::HandleLessThan() {
    if (state_ == State::Tag) {
        Warn(kUnexpectedLt);
        Drop();
    } else if (state_ == State::Text || state_ == State::EndTag || state_ == State::Declaration) {
        if (PendingEmpty())
            Reset();
        else
            AddText(TakeView());
        state_ = State::Tag;
    }
}

void ParseRun::HandleOther(char c) {
    switch (c) {
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
    const std::string_view name = split_.Name();
    LowerInto(name, lower_);
    const TNameId id = stack_.Intern(lower_);
    const TElementLists lists = stack_.ListsOf(id);
    auto node = std::make_unique<TTagNode>();
    node->SetNodeType(TNodeType::Element);
    node->SetName(name);
    TAttributeList& attributes = node->Attributes();
    attributes.reserve(split_.AttributeCount());
    for (std::size_t i = 0; i < split_.AttributeCount(); ++i)
        attributes.emplace_back(split_.Attribute(i));

    // At most one element is closed implicitly.
    const TNameId top = stack_.PeekId();
    const TElementLists topLists = stack_.ListsOf(top);
    if (id == top && (topLists & kInAutoCloseList) != 0)
        PopElement();
    else if ((topLists & kIsP) != 0 && (lists & kInBlockList) != 0)
        PopElement();

    TTagNode* added = Add(std::move(node));
    if (parser_.OnStartTag) parser_.OnStartTag(parser_, *added);
    if ((lists & kInVoidList) != 0 || Previous() == '/') {
        added->SetEmpty(true);
        if (parser_.OnTag) parser_.OnTag(parser_, *added);
    } else {
        stack_.PushId(id, added);
    }
}

void ParseRun::EndTag() {
    // Taken whole, blanks included: '</p >' looks for an open 'p '.
    LowerInto(TakeView(), lower_);
    const TNameId id = stack_.Find(lower_);
    if (!stack_.ContainsId(id)) {
        WarnUnmatched(lower_);
    } else {
        for (;;) {
            const bool lastPass = stack_.PeekId() == id || stack_.Count() == 1;
            if (!lastPass && id == lastPopped_ && (stack_.ListsOf(id) & kInAutoCloseList) != 0) {
                WarnUnmatched(lower_);
                break;
            }
            if (parser_.OnTag) parser_.OnTag(parser_, *stack_.PeekNode());
            PopElement();
            if (lastPass) break;
        }
    }
    if (parser_.OnEndTag) parser_.OnEndTag(parser_, lower_);
}

}  // namespace

TCustomMLParser::TCustomMLParser()
    : arena_(TNodeArena::Create()), root_(std::make_unique<TTagNode>()) {
    arena_->SetBudget(kMaxTreeBytes);
}

TCustomMLParser::~TCustomMLParser() {
    AbandonParsedTree();
    root_.reset();
    arena_->Release();  // freed now unless the caller kept nodes of the last tree
}

void TCustomMLParser::ClearTree() {
    // Most often no node of the last tree was kept: its memory is then rewound at once.
    AbandonParsedTree();
    root_->Clear();
    stack_.Clear();
    if (arena_->Unshared()) {
        arena_->Rewind();
    } else {  // nodes of an earlier tree are still in use: they keep the old arena
        TNodeArena* fresh = TNodeArena::Create();
        fresh->SetBudget(kMaxTreeBytes);
        arena_->Release();
        arena_ = fresh;
    }
}

void TCustomMLParser::AbandonParsedTree() {
    if (parsed_) root_->AbandonArenaChildren(*arena_, parsed_->nodes, parsed_->rootChildren);
    parsed_.reset();
}

void THTMLParser::Parse(std::string_view text) {
    if (busy_) return;
    busy_ = true;
    struct BusyGuard {
        bool& busy;
        ~BusyGuard() { busy = false; }
    } guard{busy_};
    ClearTree();
    bool tooLarge = false;
    std::exception_ptr failure;  // out of memory, or a handler's exception
    {
        TNodeArena::TScope scope(arena_);
        ParseRun run(*this, ParseKey(), stack_, split_, text);
        try {
            run.Run();
        } catch (const TNodeArena::TBudgetExceeded&) {
            tooLarge = true;
        } catch (...) {
            failure = std::current_exception();
        }
        stack_.Clear();
        parsed_ = TParsedCounts{run.AppendedNodes(), run.AppendedToRoot()};
    }
    if (!tooLarge && !failure) return;
    ClearTree();  // a partial tree goes with its arena, without a destructor per node
    if (failure) std::rethrow_exception(failure);
    throw EHtmlPageTooLarge(std::string(kPageTooLarge));
}

}  // namespace kv::html
