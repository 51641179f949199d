// The conversions that no listing shows whole: hexadecimal and delta-time texts read back, and
// the elapsed time. Hexadecimal bytes, note, key and other names are in every listing, and
// tests/cli/golden/vocabulary.tsv holds each of them.

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
