#include "html/parserstack.h"

#include <chrono>
#include <cstring>
#include <exception>
#include <random>

#include "text/textcompare.h"

namespace kv::html {

namespace {

// Element names remembered between parses: real pages use a few dozen, and a page of endless
// made-up names must not make the parser hold them for its lifetime.
constexpr std::size_t kRetainedNames = 1024;
constexpr std::size_t kFirstSlots = 64;

// A secret per process, so a page cannot be built of names that all fall on one slot and make
// each lookup walk them all.
std::uint64_t HashSeed() {
    static const std::uint64_t seed = [] {
        std::uint64_t value =
            static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
        try {
            std::random_device device;
            value ^= (static_cast<std::uint64_t>(device()) << 32) ^ device();
        } catch (const std::exception&) {  // no entropy source: the clock alone
        }
        return value;
    }();
    return seed;
}

// Eight bytes per step; each step and the final mix are bijective, so names of one length
// that differ in one step never collide, and the seed decides which slots others share.
std::size_t HashName(std::string_view name) {
    constexpr std::uint64_t kMultiplier = 0x9e3779b97f4a7c15ull;
    std::uint64_t hash = HashSeed() ^ name.size();
    auto step = [&](std::uint64_t chunk) {
        hash = (hash ^ chunk) * kMultiplier;
        hash ^= hash >> 32;
    };
    std::size_t at = 0;
    for (; at + 8 <= name.size(); at += 8) {
        std::uint64_t chunk;
        std::memcpy(&chunk, name.data() + at, 8);
        step(chunk);
    }
    std::uint64_t tail = 0;  // most names end here: a byte loop is cheaper than memcpy
    for (std::size_t shift = 0; at < name.size(); ++at, shift += 8)
        tail |= static_cast<std::uint64_t>(static_cast<unsigned char>(name[at])) << shift;
    step(tail);
    hash *= 0xff51afd7ed558ccdull;
    hash ^= hash >> 33;
    return static_cast<std::size_t>(hash);
}

}  // namespace

std::size_t TParserStack::SlotOf(std::string_view lowerName, std::size_t hash) const {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
        const TNameId id = slots_[slot];
        if (id == kNoName) return slot;
        const TName& entry = names_[id];
        if (entry.hash == hash && entry.name == lowerName) return slot;
    }
}

void TParserStack::Grow() {
    std::vector<TNameId> old(slots_.size() * 2, kNoName);
    old.swap(slots_);
    const std::size_t mask = slots_.size() - 1;
    for (TNameId id : old) {
        if (id == kNoName) continue;
        std::size_t slot = names_[id].hash & mask;
        while (slots_[slot] != kNoName) slot = (slot + 1) & mask;
        slots_[slot] = id;
    }
}

TParserStack::TNameId TParserStack::Find(std::string_view lowerName) const {
    if (lowerName.empty()) return kNoName;
    const TNameId id = slots_[SlotOf(lowerName, HashName(lowerName))];
    return id != kNoName ? id : kUnknownName;
}

TParserStack::TNameId TParserStack::Intern(std::string_view lowerName) {
    if (lowerName.empty()) return kNoName;
    const std::size_t hash = HashName(lowerName);
    std::size_t slot = SlotOf(lowerName, hash);
    if (slots_[slot] != kNoName) return slots_[slot];
    const auto id = static_cast<TNameId>(names_.size());
    names_.push_back({std::string(lowerName), hash, 0, ElementListsOf(lowerName)});
    slots_[slot] = id;
    if (names_.size() * 2 > slots_.size()) Grow();
    return id;
}

TParserStack::TNameId TParserStack::PopId() {
    if (entries_.empty()) return kNoName;
    const TNameId id = entries_.back().id;
    --names_[id].open;
    entries_.pop_back();
    return id;
}

void TParserStack::Push(std::string_view name, TTagNode* node) {
    PushId(Intern(text::AsciiLowerCase(name)), node);
}

void TParserStack::PushId(TNameId id, TTagNode* node) {
    ++names_[id].open;
    entries_.push_back({id, node});
}

bool TParserStack::Contains(std::string_view name) const {
    return ContainsId(Find(text::AsciiLowerCase(name)));
}

void TParserStack::Clear() {
    for (const TEntry& entry : entries_) --names_[entry.id].open;
    entries_.clear();
    if (names_.size() > kRetainedNames) {
        names_.resize(1);
        slots_.assign(kFirstSlots, kNoName);
    }
}

}  // namespace kv::html
