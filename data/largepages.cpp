#include "data/largepages.h"

#include <sys/mman.h>

#include <new>

namespace kv::data {

namespace {

// Whole, aligned large pages for the monotonic resource's buffers.
class Upstream final : public std::pmr::memory_resource {
    static std::size_t Rounded(std::size_t bytes) {
        return (bytes + kLargePageSize - 1) / kLargePageSize * kLargePageSize;
    }

    void* do_allocate(std::size_t bytes, std::size_t) override {
        void* memory = ::operator new(Rounded(bytes), std::align_val_t(kLargePageSize));
        // Only advice: without huge pages the region works the same.
        madvise(memory, Rounded(bytes), MADV_HUGEPAGE);
        return memory;
    }

    // The unsized form: clang declares the sized one only with -fsized-deallocation.
    void do_deallocate(void* memory, std::size_t, std::size_t) override {
        ::operator delete(memory, std::align_val_t(kLargePageSize));
    }

    bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override {
        return this == &other;
    }
};

std::pmr::memory_resource* SharedUpstream() {
    static Upstream upstream;
    return &upstream;
}

}  // namespace

LargePageRegions::LargePageRegions() : regions_(kLargePageSize, SharedUpstream()) {}

LargePageRegions::~LargePageRegions() = default;

void* LargePageRegions::do_allocate(std::size_t bytes, std::size_t alignment) {
    return regions_.allocate(bytes, alignment);
}

void LargePageRegions::do_deallocate(void*, std::size_t, std::size_t) {
    // Given back with the regions.
}

bool LargePageRegions::do_is_equal(const std::pmr::memory_resource& other) const noexcept {
    return this == &other;
}

}  // namespace kv::data
