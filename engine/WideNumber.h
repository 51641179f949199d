#pragma once

#include <cstddef>

#include "engine/Conversions.h"
#include "engine/TextCursor.h"

namespace tracklens {

// An unsigned integer of 128 bits: room for a sum of 64-bit ticks times 24-bit tempos, or for
// ticks counted in fractions of a tick, without overflow.
__extension__ using WideUnsigned = unsigned __int128;

// The 39 digits of the largest 128-bit number.
inline constexpr std::size_t kLongestWideNumber = 39;

// Decimal text without leading zeros.
void AppendWideNumberDigits(TextCursor& out, WideUnsigned value);
inline void AppendWideUnsigned(TextCursor& out, WideUnsigned value)
{
    if ((value >> 64) == 0) {
        AppendUnsigned(out, static_cast<std::uint64_t>(value));
    } else {
        AppendWideNumberDigits(out, value);
    }
}

} // namespace tracklens
