#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/Row.h"

namespace tracklens {

// A place where a walk over a file can be taken up again: the start of a chunk, or the delta
// time of an event inside a track, with what the walk knew there.
struct WalkPoint {
    std::size_t chunk = 0;        // the chunk's tag
    std::size_t event = 0;        // the event's delta time; 0 at the start of the chunk
    std::uint64_t tickBefore = 0; // the absolute tick before the event's delta time
    std::uint8_t lastChannelStatus = 0;
};

// Whether a walk can begin at a row of this kind: at a chunk's tag or at an event, not at the
// header's rows or a chunk's length.
constexpr bool BeginsAWalk(RowKind kind)
{
    return !IsChunkRow(kind) || kind == RowKind::TrackTag || kind == RowKind::ChunkTag;
}

} // namespace tracklens
