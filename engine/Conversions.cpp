#include "engine/Conversions.h"

#include <cstdlib>

#include "engine/Vocabulary.h"
#include "engine/WideNumber.h"

namespace tracklens {

namespace {

int HexDigitValue(char digit)
{
    if (digit >= '0' && digit <= '9') {
        return digit - '0';
    }
    if (digit >= 'A' && digit <= 'F') {
        return digit - 'A' + 10;
    }
    if (digit >= 'a' && digit <= 'f') {
        return digit - 'a' + 10;
    }
    return 0;
}

void AppendTwoDigits(TextCursor& out, std::int32_t value)
{
    if (value < 0) {
        out += '-';
        value = -value;
    }
    if (value < 10) {
        out += '0';
    }
    AppendDecimal(out, std::int64_t{value});
}

} // namespace

std::string HexByte(std::uint8_t value)
{
    return WrittenText(2, [value](TextCursor& out) { AppendHexByte(out, value); });
}

std::string HexBytes(ByteSpan bytes)
{
    return WrittenText(2 * bytes.size(), [bytes](TextCursor& out) { AppendHexBytes(out, bytes); });
}

std::string DecimalText(std::uint64_t value)
{
    return WrittenText(kLongestNumber, [value](TextCursor& out) { AppendUnsigned(out, value); });
}

void AppendWideNumberDigits(TextCursor& out, WideUnsigned value)
{
    std::array<char, kLongestWideNumber> digits{};
    auto digit = digits.end();
    do {
        *--digit = static_cast<char>('0' + static_cast<int>(value % 10));
        value /= 10;
    } while (value != 0);
    out += std::string_view(digit, digits.end());
}

void AppendLongHexNumber(TextCursor& out, std::uint64_t value, std::size_t leastDigits)
{
    std::size_t digits = leastDigits;
    while (digits < 16 && (value >> (4 * digits)) != 0) {
        ++digits;
    }
    while (digits-- > 0) {
        out += kHexDigits[(value >> (4 * digits)) & 0x0F];
    }
}

std::int32_t HexToLong(std::string_view hexDigits)
{
    std::uint32_t value = 0;
    for (const char digit : hexDigits) {
        value = (value << 4) | static_cast<std::uint32_t>(HexDigitValue(digit));
    }
    return static_cast<std::int32_t>(value);
}

std::string NoteName(std::uint8_t key)
{
    return WrittenText(kPieceWidth, [key](TextCursor& out) { AppendNoteName(out, key); });
}

void AppendKeyName(TextCursor& out, std::uint8_t sharpsOrFlats, std::uint8_t mode)
{
    out += kKeyNames[sharpsOrFlats];
    out += mode == 1 ? '-' : '+';
}

std::string KeyName(std::uint8_t sharpsOrFlats, std::uint8_t mode)
{
    return WrittenText(kLongestWord + 1, [sharpsOrFlats, mode](TextCursor& out) {
        AppendKeyName(out, sharpsOrFlats, mode);
    });
}

int TimeSigDenominator(int exponent)
{
    return exponent >= 0 && exponent <= 5 ? 1 << exponent : 0;
}

std::string ElapsedText(std::int32_t seconds)
{
    const auto floorDiv = [](std::int32_t a, std::int32_t b) {
        const std::div_t d = std::div(a, b);
        return d.rem != 0 && (d.rem < 0) != (b < 0) ? d.quot - 1 : d.quot;
    };
    const std::int32_t hours = floorDiv(seconds, 3600);
    const std::int32_t minutes = floorDiv(seconds, 60) - 60 * hours;
    return WrittenText(2 * kLongestNumber + 3, [minutes, seconds](TextCursor& out) {
        AppendTwoDigits(out, minutes);
        out += ':';
        AppendTwoDigits(out, seconds % 60);
    });
}

std::uint32_t DeltaTicks(std::string_view deltaText)
{
    std::uint32_t value = 0;
    for (std::size_t i = 0; i + 1 < deltaText.size(); i += 2) {
        const auto byte = static_cast<std::uint32_t>(HexDigitValue(deltaText[i]) * 16 +
                                                     HexDigitValue(deltaText[i + 1]));
        value = (value << 7) | (byte & 0x7F);
    }
    return value;
}

} // namespace tracklens
