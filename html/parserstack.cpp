#include "html/parserstack.h"

#include "text/textcompare.h"

namespace kv::html {

namespace {
const std::string kNoName;
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
    std::size_t& count = counts_[name];
    ++count;
    entries_.push_back({std::move(name), node, &count});
}

bool TParserStack::Contains(std::string_view name) const {
    const auto it = counts_.find(text::AsciiLowerCase(name));
    return it != counts_.end() && it->second > 0;
}

void TParserStack::Clear() {
    entries_.clear();
    counts_.clear();
}

}  // namespace kv::html
