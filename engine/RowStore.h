#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "engine/Row.h"

namespace tracklens {

// Rows in blocks of a fixed size: appending never moves or copies what is stored, and memory
// grows with the rows, a block at a time.
class RowStore {
public:
    static constexpr std::size_t kBlockShift = 16;
    static constexpr std::size_t kBlockSize = std::size_t{1} << kBlockShift;

    void push_back(const Row& row)
    {
        if ((size_ & (kBlockSize - 1)) == 0) {
            blocks_.push_back(std::make_unique_for_overwrite<Row[]>(kBlockSize));
        }
        blocks_.back()[size_ & (kBlockSize - 1)] = row;
        ++size_;
    }

    const Row& operator[](std::size_t index) const
    {
        return blocks_[index >> kBlockShift][index & (kBlockSize - 1)];
    }

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }

    void clear()
    {
        std::vector<std::unique_ptr<Row[]>>().swap(blocks_);
        size_ = 0;
    }

private:
    std::vector<std::unique_ptr<Row[]>> blocks_;
    std::size_t size_ = 0;
};

} // namespace tracklens
