#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory_resource>
#include <span>
#include <utility>

namespace tracklens {

// One block of memory from a memory resource, owned. It is not cleared: a file read into it or
// texts written into it touch each page once, and a resource backed by huge pages gives a
// large file's bytes in a few page faults.
template <typename Byte>
class MemoryBlock {
public:
    explicit MemoryBlock(std::pmr::memory_resource* memory = std::pmr::get_default_resource())
        : memory_(memory)
    {
    }

    // A copy of bytes held elsewhere.
    static MemoryBlock CopyOf(std::span<const Byte> bytes,
                              std::pmr::memory_resource* memory = std::pmr::get_default_resource())
    {
        MemoryBlock block(memory);
        std::copy(bytes.begin(), bytes.end(), block.makeRoom(bytes.size()).begin());
        return block;
    }

    MemoryBlock(MemoryBlock&& other) noexcept
        : memory_(other.memory_)
        , data_(std::exchange(other.data_, nullptr))
        , size_(std::exchange(other.size_, 0))
    {
    }
    MemoryBlock& operator=(MemoryBlock&& other) noexcept
    {
        if (this != &other) {
            release();
            memory_ = other.memory_;
            data_ = std::exchange(other.data_, nullptr);
            size_ = std::exchange(other.size_, 0);
        }
        return *this;
    }
    MemoryBlock(const MemoryBlock&) = delete;
    MemoryBlock& operator=(const MemoryBlock&) = delete;
    ~MemoryBlock() { release(); }

    // Room for size bytes, in place of what was held. May throw std::bad_alloc.
    std::span<Byte> makeRoom(std::size_t size)
    {
        release();
        if (size > 0) {
            data_ = static_cast<Byte*>(memory_->allocate(size, alignof(Byte)));
            size_ = size;
        }
        return room();
    }

    std::span<Byte> room() const { return {data_, size_}; }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }

    void release()
    {
        if (data_ != nullptr) {
            memory_->deallocate(data_, size_, alignof(Byte));
        }
        data_ = nullptr;
        size_ = 0;
    }

private:
    std::pmr::memory_resource* memory_;
    Byte* data_ = nullptr;
    std::size_t size_ = 0;
};

// The bytes of a file as the analysis keeps them.
using FileBytes = MemoryBlock<std::uint8_t>;

} // namespace tracklens
