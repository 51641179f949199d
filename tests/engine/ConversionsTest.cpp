// The conversions that no listing shows whole: hexadecimal and delta-time texts read back, the
// elapsed time, and numbers at the edges of the ways they are written. Hexadecimal bytes, note, key
// and other names are in every listing, and tests/cli/golden/vocabulary.tsv holds each of them.

#include <gtest/gtest.h>

#include <cstdint>

#include "engine/Conversions.h"

namespace tracklens {
namespace {

TEST(Conversions, HexToLongReadsThirtyTwoBitsSigned)
{
    const struct {
        const char* text;
        std::int32_t value;
    } cases[] = {
        {"", 0},
        {"0A", 10},
        {"07A120", 500000},
        {"FFFF", 65535},
        {"7FFFFFFF", 2147483647},
        {"80000000", -2147483647 - 1},
        {"FFFFFFFF", -1},
        {"F", 15},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(HexToLong(c.text), c.value);
    }
}

// Up to eight digits a number is written in one piece, beyond them two digits at a time; a
// remembered number is written again from its digits while it stays the same.
TEST(Conversions, NumbersHaveNoLeadingZerosAtEveryLength)
{
    const struct {
        std::uint64_t value;
        const char* text;
    } cases[] = {
        {0, "0"},
        {9, "9"},
        {10, "10"},
        {4096, "4096"},
        {10'000, "10000"},
        {99'999'999, "99999999"},
        {100'000'000, "100000000"},
        {18'446'744'073'709'551'615u, "18446744073709551615"},
    };
    RememberedNumber remembered;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(DecimalText(c.value), c.text);
        for (int again = 0; again < 2; ++again) {
            EXPECT_EQ(WrittenText(RememberedNumber::kRoom,
                                  [&](TextCursor& out) { remembered.append(out, c.value); }),
                      c.text);
        }
    }
    EXPECT_EQ(
        WrittenText(RememberedNumber::kRoom, [&](TextCursor& out) { remembered.append(out, 0); }),
        "0");
}

TEST(Conversions, HexNumbersHaveEveryDigitInUpperCaseAndTheirLeadingZeros)
{
    const struct {
        std::uint64_t value;
        std::size_t leastDigits;
        const char* text;
    } cases[] = {
        {0, 8, "00000000"},
        {0x1F3A, 8, "00001F3A"},
        {0x01234567, 8, "01234567"},
        {0x89ABCDEF, 8, "89ABCDEF"},
        {0xFFFFFFFF, 8, "FFFFFFFF"},
        {0x1'0000'0000, 8, "100000000"},
        {0xFEDC'BA98'7654'3210, 8, "FEDCBA9876543210"},
        {0xA, 4, "000A"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(
            WrittenText(24, [&](TextCursor& out) { AppendHexNumber(out, c.value, c.leastDigits); }),
            c.text);
    }
}

TEST(Conversions, ElapsedTextShowsMinutesAndSecondsWithoutHours)
{
    const struct {
        std::int32_t seconds;
        const char* text;
    } cases[] = {
        {0, "00:00"},    {59, "00:59"},   {60, "01:00"},   {61, "01:01"},
        {3599, "59:59"}, {3600, "00:00"}, {3725, "02:05"}, {6000, "40:00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.seconds);
        EXPECT_EQ(ElapsedText(c.seconds), c.text);
    }
}

TEST(Conversions, DeltaTicksIsTheVariableLengthQuantity)
{
    const struct {
        const char* text;
        std::uint32_t ticks;
    } cases[] = {
        {"00", 0},
        {"40", 64},
        {"7F", 127},
        {"8100", 128},
        {"8140", 192},
        {"FF7F", 16383},
        {"FFFFFF7F", 268435455},
        {"FFFFFFFF", 268435455},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(DeltaTicks(c.text), c.ticks);
    }
}

} // namespace
} // namespace tracklens
