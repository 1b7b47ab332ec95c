#include "html/nodearena.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <utility>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace kv::html {

namespace {

// The first block holds a small page's tree; later blocks double up to the largest size, so a
// big page needs few blocks and a small one wastes little.
constexpr std::size_t kFirstBlockBytes = 64 * 1024;
constexpr std::size_t kLargestBlockBytes = 4 * 1024 * 1024;
// Blocks beyond this total are returned to the heap when the arena is rewound, so one huge page
// does not pin its memory for the parser's lifetime.
constexpr std::size_t kRetainedBytes = 8 * 1024 * 1024;

// Blocks of this size and more are mapped by the arena itself, aligned and advised to use
// transparent huge pages: the tree of a big page then costs a few page faults, not thousands.
constexpr std::size_t kHugePageBytes = 2 * 1024 * 1024;

// References taken from the count at once while the arena is current, so making a node costs
// no atomic operation; the unused ones go back when the parse ends.
constexpr std::size_t kReservedRefs = 256;

// Every node starts after this header, which names its arena (nullptr: its own heap block).
struct alignas(alignof(std::max_align_t)) TNodeHeader {
    TNodeArena* arena;
};
constexpr std::size_t kHeaderBytes = sizeof(TNodeHeader);

thread_local TNodeArena* currentArena = nullptr;

std::size_t RoundUp(std::size_t size) {
    constexpr std::size_t align = alignof(std::max_align_t);
    return (size + align - 1) / align * align;
}

std::size_t BlockBytes(std::size_t size) {
    return size < kHugePageBytes ? size
                                 : (size + kHugePageBytes - 1) / kHugePageBytes * kHugePageBytes;
}

#if defined(__linux__)
char* MapHugeBlock(std::size_t size) {
    const std::size_t mapped = size + kHugePageBytes;  // room to align the start
    void* memory =
        mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED) throw std::bad_alloc();
    const auto start = reinterpret_cast<std::uintptr_t>(memory);
    const std::uintptr_t aligned = (start + kHugePageBytes - 1) & ~(kHugePageBytes - 1);
    if (aligned > start) munmap(memory, aligned - start);
    const std::uintptr_t end = aligned + size;
    if (start + mapped > end) munmap(reinterpret_cast<void*>(end), start + mapped - end);
    madvise(reinterpret_cast<void*>(aligned), size, MADV_HUGEPAGE);  // a hint: failure is fine
    return reinterpret_cast<char*>(aligned);
}
#endif

// size as given by BlockBytes.
char* NewBlock(std::size_t size) {
#if defined(__linux__)
    if (size >= kHugePageBytes) return MapHugeBlock(size);
#endif
    return static_cast<char*>(::operator new(size));
}

void DeleteBlock(char* memory, std::size_t size) {
#if defined(__linux__)
    if (size >= kHugePageBytes) {
        munmap(memory, size);
        return;
    }
#endif
    ::operator delete(memory);
}

}  // namespace

TNodeArena* TNodeArena::Create() {
    return new TNodeArena();
}

TNodeArena::~TNodeArena() {
    for (const TBlock& block : blocks_) DeleteBlock(block.memory, block.size);
}

void TNodeArena::Release() {
    if (refs_.fetch_sub(1, std::memory_order_acq_rel) == 1) delete this;
}

void TNodeArena::Rewind() {
    std::size_t kept = 0;
    std::size_t keep = 0;
    while (keep < blocks_.size() && kept + blocks_[keep].size <= kRetainedBytes)
        kept += blocks_[keep++].size;
    for (std::size_t i = keep; i < blocks_.size(); ++i)
        DeleteBlock(blocks_[i].memory, blocks_[i].size);
    blocks_.resize(keep);
    current_ = 0;
    used_ = 0;
    lastNode_ = nullptr;
    heapServed_.store(false, std::memory_order_relaxed);
    changed_.store(false, std::memory_order_relaxed);
}

