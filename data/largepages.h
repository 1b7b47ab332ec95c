// Memory for the tables' row pools. A large table touches a lot of fresh memory at once (a
// rebuild of the theme writes hundreds of thousands of rows), and on Linux faulting it in
// 4 KiB at a time costs far more than filling it, several times more again in a virtual
// machine. Row memory is therefore taken in regions of whole 2 MiB pages advised as
// transparent huge pages, which the kernel grants where it can and ignores otherwise.
// Tests: tests/data/largepages_test.cpp.
#pragma once

#include <cstddef>
#include <memory_resource>

namespace kv::data {

inline constexpr std::size_t kLargePageSize = std::size_t{2} << 20;

// Hands out memory from such regions and gives it back only when it is destroyed: the upstream
// of a pool, which keeps its chunks until then anyway.
class LargePageRegions : public std::pmr::memory_resource {
  public:
    LargePageRegions();
    ~LargePageRegions() override;
    LargePageRegions(const LargePageRegions&) = delete;
    LargePageRegions& operator=(const LargePageRegions&) = delete;

  private:
    void* do_allocate(std::size_t bytes, std::size_t alignment) override;
    void do_deallocate(void* memory, std::size_t bytes, std::size_t alignment) override;
    bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override;

    std::pmr::monotonic_buffer_resource regions_;
};

}  // namespace kv::data
