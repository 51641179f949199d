#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace tracklens {

// Text written through a pointer into room made ready for it: the one output of every writer of
// a listing's texts. Whoever makes a cursor reserves the room it writes in; builds with
// TRACKLENS_CHECK_ROOM (the sanitizer and fuzzing builds) check every write against its end.
class TextCursor {
public:
    TextCursor(char* at, char* end)
        : at_(at)
        , end_(end)
    {
    }

    [[gnu::always_inline]] TextCursor& operator+=(char c)
    {
        checkRoom(1);
        *at_++ = c;
        return *this;
    }

    [[gnu::always_inline]] TextCursor& operator+=(std::string_view text)
    {
        if (!text.empty()) {
            checkRoom(text.size());
            std::memcpy(at_, text.data(), text.size());
            at_ += text.size();
        }
        return *this;
    }

    // The first size characters of a piece of Width, all of which are written: the room must
    // hold Width more characters, but the cursor moves on by size only. One fixed-size copy is
    // quicker than a copy of a length known only when it runs.
    template <std::size_t Width>
    [[gnu::always_inline]] void appendPiece(const char* piece, std::size_t size)
    {
        checkRoom(Width);
        std::memcpy(at_, piece, Width);
        at_ += size;
    }

    // The first size characters of a word whose lowest byte is the first character, all eight
    // of which are written, as appendPiece<8>() writes. A text put together in a register is
    // stored at once: put together in memory, it would be read back before its pieces are there.
    [[gnu::always_inline]] void appendWord(std::uint64_t word, std::size_t size)
    {
        checkRoom(sizeof(word));
        if constexpr (std::endian::native == std::endian::big) {
            word = __builtin_bswap64(word);
        }
        std::memcpy(at_, &word, sizeof(word));
        at_ += size;
    }

    char* at() const { return at_; }
    // Room for size characters at at(), to be written by other means and then passed with
    // advanceTo().
    char* room(std::size_t size)
    {
        checkRoom(size);
        return at_;
    }
    void advanceTo(char* end) { at_ = end; }

    // Whether a text of the file itself (rather than the program's own words, digits and
    // hexadecimal) was written: only such texts can hold what a format must escape.
    bool wroteFileText() const { return wroteFileText_; }
    void markFileText() { wroteFileText_ = true; }

private:
    void checkRoom([[maybe_unused]] std::size_t size) const
    {
#ifdef TRACKLENS_CHECK_ROOM
        if (static_cast<std::size_t>(end_ - at_) < size) {
            __builtin_trap();
        }
#endif
    }

    char* at_;
    [[maybe_unused]] char* end_;
    bool wroteFileText_ = false;
};

} // namespace tracklens
