#pragma once

#include <cstdint>
#include <span>

namespace tracklens {

// A view of bytes read from a file; the file itself is owned elsewhere.
using ByteSpan = std::span<const std::uint8_t>;

// The number that at most four bytes make, the first the most significant.
inline std::uint32_t BigEndian(ByteSpan bytes)
{
    std::uint32_t value = 0;
    for (const std::uint8_t byte : bytes) {
        value = value << 8 | byte;
    }
    return value;
}

// The same, the first byte the least significant.
inline std::uint32_t LittleEndian(ByteSpan bytes)
{
    std::uint32_t value = 0;
    for (auto byte = bytes.rbegin(); byte != bytes.rend(); ++byte) {
        value = value << 8 | *byte;
    }
    return value;
}

} // namespace tracklens
