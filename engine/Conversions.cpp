#include "engine/Conversions.h"

#include <array>
#include <charconv>
#include <cstdlib>

#include "engine/Vocabulary.h"

namespace tracklens {

namespace {

constexpr std::array<std::string_view, 256> BuildKeyNames()
{
    std::array<std::string_view, 256> names{};
    constexpr std::array<std::string_view, 8> sharps = {"DO", "SOL", "RE",  "LA",
                                                        "MI", "SI",  "FA#", "DO#"};
    constexpr std::array<std::string_view, 7> flats = {"FA",  "SIb",  "MIb", "LAb",
                                                       "REb", "SOLb", "DOb"};
    for (std::size_t i = 0; i < sharps.size(); ++i) {
        names[i] = sharps[i];
    }
    for (std::size_t i = 0; i < flats.size(); ++i) {
        names[255 - i] = flats[i];
    }
    return names;
}

constexpr std::array<std::string_view, 256> kKeyNames = BuildKeyNames();

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

void AppendTwoDigits(std::string& out, std::int32_t value)
{
    if (value < 0) {
        out += '-';
        value = -value;
    }
    if (value < 10) {
        out += '0';
    }
    AppendDecimal(out, value);
}

} // namespace

std::string HexByte(std::uint8_t value)
{
    std::string text;
    AppendHexByte(text, value);
    return text;
}

void AppendHexBytes(std::string& out, ByteSpan bytes)
{
    const std::size_t start = out.size();
    out.resize(start + 2 * bytes.size());
    char* digit = out.data() + start;
    for (const std::uint8_t byte : bytes) {
        *digit++ = kHexDigits[byte >> 4];
        *digit++ = kHexDigits[byte & 0x0F];
    }
}

std::string HexBytes(ByteSpan bytes)
{
    std::string text;
    AppendHexBytes(text, bytes);
    return text;
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
    std::string text;
    AppendNoteName(text, key);
    return text;
}

std::string KeyName(std::uint8_t sharpsOrFlats, std::uint8_t mode)
{
    std::string text(kKeyNames[sharpsOrFlats]);
    text += mode == 1 ? '-' : '+';
    return text;
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
    std::string text;
    AppendTwoDigits(text, minutes);
    text += ':';
    AppendTwoDigits(text, seconds % 60);
    return text;
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
