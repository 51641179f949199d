#pragma once

#include <cstdint>

#include "engine/AnalysisView.h"
#include "engine/ColumnWidths.h"
#include "engine/MemoryBlock.h"
#include "engine/Program.h"

namespace tracklens {

// The analysis of one file: lists it into the view, or reports why it could not.
void DecodeFile(FileBytes content, AnalysisView& view, const ColumnWidths& widths);

} // namespace tracklens
