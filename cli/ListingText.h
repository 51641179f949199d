#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

namespace tracklens {

// The text of a batch of lines. Its memory is kept from one batch to the next and made longer
// ahead of the lines, so that writing a line costs little more than writing its characters.
class ListingText {
public:
    void clear() { used_ = 0; }
    std::string_view view() const { return {buffer_.data(), used_}; }
    std::size_t size() const { return used_; }

    // Room for size more characters at the end, valid until the text next changes; wrote()
    // tells where what was written there ends.
    char* room(std::size_t size)
    {
        if (buffer_.size() - used_ < size) {
            buffer_.resize(std::max(2 * buffer_.size(), used_ + size + kGrowthStep));
        }
        return buffer_.data() + used_;
    }
    void wrote(const char* end) { used_ = static_cast<std::size_t>(end - buffer_.data()); }

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

    std::string buffer_;
    std::size_t used_ = 0;
};

} // namespace tracklens
