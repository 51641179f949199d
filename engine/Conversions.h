#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>

#include "engine/Bytes.h"
#include "engine/TextCursor.h"
#include "engine/Vocabulary.h"

namespace tracklens {

// The leaf texts of a listing. Each is written by one function through a TextCursor, into room
// its caller reserved; those the cells of nearly every row use are defined here so that they
// can be inlined. The functions that return a std::string write through the same ones.

inline constexpr std::string_view kHexDigits = "0123456789ABCDEF";

// Two digits for each value of a byte, both copied at once.
inline constexpr std::array<char, 512> kHexPairs = [] {
    std::array<char, 512> pairs{};
    for (std::size_t value = 0; value < 256; ++value) {
        pairs[2 * value] = kHexDigits[value >> 4];
        pairs[2 * value + 1] = kHexDigits[value & 0x0F];
    }
    return pairs;
}();

// The characters of a table's entry as the low bytes of a word, the first in the lowest, as
// TextCursor::appendWord() takes them.
template <std::size_t Size>
[[gnu::always_inline]] inline std::uint64_t CharactersAsWord(const char* characters)
{
    static_assert(Size == 2 || Size == 4);
    using Word = std::conditional_t<Size == 2, std::uint16_t, std::uint32_t>;
    Word word = 0;
    std::memcpy(&word, characters, Size);
    if constexpr (std::endian::native == std::endian::big && Size == 2) {
        word = __builtin_bswap16(word);
    } else if constexpr (std::endian::native == std::endian::big) {
        word = __builtin_bswap32(word);
    }
    return word;
}

// Two upper-case hexadecimal digits: 0 gives "00", 255 gives "FF".
[[gnu::always_inline]] inline void AppendHexByte(TextCursor& out, std::uint8_t value)
{
    out.appendPiece<2>(&kHexPairs[2 * std::size_t{value}], 2);
}
std::string HexByte(std::uint8_t value);

// Two digits per byte, no separator: FF 2F 00 gives "FF2F00".
[[gnu::always_inline]] inline void AppendHexBytes(TextCursor& out, ByteSpan bytes)
{
    char* digit = out.room(2 * bytes.size());
    for (const std::uint8_t byte : bytes) {
        std::memcpy(digit, &kHexPairs[2 * std::size_t{byte}], 2);
        digit += 2;
    }
    out.advanceTo(digit);
}
std::string HexBytes(ByteSpan bytes);

// The eight hexadecimal digits of a 32-bit number as a word, the first in its lowest byte: each
// nibble moved to a byte of its own, then the bytes turned into digits all at once.
[[gnu::always_inline]] inline std::uint64_t EightHexDigits(std::uint32_t value)
{
    std::uint64_t nibbles = value;
    nibbles = (nibbles | nibbles << 16) & 0x0000'FFFF'0000'FFFFu;
    nibbles = (nibbles | nibbles << 8) & 0x00FF'00FF'00FF'00FFu;
    nibbles = (nibbles | nibbles << 4) & 0x0F0F'0F0F'0F0F'0F0Fu; // the lowest nibble first
    const std::uint64_t letters = (nibbles + 0x0606'0606'0606'0606u) >> 4 & 0x0101'0101'0101'0101u;
    return __builtin_bswap64(nibbles + 0x3030'3030'3030'3030u + letters * ('A' - '0' - 10));
}

// Upper-case hexadecimal digits, at least leastDigits of them with zeros in front: the offset of
// a byte in a file, 0x1F3A in 8 digits giving "00001F3A". Eight digits, every offset below 4 GiB,
// are written in one piece.
void AppendLongHexNumber(TextCursor& out, std::uint64_t value, std::size_t leastDigits);
[[gnu::always_inline]] inline void AppendHexNumber(TextCursor& out, std::uint64_t value,
                                                   std::size_t leastDigits)
{
    if (leastDigits == 8 && value <= 0xFFFFFFFFu) {
        out.appendWord(EightHexDigits(static_cast<std::uint32_t>(value)), 8);
        return;
    }
    AppendLongHexNumber(out, value, leastDigits);
}

// The low 32 bits of a hexadecimal text as a signed number: "FFFF" is 65535, "FFFFFFFF" is -1.
std::int32_t HexToLong(std::string_view hexDigits);

// Decimal digits, two at a time, for the numbers of a listing.
inline constexpr std::array<char, 200> kDigitPairs = [] {
    std::array<char, 200> pairs{};
    for (std::size_t i = 0; i < 100; ++i) {
        pairs[2 * i] = static_cast<char>('0' + i / 10);
        pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
    }
    return pairs;
}();

// No number of a listing is longer: a sign and the twenty digits of a 64-bit number.
inline constexpr std::size_t kLongestNumber = 21;

inline std::size_t DecimalDigitCount(std::uint64_t value)
{
    std::size_t digits = 1;
    for (; value >= 10000; value /= 10000) {
        digits += 4;
    }
    return digits + (value >= 10) + (value >= 100) + (value >= 1000);
}

// Decimal text without leading zeros. Numbers of up to eight digits, nearly every number of a
// listing, are worked out as two halves of four digits at once and written in one piece; longer
// ones from the last digit, two at a time.
[[gnu::always_inline]] inline void AppendUnsigned(TextCursor& out, std::uint64_t value)
{
    if (value < 100'000'000) {
        const auto high = static_cast<std::uint32_t>(value / 10'000);
        const auto low = static_cast<std::uint32_t>(value % 10'000);
        const std::uint64_t digits = CharactersAsWord<2>(&kDigitPairs[2 * (high / 100)]) |
                                     CharactersAsWord<2>(&kDigitPairs[2 * (high % 100)]) << 16 |
                                     CharactersAsWord<2>(&kDigitPairs[2 * (low / 100)]) << 32 |
                                     CharactersAsWord<2>(&kDigitPairs[2 * (low % 100)]) << 48;
        // The leading zeros are the word's lowest bytes.
        const std::size_t count = DecimalDigitCount(value);
        out.appendWord(digits >> (8 * (8 - count)), count);
        return;
    }
    const std::size_t digits = DecimalDigitCount(value);
    char* const end = out.room(digits) + digits;
    char* digit = end;
    while (value >= 100) {
        const std::size_t pair = 2 * static_cast<std::size_t>(value % 100);
        value /= 100;
        *--digit = kDigitPairs[pair + 1];
        *--digit = kDigitPairs[pair];
    }
    if (value >= 10) {
        *--digit = kDigitPairs[2 * value + 1];
        *--digit = kDigitPairs[2 * value];
    } else {
        *--digit = static_cast<char>('0' + value);
    }
    out.advanceTo(end);
}

// The decimal digits of the number written last, written again without being worked out anew:
// for a column whose rows, one after the other, mostly show the same number.
class RememberedNumber {
public:
    // Room for this many characters is needed to write a number, whatever its length.
    static constexpr std::size_t kRoom = 24;

    [[gnu::always_inline]] void append(TextCursor& out, std::uint64_t value)
    {
        if (value != value_ || size_ == 0) {
            remember(value);
        }
        out.appendPiece<kRoom>(digits_.data(), size_);
    }

private:
    void remember(std::uint64_t value)
    {
        TextCursor cursor(digits_.data(), digits_.data() + digits_.size());
        AppendUnsigned(cursor, value);
        size_ = static_cast<std::uint8_t>(cursor.at() - digits_.data());
        value_ = value;
    }

    std::array<char, kRoom> digits_{};
    std::uint64_t value_ = 0;
    std::uint8_t size_ = 0; // 0 until a number is remembered
};

// A minus sign before a negative number, no sign otherwise.
[[gnu::always_inline]] inline void AppendDecimal(TextCursor& out, std::int64_t value)
{
    if (value < 0) {
        out += '-';
        AppendUnsigned(out, std::uint64_t{0} - static_cast<std::uint64_t>(value));
    } else {
        AppendUnsigned(out, static_cast<std::uint64_t>(value));
    }
}

// The decimal text of a number, for messages and captions.
std::string DecimalText(std::uint64_t value);

// The texts of a byte's value come whole from tables, each in a piece of kPieceWidth
// characters: a cursor that writes them needs that many more in its room.
inline constexpr std::size_t kPieceWidth = 8;

struct TextPiece {
    std::array<char, kPieceWidth> characters{};
    std::size_t size = 0;

    constexpr void append(std::string_view text)
    {
        for (const char c : text) {
            characters[size++] = c;
        }
    }
    constexpr void appendNumber(unsigned value)
    {
        if (value >= 100) {
            characters[size++] = static_cast<char>('0' + value / 100);
        }
        if (value >= 10) {
            characters[size++] = static_cast<char>('0' + value / 10 % 10);
        }
        characters[size++] = static_cast<char>('0' + value % 10);
    }
};

template <typename MakePiece>
constexpr std::array<TextPiece, 256> PiecesOfBytes(MakePiece makePiece)
{
    std::array<TextPiece, 256> pieces{};
    for (unsigned value = 0; value < pieces.size(); ++value) {
        makePiece(pieces[value], value);
    }
    return pieces;
}

[[gnu::always_inline]] inline void AppendPiece(TextCursor& out, const TextPiece& piece)
{
    out.appendPiece<kPieceWidth>(piece.characters.data(), piece.size);
}

inline constexpr std::array<TextPiece, 256> kDecimalPieces =
    PiecesOfBytes([](TextPiece& piece, unsigned value) { piece.appendNumber(value); });

// A byte's value: 0 to 255.
[[gnu::always_inline]] inline void AppendDecimal(TextCursor& out, std::uint8_t value)
{
    AppendPiece(out, kDecimalPieces[value]);
}

// Note name and octave, middle C (60) being "Do5"; keys above 131 are in octave 11.
inline constexpr std::array<TextPiece, 256> kNotePieces =
    PiecesOfBytes([](TextPiece& piece, unsigned key) {
        piece.append(kNoteNames[key % 12]);
        piece.appendNumber(key < 132 ? key / 12 : 11);
    });

[[gnu::always_inline]] inline void AppendNoteName(TextCursor& out, std::uint8_t key)
{
    AppendPiece(out, kNotePieces[key]);
}
std::string NoteName(std::uint8_t key);

// Major key of a signature and the mode's sign: (253, 1) gives "MIb-", (8, 0) gives "+".
void AppendKeyName(TextCursor& out, std::uint8_t sharpsOrFlats, std::uint8_t mode);
std::string KeyName(std::uint8_t sharpsOrFlats, std::uint8_t mode);

// 2 to the power of the exponent for 0 to 5, otherwise 0.
int TimeSigDenominator(int exponent);

// Minutes and seconds of a count of seconds, hours dropped: 3725 gives "02:05".
std::string ElapsedText(std::int32_t seconds);

// The value of a delta-time text of two hexadecimal digits per byte: "8140" is 192.
std::uint32_t DeltaTicks(std::string_view deltaText);

// A text written by write through a cursor into room for at most room characters.
template <typename Write>
std::string WrittenText(std::size_t room, Write write)
{
    std::string text(room, '\0');
    TextCursor cursor(text.data(), text.data() + text.size());
    write(cursor);
    text.resize(static_cast<std::size_t>(cursor.at() - text.data()));
    return text;
}

} // namespace tracklens
