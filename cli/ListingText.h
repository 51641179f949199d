#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <string_view>

namespace tracklens {

// The text of a batch of lines. Its memory is kept from one batch to the next and made longer
// ahead of the lines, so that writing a line costs little more than writing its characters.
// Room is not cleared: the memory is touched only where characters are written.
class ListingText {
public:
    void clear() { used_ = 0; }
    std::string_view view() const { return {buffer_.get(), used_}; }
    std::size_t size() const { return used_; }

    // Room for size more characters at the end, valid until the text next changes; wrote()
    // tells where what was written there ends.
    char* room(std::size_t size)
    {
        if (capacity_ - used_ < size) {
            grow(std::max(2 * capacity_, used_ + size + kGrowthStep));
        }
        return buffer_.get() + used_;
    }
    void wrote(const char* end) { used_ = static_cast<std::size_t>(end - buffer_.get()); }

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
        auto buffer = std::make_unique_for_overwrite<char[]>(capacity);
        std::copy_n(buffer_.get(), used_, buffer.get());
        buffer_ = std::move(buffer);
        capacity_ = capacity;
    }

    std::unique_ptr<char[]> buffer_;
    std::size_t capacity_ = 0;
    std::size_t used_ = 0;
};

} // namespace tracklens
