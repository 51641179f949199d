#pragma once

#include <cstdint>
#include <memory_resource>
#include <vector>

#include "engine/AnalysisView.h"
#include "engine/ColumnWidths.h"

namespace tracklens {

inline constexpr std::string_view kApplicationTitle = "Tracklens";

// The analysis of one file: lists it into the view, or reports why it could not. The listing's
// rows are kept in memory from rowMemory.
void DecodeFile(std::vector<std::uint8_t> content, AnalysisView& view, const ColumnWidths& widths,
                std::pmr::memory_resource* rowMemory = std::pmr::get_default_resource());

} // namespace tracklens
