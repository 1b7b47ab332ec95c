#include "data/largepages.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "data/table.h"

namespace kv::data {
namespace {

TEST(LargePageRegionsTest, BlocksAreAlignedDistinctAndUsableAcrossRegions) {
    LargePageRegions regions;
    struct Block {
        unsigned char* memory;
        std::size_t size;
    };
    std::vector<Block> blocks;
    // Small and odd sizes, alignments up to a page, and blocks larger than one region.
    const std::size_t sizes[] = {1, 24, 120, 4096, 100000, kLargePageSize + 1, 3 * kLargePageSize};
    const std::size_t alignments[] = {1, 8, 16, 64, 4096};
    for (int round = 0; round < 40; ++round)
        for (std::size_t size : sizes) {
            const std::size_t alignment = alignments[(round + size) % 5];
            auto* memory = static_cast<unsigned char*>(regions.allocate(size, alignment));
            ASSERT_EQ(reinterpret_cast<std::uintptr_t>(memory) % alignment, 0u);
            std::memset(memory, round, size);
            blocks.push_back({memory, size});
        }
    // Every block still holds what was written to it: none overlaps a later one.
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        const unsigned char expected = static_cast<unsigned char>(i / std::size(sizes));
        EXPECT_EQ(blocks[i].memory[0], expected);
        EXPECT_EQ(blocks[i].memory[blocks[i].size - 1], expected);
    }
    for (const Block& b : blocks) regions.deallocate(b.memory, b.size);
}

TEST(LargePageRegionsTest, ATableEmptiedAndRefilledKeepsEveryRow) {
    Table table("T", {{"Name", FieldType::String, 20}, {"N", FieldType::Integer, 0}});
    for (int round = 0; round < 3; ++round) {
        table.EmptyTable();
        for (int i = 0; i < 50000; ++i) {
            table.Append();
            table.SetString(0, "row " + std::to_string(i));
            table.SetInteger(1, i + round);
            table.Post();
        }
        ASSERT_EQ(table.RecordCount(), 50000);
        table.Last();
        EXPECT_EQ(table.AsString("Name"), "row 49999");
        EXPECT_EQ(table.AsInteger("N"), 49999 + round);
    }
}

}  // namespace
}  // namespace kv::data
