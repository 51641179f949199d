#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/Row.h"

namespace tracklens {

// How a walk meets a problem inside a track. Kept going, it lists the problem as a row of kind
// Problem and goes on: at the next chunk after an unknown status or a missing byte, right after
// the event for a number beyond a table or a tempo of 0. What ends a run before the first track,
// and a walk beyond the ranges of its counts or the memory, still end it.
enum class WalkMode : std::uint8_t {
    StopAtProblem,
    KeepGoing,
};

// A place where a walk over a file can be taken up again: the start of a chunk, or the delta
// time of an event inside a track, with what the walk knew there.
struct WalkPoint {
    std::size_t chunk = 0;        // the chunk's tag
    std::size_t event = 0;        // the event's delta time; 0 at the start of the chunk
    std::uint64_t tickBefore = 0; // the absolute tick before the event's delta time
    std::uint8_t lastChannelStatus = 0;
    std::uint32_t tracksBefore = 0; // MTrk chunks before the chunk
    // The container's "data" chunk whose Standard MIDI File holds the point; 0 for a plain file
    // and for the container's own chunks.
    std::uint32_t dataChunk = 0;
    bool keepGoing = false; // the walk lists its problems and goes on past them
};

// Whether a walk can begin at a row of this kind: at a chunk's tag or at an event, not at the
// header's rows or a chunk's length.
constexpr bool BeginsAWalk(RowKind kind)
{
    return !IsChunkRow(kind) || kind == RowKind::TrackTag || kind == RowKind::ChunkTag ||
           kind == RowKind::RiffChunkTag;
}

// Built for the fuzzer, the blocks of an event table and the batches of a listing hold a few rows
// only, so that every input is listed again from many points.
#ifdef TRACKLENS_SMALL_BATCHES
inline constexpr bool kSmallBatches = true;
#else
inline constexpr bool kSmallBatches = false;
#endif

// Where a walk that lists a row again begins, and the index of the first row it lists.
struct RelistStart {
    WalkPoint point;
    std::size_t firstRow = 0;
};

// Follows the rows of a walk to tell where a walk that lists a given row again can begin: at the
// row itself where BeginsAWalk(), otherwise (a chunk's length) at the tag of its chunk. Every
// chunk row must be shown to it; the rows of a track's events need not be.
class RelistPoints {
public:
    void noteChunkRow(const Row& row, std::size_t index, const WalkPoint& before)
    {
        if (BeginsAWalk(row.kind)) {
            lastChunk_ = {before, index};
        }
    }

    RelistStart startFor(const Row& row, std::size_t index, const WalkPoint& before) const
    {
        return BeginsAWalk(row.kind) ? RelistStart{before, index} : lastChunk_;
    }

private:
    RelistStart lastChunk_;
};

} // namespace tracklens
