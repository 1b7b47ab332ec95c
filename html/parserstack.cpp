#include "html/parserstack.h"

#include "text/textcompare.h"

namespace kv::html {

namespace {
const std::string kNoName;
}  // namespace

const std::string& TParserStack::PeekName() const {
    return entries_.empty() ? kNoName : entries_.back().first;
}

TTagNode* TParserStack::PeekNode() const {
    return entries_.empty() ? nullptr : entries_.back().second;
}

std::string TParserStack::Pop() {
    if (entries_.empty()) return {};
    std::string name = std::move(entries_.back().first);
    entries_.pop_back();
    // Entries stay at zero: erasing and re-adding a name per element costs an allocation.
    --counts_.find(name)->second;
    return name;
}

void TParserStack::Push(std::string name, TTagNode* node) {
    ++counts_[name];
    entries_.emplace_back(std::move(name), node);
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
