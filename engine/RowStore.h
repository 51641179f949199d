#pragma once

#include <bit>
#include <cstddef>
#include <memory_resource>
#include <utility>
#include <vector>

#include "engine/Row.h"

namespace tracklens {

// Rows in blocks that double in size: appending never moves or copies what is stored, a small
// file takes little memory, and a large one a few large blocks. Memory comes from a memory
// resource, so that a program may hand out blocks backed by large pages.
class RowStore {
public:
    explicit RowStore(std::pmr::memory_resource* memory = std::pmr::get_default_resource())
        : memory_(memory)
    {
    }
    RowStore(const RowStore&) = delete;
    RowStore& operator=(const RowStore&) = delete;
    RowStore(RowStore&& other) noexcept
        : memory_(other.memory_)
        , blocks_(std::move(other.blocks_))
        , size_(std::exchange(other.size_, 0))
        , capacity_(std::exchange(other.capacity_, 0))
    {
        other.blocks_.clear();
    }
    RowStore& operator=(RowStore&& other) noexcept
    {
        if (this != &other) {
            clear();
            memory_ = other.memory_;
            blocks_ = std::move(other.blocks_);
            other.blocks_.clear();
            size_ = std::exchange(other.size_, 0);
            capacity_ = std::exchange(other.capacity_, 0);
        }
        return *this;
    }
    ~RowStore() { clear(); }

    void push_back(const Row& row)
    {
        if (size_ == capacity_) {
            addBlock();
        }
        const std::size_t block = blocks_.size() - 1;
        blocks_.back()[size_ - FirstIndexOf(block)] = row;
        ++size_;
    }

    const Row& operator[](std::size_t index) const
    {
        const std::size_t block = std::bit_width((index >> kFirstBlockShift) + 1) - 1;
        return blocks_[block][index - FirstIndexOf(block)];
    }

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }

    // Releases every block.
    void clear()
    {
        for (std::size_t block = 0; block < blocks_.size(); ++block) {
            memory_->deallocate(blocks_[block], BlockRows(block) * sizeof(Row), alignof(Row));
        }
        std::vector<Row*>().swap(blocks_);
        size_ = 0;
        capacity_ = 0;
    }

private:
    static constexpr std::size_t kFirstBlockShift = 12;

    static std::size_t BlockRows(std::size_t block)
    {
        return std::size_t{1} << (kFirstBlockShift + block);
    }
    static std::size_t FirstIndexOf(std::size_t block) { return BlockRows(block) - BlockRows(0); }

    void addBlock()
    {
        const std::size_t rows = BlockRows(blocks_.size());
        blocks_.reserve(blocks_.size() + 1);
        blocks_.push_back(static_cast<Row*>(memory_->allocate(rows * sizeof(Row), alignof(Row))));
        capacity_ += rows;
    }

    std::pmr::memory_resource* memory_;
    std::vector<Row*> blocks_;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

} // namespace tracklens
