#include "CxMemoryPages.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace corvane {
namespace {

TEST(MemoryPages, BlocksAreWholeAndHugeOnesStartOnAHugePage) {
    // Around the sizes where the mapping is over-taken and trimmed: a trim that cut into the block would
    // fault on its last byte.
    for (const std::size_t Size : {std::size_t{16}, std::size_t{4096}, std::size_t{100'000}, HugePageSize - 1,
                                   HugePageSize, 2 * HugePageSize + 12'345}) {
        SCOPED_TRACE(Size);
        auto* const Block = static_cast<unsigned char*>(MapBlock(Size));
        ASSERT_NE(Block, nullptr);
        if (Size >= HugePageSize) {
            EXPECT_EQ(reinterpret_cast<std::uintptr_t>(Block) % HugePageSize, 0u);
        }
        Block[0] = 1;
        Block[Size - 1] = 2;
        EXPECT_EQ(Block[0] + Block[Size - 1], 3);
        UnmapBlock(Block, Size);
    }
}

} // namespace
} // namespace corvane
