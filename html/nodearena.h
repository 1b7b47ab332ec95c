// Where the parser's nodes live: a bump allocator shared by every node of one parse, so building
// a tree costs no heap call per node and freeing it merges no heap chunks.
// Ownership: each node made while an arena is current keeps a counted reference to it; the
// parser holds one more. A node the caller detached and kept therefore keeps its memory valid
// after the next Parse or the parser's end (at the price of keeping that parse's blocks).
// Nodes made while no arena is current come from the heap, one block each, as before.
// As a memory resource it serves the child lists, names, texts and attribute entries of its own
// nodes: from the arena while it is current (during its parse, on the parser's thread), from
// the heap afterwards, so nodes kept and changed on other threads never share its bump pointer.
// When the parser finds its last tree untouched and nothing else of the arena alive
// (HoldsOnlyNodes), it drops the tree with the arena's memory and runs no destructor.
// Tests: tests/html/nodearena_test.cpp.
#pragma once

#include <atomic>
#include <cstddef>
#include <memory_resource>
#include <vector>

namespace kv::html {

class TNodeArena : public std::pmr::memory_resource {
  public:
    // A new arena with one reference, held by the caller (released with Release).
    static TNodeArena* Create();
    void AddRef() { refs_.fetch_add(1, std::memory_order_relaxed); }
    void Release();
    // Whether the caller's reference is the only one (no node of the arena is alive).
    bool Unshared() const { return refs_.load(std::memory_order_acquire) == 1; }
    // Makes the memory of earlier allocations available again; only while Unshared().
    void Rewind();
    // Records that a node of this arena was detached, cleared or given a child from outside
    // the parser: its tree may no longer be the one the parser built.
    void MarkChanged() { changed_.store(true, std::memory_order_relaxed); }
    // Whether exactly count nodes of this arena are alive, no node was changed (MarkChanged)
    // and none holds memory the arena served from the heap (see do_allocate), all since Rewind.
    bool HoldsOnlyNodes(std::size_t count) const {
        return !changed_.load(std::memory_order_relaxed) &&
               !heapServed_.load(std::memory_order_relaxed) &&
               refs_.load(std::memory_order_acquire) == count + 1;
    }
    // Raised by allocations of a parse past the budget (see SetBudget); the memory already
    // taken stays valid until the nodes are gone and the arena is rewound.
    struct TBudgetExceeded {};
    // Bytes of blocks one parse (from Rewind to Rewind) may take; 0: no limit.
    void SetBudget(std::size_t bytes) { budget_ = bytes; }

    // Drops the references of all nodes, which the caller abandons without destroying them;
    // only after HoldsOnlyNodes confirmed they are the caller's. Rewind follows.
    void ForgetNodes() { refs_.store(1, std::memory_order_release); }

    // Memory for one node: from the current arena when there is one, else from the heap.
    static void* AllocateNode(std::size_t size);
    static void FreeNode(void* memory) noexcept;
    // The arena whose AllocateNode returned node last, if it is current; else nullptr. Lets a
    // node's constructor tell an arena node from one on the stack or inside another object.
    static TNodeArena* ArenaOfNewNode(const void* node);

    // Makes arena current on this thread while the scope lives (nullptr: the heap).
    class TScope {
      public:
        explicit TScope(TNodeArena* arena);
        ~TScope();
        TScope(const TScope&) = delete;
        TScope& operator=(const TScope&) = delete;

      private:
        TNodeArena* previous_;
    };

  private:
    TNodeArena() = default;
    ~TNodeArena() override;
    void* Bump(std::size_t size);
    // Throws TBudgetExceeded when the blocks up to and including index pass the budget.
    void CheckBudget(std::size_t index, std::size_t newBlockSize) const;
    // A reference for a new node, from those reserved while this arena is current (TScope).
    void TakeReservedRef();
    void ReturnReservedRefs();
    bool InBlocks(const void* memory) const;

    void* do_allocate(std::size_t bytes, std::size_t alignment) override;
    void do_deallocate(void* memory, std::size_t bytes, std::size_t alignment) override;
    bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override {
        return this == &other;
    }

    struct TBlock {
        char* memory;
        std::size_t size;
    };
    std::vector<TBlock> blocks_;
    std::size_t current_ = 0;  // the block Bump takes from
    std::size_t used_ = 0;     // bytes taken from blocks_[current_]
    std::size_t budget_ = 0;
    std::atomic<std::size_t> refs_{1};
    std::atomic<bool> heapServed_{false};  // since the last Rewind
    std::atomic<bool> changed_{false};     // since the last Rewind
    const void* lastNode_ = nullptr;
    std::size_t reservedRefs_ = 0;  // counted in refs_, owned by no node yet
};

}  // namespace kv::html
