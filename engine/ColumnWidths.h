#pragma once

#include <array>
#include <cstdint>

#include "engine/Row.h"

namespace tracklens {

// Widths of the six listing columns, in twips (1/1440 inch).
using ColumnWidths = std::array<std::int32_t, kColumnCount>;

inline constexpr ColumnWidths kInitialColumnWidths = {800, 800, 2400, 350, 2500, 10050};

} // namespace tracklens
