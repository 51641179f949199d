#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "engine/Conversions.h"
#include "engine/TextCursor.h"

namespace tracklens {

// The texts of a place in time, "M:SS.mmm", and in bars, "B:b:TTT", inlined into the line of
// every row of a listing that shows them: most of their characters come from tables, in pieces
// copied whole.

inline constexpr std::uint64_t kMillisecondsPerMinute = 60'000;

// The three digits of each number below 1000, zeros in front, in pieces of four characters that
// are copied whole.
using DigitPiece = std::array<char, 4>;
inline constexpr std::array<DigitPiece, 1000> kThreeDigits = [] {
    std::array<DigitPiece, 1000> pieces{};
    for (std::size_t value = 0; value < pieces.size(); ++value) {
        pieces[value] = {static_cast<char>('0' + value / 100),
                         static_cast<char>('0' + value / 10 % 10),
                         static_cast<char>('0' + value % 10), '\0'};
    }
    return pieces;
}();

// ":SS." for each second of a minute.
inline constexpr std::array<DigitPiece, 60> kSecondsOfAMinute = [] {
    std::array<DigitPiece, 60> pieces{};
    for (std::size_t second = 0; second < pieces.size(); ++second) {
        pieces[second] = {':', static_cast<char>('0' + second / 10),
                          static_cast<char>('0' + second % 10), '.'};
    }
    return pieces;
}();

// The first characters of two pieces, written as one word of eight.
[[gnu::always_inline]] inline void AppendTwoPieces(TextCursor& out, std::uint64_t first,
                                                   std::size_t firstSize, const DigitPiece& second,
                                                   std::size_t secondSize)
{
    const std::uint64_t firstBytes = first & ((std::uint64_t{1} << (8 * firstSize)) - 1);
    out.appendWord(firstBytes | CharactersAsWord<4>(second.data()) << (8 * firstSize),
                   firstSize + secondSize);
}

// ":SS.mmm".
[[gnu::always_inline]] inline void AppendWithinMinute(TextCursor& out, std::uint64_t milliseconds)
{
    AppendTwoPieces(out, CharactersAsWord<4>(kSecondsOfAMinute[milliseconds / 1000].data()), 4,
                    kThreeDigits[milliseconds % 1000], 3);
}

// A count that the rows placed one after the other mostly share, from what they remember.
[[gnu::always_inline]] inline void AppendCount(TextCursor& out, std::uint64_t count,
                                               RememberedNumber* remembered)
{
    if (remembered != nullptr) {
        remembered->append(out, count);
    } else {
        AppendUnsigned(out, count);
    }
}

// "M:SS.mmm"; the divisions by constants are multiplications.
[[gnu::always_inline]] inline void AppendMilliseconds(TextCursor& out, std::uint64_t milliseconds,
                                                      RememberedNumber* minutes)
{
    AppendCount(out, milliseconds / kMillisecondsPerMinute, minutes);
    AppendWithinMinute(out, milliseconds % kMillisecondsPerMinute);
}

// ":b:TTT": the tick within the beat in at least three digits; nearly always one piece.
[[gnu::always_inline]] inline void AppendBeatTick(TextCursor& out, std::uint64_t beat,
                                                  std::uint64_t tickInBeat)
{
    if (beat < 10 && tickInBeat < 1000) {
        const std::uint64_t beatPiece = ':' | ('0' + beat) << 8 | std::uint64_t{':'} << 16;
        AppendTwoPieces(out, beatPiece, 3, kThreeDigits[tickInBeat], 3);
        return;
    }
    out += ':';
    AppendUnsigned(out, beat);
    out += ':';
    if (tickInBeat < 1000) {
        out.appendPiece<sizeof(DigitPiece)>(kThreeDigits[tickInBeat].data(), 3);
    } else {
        AppendUnsigned(out, tickInBeat);
    }
}

} // namespace tracklens
