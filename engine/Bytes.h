#pragma once

#include <cstdint>
#include <span>

namespace tracklens {

// A view of bytes read from a file; the file itself is owned elsewhere.
using ByteSpan = std::span<const std::uint8_t>;

} // namespace tracklens
