#include "memory/LargePageMemory.h"

#include <cstdlib>
#include <new>
#include <sys/mman.h>

namespace tracklens {

namespace {

constexpr std::size_t kLargePage = std::size_t{2} << 20;

bool IsLarge(std::size_t bytes)
{
    return bytes >= kLargePage;
}

std::size_t RoundedToLargePages(std::size_t bytes)
{
    return (bytes + kLargePage - 1) / kLargePage * kLargePage;
}

} // namespace

LargePageMemory& LargePageMemory::instance()
{
    static LargePageMemory memory;
    return memory;
}

void* LargePageMemory::do_allocate(std::size_t bytes, std::size_t alignment)
{
    if (!IsLarge(bytes)) {
        return ::operator new (bytes, std::align_val_t{alignment});
    }
    const std::size_t size = RoundedToLargePages(bytes);
    void* pointer = std::aligned_alloc(kLargePage, size);
    if (pointer == nullptr) {
        throw std::bad_alloc();
    }
#ifdef MADV_HUGEPAGE
    // Only a hint: without transparent huge pages the memory is simply in small pages.
    madvise(pointer, size, MADV_HUGEPAGE);
#endif
    return pointer;
}

void LargePageMemory::do_deallocate(void* pointer, std::size_t bytes, std::size_t alignment)
{
    if (!IsLarge(bytes)) {
        ::operator delete (pointer, std::align_val_t{alignment});
        return;
    }
    std::free(pointer);
}

bool LargePageMemory::do_is_equal(const std::pmr::memory_resource& other) const noexcept
{
    return this == &other;
}

} // namespace tracklens
