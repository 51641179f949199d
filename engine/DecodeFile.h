#pragma once

#include <cstdint>

#include "engine/AnalysisView.h"
#include "engine/ColumnWidths.h"
#include "engine/EventWalk.h"
#include "engine/MemoryBlock.h"
#include "engine/Program.h"

namespace tracklens {

// The analysis of one file: lists it into the view, or reports why it could not. A walk that keeps
// going lists a track's problems as rows, and the status label says how many it found.
void DecodeFile(FileBytes content, AnalysisView& view, const ColumnWidths& widths,
                WalkMode mode = WalkMode::StopAtProblem);

} // namespace tracklens
