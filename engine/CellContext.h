#pragma once

#include "engine/TextEncoding.h"
#include "engine/TimeMaps.h"

namespace tracklens {

// What the text of a cell depends on besides its row and the file's bytes: what the walk
// gathered over the whole file, and how the data of text events is read. Without maps, Time and
// Bar are empty; by default texts are Windows-1252.
struct CellContext {
    const TimeMaps* timeMaps = nullptr;
    TextChoice texts;
    // Where the rows placed last stood in the maps, when one thread places many rows in order.
    TimeMaps::Hints* placingHints = nullptr;
};

} // namespace tracklens
