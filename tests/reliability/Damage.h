#pragma once

// Damage of the kinds a broken transfer or a careless editor leaves in a file, drawn from a fixed
// sequence of numbers so that every run of the tests meets the same damaged files.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/Conversions.h"
#include "tools/FixedRandom.h"

namespace tracklens::testing {

using tools::FixedRandom;

inline constexpr std::array<std::uint8_t, 14> kTellingBytes = {
    0x00, 0x01, 0x7F, 0x80, 0x81, 0xF0, 0xF4, 0xF7, 0xFF, 0x2F, 0x51, 0x58, 0xB0, 'M',
};

inline constexpr std::array<std::array<std::uint8_t, 4>, 5> kTellingLengths = {{
    {0x0F, 0xFF, 0xFF, 0xFF},
    {0xFF, 0xFF, 0xFF, 0xFF},
    {0x7F, 0xFF, 0xFF, 0xFF},
    {0x00, 0x00, 0x00, 0x00},
    {0xFF, 0xFF, 0xFF, 0x7F},
}};

// One to three damages of the kinds a broken transfer or a careless editor leaves.
inline std::vector<std::uint8_t> Damaged(std::vector<std::uint8_t> bytes, FixedRandom& random,
                                         std::string& what)
{
    const std::size_t damages = 1 + random.below(3);
    for (std::size_t d = 0; d < damages; ++d) {
        const std::size_t at = random.below(bytes.size() + 1);
        const bool inside = at < bytes.size();
        switch (random.below(5)) {
        case 0:
            if (inside) {
                const auto mask = static_cast<std::uint8_t>(1u << random.below(8));
                bytes[at] ^= mask;
                what += "flip " + std::to_string(at) + "^" + HexByte(mask) + "; ";
            }
            break;
        case 1:
            if (inside) {
                bytes[at] = kTellingBytes[random.below(kTellingBytes.size())];
                what += "set " + std::to_string(at) + "=" + HexByte(bytes[at]) + "; ";
            }
            break;
        case 2: {
            const auto byte = static_cast<std::uint8_t>(random.next());
            bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at), byte);
            what += "insert " + HexByte(byte) + " at " + std::to_string(at) + "; ";
            break;
        }
        case 3:
            if (inside) {
                bytes.erase(bytes.begin() + static_cast<std::ptrdiff_t>(at));
                what += "delete " + std::to_string(at) + "; ";
            }
            break;
        default: {
            const auto& length = kTellingLengths[random.below(kTellingLengths.size())];
            for (std::size_t i = 0; i < length.size() && at + i < bytes.size(); ++i) {
                bytes[at + i] = length[i];
            }
            what += "length " + HexBytes(length) + " at " + std::to_string(at) + "; ";
            break;
        }
        }
    }
    return bytes;
}

} // namespace tracklens::testing
