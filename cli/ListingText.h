#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <span>
#include <string_view>

namespace tracklens {

// The text of a batch of lines. Its memory is kept from one batch to the next and made longer
// ahead of the lines, so that writing a line costs little more than writing its characters.
// Room is not cleared: the memory is touched only where characters are written.
class ListingText {
public:
    ListingText() = default;
    // Begins in memory that its owner keeps for as long as the text.
    explicit ListingText(std::span<char> room)
        : data_(room.data())
        , capacity_(room.size())
    {
    }

    void clear() { used_ = 0; }
    std::string_view view() const { return {data_, used_}; }
    std::size_t size() const { return used_; }

    // Room for size more characters at the end, valid until the text next changes; wrote()
    // tells where what was written there ends.
    char* room(std::size_t size)
    {
        if (capacity_ - used_ < size) {
            grow(std::max(2 * capacity_, used_ + size + kGrowthStep));
        }
        return data_ + used_;
    }
    void wrote(const char* end) { used_ = static_cast<std::size_t>(end - data_); }

    void reserve(std::size_t size) { room(size); }

    ListingText& operator+=(std::string_view text)
    {
        char* const at = room(text.size());
        std::copy(text.begin(), text.end(), at);
        used_ += text.size();
        return *this;
    }
    ListingText& operator+=(char c)
    {
        *room(1) = c;
        ++used_;
        return *this;
    }

private:
    static constexpr std::size_t kGrowthStep = std::size_t{1} << 16;

    void grow(std::size_t capacity)
    {
        auto owned = std::make_unique_for_overwrite<char[]>(capacity);
        std::copy_n(data_, used_, owned.get());
        owned_ = std::move(owned);
        data_ = owned_.get();
        capacity_ = capacity;
    }

    char* data_ = nullptr;
    std::size_t capacity_ = 0;
    std::unique_ptr<char[]> owned_;
    std::size_t used_ = 0;
};

} // namespace tracklens
