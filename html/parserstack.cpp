#include "html/parserstack.h"

#include <algorithm>

#include "text/textcompare.h"

namespace kv::html {

namespace {
const std::string kNoName;
// Element names remembered between parses: real pages use a few dozen, and a page of endless
// made-up names must not make the parser hold them for its lifetime.
constexpr std::size_t kRetainedNames = 1024;
}  // namespace

const std::string& TParserStack::PeekName() const {
    return entries_.empty() ? kNoName : entries_.back().name;
}

TTagNode* TParserStack::PeekNode() const {
    return entries_.empty() ? nullptr : entries_.back().node;
}

std::string TParserStack::Pop() {
    if (entries_.empty()) return {};
    Entry& top = entries_.back();
    --*top.count;
    std::string name = std::move(top.name);
    entries_.pop_back();
    return name;
}

void TParserStack::Push(std::string name, TTagNode* node) {
    auto it = counts_.find(std::string_view(name));
    if (it == counts_.end()) it = counts_.emplace(name, 0).first;
    ++it->second;
    entries_.push_back({std::move(name), node, &it->second});
}

bool TParserStack::Contains(std::string_view name) const {
    const bool lower =
        std::none_of(name.begin(), name.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
    const auto it =
        lower ? counts_.find(name) : counts_.find(std::string_view(text::AsciiLowerCase(name)));
    return it != counts_.end() && it->second > 0;
}

void TParserStack::Clear() {
    for (const Entry& entry : entries_) --*entry.count;
    entries_.clear();
    if (counts_.size() > kRetainedNames) counts_.clear();
}

}  // namespace kv::html
