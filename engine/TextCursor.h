#pragma once

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

    char* at() const { return at_; }
    // After text written at at() by other means, up to end.
    void advanceTo(char* end) { at_ = end; }

private:
    char* at_;
};

} // namespace tracklens
