#pragma once

#include <cstddef>
#include <cstdint>
#include <memory_resource>
#include <span>

#include "engine/Bytes.h"
#include "ui/platform/LargePageMemory.h"

namespace tracklens {

// Memory for the bytes of the file being listed, backed by huge pages where the kernel has them:
// a large file then costs a few page faults instead of thousands. It is not cleared before the
// file is read into it.
class FileBytes {
public:
    FileBytes() = default;
    FileBytes(const FileBytes&) = delete;
    FileBytes& operator=(const FileBytes&) = delete;
    ~FileBytes() { release(); }

    // Room for size bytes, in place of what was held.
    std::span<std::uint8_t> makeRoom(std::size_t size)
    {
        release();
        if (size > 0) {
            data_ = static_cast<std::uint8_t*>(memory_->allocate(size, 1));
            size_ = size;
        }
        return {data_, size_};
    }

    ByteSpan bytes() const { return {data_, size_}; }

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
    std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
};

} // namespace tracklens
