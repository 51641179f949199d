// The memory of the files the programs read and the listing's texts: blocks in huge pages must
// keep every byte written to them, and be freed however far they were written.

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>

#include "memory/LargePageMemory.h"

namespace tracklens::memory_testing {
namespace {

constexpr std::size_t kMiB = std::size_t{1} << 20;

TEST(LargePageMemory, BlocksKeepWhatIsWrittenFrontToBack)
{
    std::pmr::memory_resource& memory = LargePageMemory::instance();
    for (const std::size_t size : {std::size_t{64}, 3 * kMiB, 6 * kMiB + 8, 80 * kMiB + 24}) {
        SCOPED_TRACE(size);
        auto* words = static_cast<std::uint64_t*>(memory.allocate(size, alignof(std::uint64_t)));
        const std::size_t count = size / sizeof(std::uint64_t);
        for (std::size_t i = 0; i < count; ++i) {
            words[i] = i * 0x9E3779B97F4A7C15u;
        }
        std::size_t wrong = 0;
        for (std::size_t i = 0; i < count; ++i) {
            wrong += words[i] != i * 0x9E3779B97F4A7C15u ? 1 : 0;
        }
        EXPECT_EQ(wrong, 0u);
        memory.deallocate(words, size, alignof(std::uint64_t));
    }
}

TEST(LargePageMemory, BlocksLeftUnwrittenOrHalfWrittenCanBeFreed)
{
    std::pmr::memory_resource& memory = LargePageMemory::instance();
    for (const std::size_t written : {std::size_t{0}, 5 * kMiB}) {
        SCOPED_TRACE(written);
        const std::size_t size = 100 * kMiB;
        auto* bytes = static_cast<char*>(memory.allocate(size, 8));
        for (std::size_t i = 0; i < written; ++i) {
            bytes[i] = static_cast<char>(i);
        }
        memory.deallocate(bytes, size, 8);
    }
}

} // namespace
} // namespace tracklens::memory_testing