void TNodeArena::CheckBudget(std::size_t index, std::size_t newBlockSize) const {
    if (budget_ == 0) return;
    std::size_t spent = newBlockSize;
    for (std::size_t i = 0; i <= index && i < blocks_.size(); ++i) spent += blocks_[i].size;
    if (spent > budget_) throw TBudgetExceeded();
}

void* TNodeArena::Bump(std::size_t size) {
    while (current_ < blocks_.size()) {
        TBlock& block = blocks_[current_];
        if (block.size - used_ >= size) {
            void* memory = block.memory + used_;
            used_ += size;
            return memory;
        }
        CheckBudget(current_ + 1, 0);  // before a retained block is taken into use
        ++current_;
        used_ = 0;
    }
    std::size_t blockSize =
        blocks_.empty() ? kFirstBlockBytes : std::min(blocks_.back().size * 2, kLargestBlockBytes);
    blockSize = BlockBytes(std::max(blockSize, size));
    CheckBudget(blocks_.size(), blockSize);
    blocks_.reserve(blocks_.size() + 1);  // so the new block cannot leak
    blocks_.push_back({NewBlock(blockSize), blockSize});
    current_ = blocks_.size() - 1;
    used_ = size;
    return blocks_.back().memory;
}

void* TNodeArena::AllocateNode(std::size_t size) {
    const std::size_t total = kHeaderBytes + RoundUp(size);
    TNodeArena* arena = currentArena;
    void* memory = arena != nullptr ? arena->Bump(total) : ::operator new(total);
    if (arena != nullptr) arena->TakeReservedRef();
    auto* header = static_cast<TNodeHeader*>(memory);
    header->arena = arena;
    void* node = static_cast<char*>(memory) + kHeaderBytes;
    if (arena != nullptr) arena->lastNode_ = node;
    return node;
}

TNodeArena* TNodeArena::ArenaOfNewNode(const void* node) {
    TNodeArena* arena = currentArena;
    return arena != nullptr && arena->lastNode_ == node ? arena : nullptr;
}

bool TNodeArena::InBlocks(const void* memory) const {
    const auto* p = static_cast<const char*>(memory);
    for (const TBlock& block : blocks_)
        if (p >= block.memory && p < block.memory + block.size) return true;
    return false;
}

void* TNodeArena::do_allocate(std::size_t bytes, std::size_t alignment) {
    if (currentArena == this && alignment <= alignof(std::max_align_t)) return Bump(RoundUp(bytes));
    heapServed_.store(true, std::memory_order_relaxed);
    return ::operator new(bytes);
}

void TNodeArena::do_deallocate(void* memory, std::size_t, std::size_t) {
    if (!InBlocks(memory)) ::operator delete(memory);  // arena memory goes with the arena
}

void TNodeArena::FreeNode(void* memory) noexcept {
    if (memory == nullptr) return;
    auto* header = reinterpret_cast<TNodeHeader*>(static_cast<char*>(memory) - kHeaderBytes);
    if (header->arena != nullptr)
        header->arena->Release();
    else
        ::operator delete(header);
}

TNodeArena::TScope::TScope(TNodeArena* arena) : previous_(currentArena) {
    currentArena = arena;
}

TNodeArena::TScope::~TScope() {
    TNodeArena* ending = currentArena;
    currentArena = previous_;
    if (ending != nullptr) ending->ReturnReservedRefs();
}

void TNodeArena::TakeReservedRef() {
    if (reservedRefs_ == 0) {
        refs_.fetch_add(kReservedRefs, std::memory_order_relaxed);
        reservedRefs_ = kReservedRefs;
    }
    --reservedRefs_;
}

void TNodeArena::ReturnReservedRefs() {
    const std::size_t unused = std::exchange(reservedRefs_, 0);
    if (unused > 0 && refs_.fetch_sub(unused, std::memory_order_acq_rel) == unused) delete this;
}

}  // namespace kv::html
