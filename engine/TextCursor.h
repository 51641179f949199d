#pragma once

#include <cstddef>
#include <cstring>
#include <string_view>

namespace tracklens {

// Text written through a pointer into memory made ready for it: the quick way to write the many
// short pieces of a listing's lines. Whoever makes a cursor answers for the room it writes in.
class TextCursor {
public:
    explicit TextCursor(char* at)
        : at_(at)
    {
    }

    TextCursor& operator+=(char c)
    {
        *at_++ = c;
        return *this;
    }

    TextCursor& operator+=(std::string_view text)
    {
        if (!text.empty()) {
            std::memcpy(at_, text.data(), text.size());
            at_ += text.size();
        }
        return *this;
    }

    // The first size characters of a piece of Width, all of which are written: the room must
    // hold Width more characters, but the cursor moves on by size only. One fixed-size copy is
    // quicker than a copy of a length known only when it runs.
    template <std::size_t Width>
    void appendPiece(const char* piece, std::size_t size)
    {
        std::memcpy(at_, piece, Width);
        at_ += size;
    }

    char* at() const { return at_; }
    // After text written at at() by other means, up to end.
    void advanceTo(char* end) { at_ = end; }

private:
    char* at_;
};

} // namespace tracklens
