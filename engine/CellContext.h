#pragma once

#include "engine/TimeMaps.h"

namespace tracklens {

// What the text of a cell depends on besides its row and the file's bytes: what the walk
// gathered over the whole file. Without maps, Time and Bar are empty.
struct CellContext {
    const TimeMaps* timeMaps = nullptr;
};

} // namespace tracklens
