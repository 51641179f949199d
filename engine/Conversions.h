#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/Bytes.h"

namespace tracklens {

// Two upper-case hexadecimal digits: 0 gives "00", 255 gives "FF".
std::string HexByte(std::uint8_t value);

// Two digits per byte, no separator: FF 2F 00 gives "FF2F00".
std::string HexBytes(ByteSpan bytes);
void AppendHexBytes(std::string& out, ByteSpan bytes);
void AppendHexByte(std::string& out, std::uint8_t value);

// The low 32 bits of a hexadecimal text as a signed number: "FFFF" is 65535, "FFFFFFFF" is -1.
std::int32_t HexToLong(std::string_view hexDigits);

// Note name and octave, middle C (60) being "Do5"; keys above 131 are in octave 11.
std::string NoteName(std::uint8_t key);
void AppendNoteName(std::string& out, std::uint8_t key);

// Major key of a signature and the mode's sign: (253, 1) gives "MIb-", (8, 0) gives "+".
std::string KeyName(std::uint8_t sharpsOrFlats, std::uint8_t mode);

// 2 to the power of the exponent for 0 to 5, otherwise 0.
int TimeSigDenominator(int exponent);

// Minutes and seconds of a count of seconds, hours dropped: 3725 gives "02:05".
std::string ElapsedText(std::int32_t seconds);

// The value of a delta-time text of two hexadecimal digits per byte: "8140" is 192.
std::uint32_t DeltaTicks(std::string_view deltaText);

// Decimal text of a number, without leading zeros or sign for non-negative values.
void AppendDecimal(std::string& out, std::int64_t value);
void AppendUnsigned(std::string& out, std::uint64_t value);

} // namespace tracklens
