#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/Conversions.h"

namespace tracklens {
namespace {

TEST(Conversions, HexTextsAreUpperCaseTwoDigitsPerByte)
{
    EXPECT_EQ(HexByte(0), "00");
    EXPECT_EQ(HexByte(10), "0A");
    EXPECT_EQ(HexByte(127), "7F");
    EXPECT_EQ(HexByte(255), "FF");
    const std::vector<std::uint8_t> bytes = {0xFF, 0x2F, 0x00};
    EXPECT_EQ(HexBytes(bytes), "FF2F00");
    const std::vector<std::uint8_t> tag = {'M', 'T', 'r', 'k'};
    EXPECT_EQ(HexBytes(tag), "4D54726B");
    EXPECT_EQ(HexBytes({}), "");
    // No limit of 32767 bytes: a long event is written whole.
    const std::vector<std::uint8_t> longBytes(40000, 0xAB);
    const std::string text = HexBytes(longBytes);
    ASSERT_EQ(text.size(), 80000u);
    EXPECT_EQ(text.find_first_not_of("AB"), std::string::npos);
}

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

TEST(Conversions, NoteNamesCountMiddleCAsOctaveFive)
{
    const struct {
        std::uint8_t key;
        const char* name;
    } cases[] = {
        {0, "Do0"},    {1, "Do#0"},   {11, "Si0"},     {59, "Si4"},
        {60, "Do5"},   {69, "La5"},   {120, "Do10"},   {127, "Sol10"},
        {131, "Si10"}, {132, "Do11"}, {140, "Sol#11"}, {255, "Re#11"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(NoteName(c.key), c.name);
    }
}

TEST(Conversions, KeyNamesAreTheMajorKeyAndTheModesSign)
{
    const struct {
        std::uint8_t sharpsOrFlats;
        std::uint8_t mode;
        const char* name;
    } cases[] = {
        {0, 0, "DO+"},   {0, 1, "DO-"},    {1, 0, "SOL+"},   {2, 0, "RE+"},     {7, 0, "DO#+"},
        {255, 0, "FA+"}, {253, 1, "MIb-"}, {249, 0, "DOb+"}, {250, 1, "SOLb-"}, {8, 0, "+"},
        {0, 2, "DO+"},   {6, 0, "FA#+"},   {248, 1, "-"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(KeyName(c.sharpsOrFlats, c.mode), c.name);
    }
}

TEST(Conversions, TimeSignatureDenominatorIsAPowerOfTwoUpToThirtyTwo)
{
    const int expected[] = {1, 2, 4, 8, 16, 32, 0, 0};
    for (int exponent = 0; exponent < 8; ++exponent) {
        EXPECT_EQ(TimeSigDenominator(exponent), expected[exponent]) << exponent;
    }
    EXPECT_EQ(TimeSigDenominator(-1), 0);
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
