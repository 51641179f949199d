#pragma once

#include <cstddef>
#include <memory_resource>
#include <span>

#include "ui/platform/LargePageMemory.h"

namespace tracklens {

// A block of memory backed by huge pages where the kernel has them: a few page faults instead of
// thousands for the file's bytes or the listing's texts. It is not cleared: the memory is touched
// only where it is written.
template <typename Byte>
class LargePageBlock {
public:
    LargePageBlock() = default;
    LargePageBlock(const LargePageBlock&) = delete;
    LargePageBlock& operator=(const LargePageBlock&) = delete;
    ~LargePageBlock() { release(); }

    // Room for size bytes, in place of what was held.
    std::span<Byte> makeRoom(std::size_t size)
    {
        release();
        if (size > 0) {
            data_ = static_cast<Byte*>(memory_->allocate(size, 1));
            size_ = size;
        }
        return {data_, size_};
    }

    std::span<Byte> room() const { return {data_, size_}; }

private:
    void release()
    {
        if (data_ != nullptr) {
            memory_->deallocate(data_, size_, 1);
        }
        data_ = nullptr;
        size_ = 0;
    }

    std::pmr::memory_resource* memory_ = &ui::LargePageMemory::instance();
    Byte* data_ = nullptr;
    std::size_t size_ = 0;
};

} // namespace tracklens
