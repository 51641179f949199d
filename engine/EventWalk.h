#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <type_traits>

#include "engine/Bytes.h"
#include "engine/EventStart.h"
#include "engine/RowSink.h"
#include "engine/RunOutcome.h"
#include "engine/TrackReader.h"
#include "engine/WalkPoint.h"

namespace tracklens {

// The walk over a file's bytes: the header chunk's fields, then chunk after chunk by their
// lengths, every event of every track. Each row goes to the sink as soon as it is found. The
// walk needs nothing but the bytes, so it runs the same under a window and on the command line.
//
// It is made for any sink, in the source file that defines the sink (see EventWalkSteps.h); made
// for a sink whose AddRow() is final, it hands each row over without a virtual call, which counts
// at tens of millions of rows.
template <typename Sink>
class BasicEventWalk {
public:
    BasicEventWalk(ByteSpan file, Sink& sink)
        : file_(file)
        , sink_(sink)
        , mostRows_(std::numeric_limits<std::int32_t>::max())
    {
    }

    // The five rows of the header chunk.
    RunOutcome readHeader();

    // Every chunk after the header; call after readHeader() succeeded.
    RunOutcome readChunks();

    // Lists again rows that a whole walk of the same bytes listed: at most the given number of
    // them, from a point of that walk. Gives how many it listed, which the caller checks: fewer
    // means the point was not one of that walk's.
    std::int32_t relist(const WalkPoint& point, std::int32_t rows);

    // Rows handed to the sink so far.
    std::int32_t rowCount() const { return rowCount_; }

private:
    RunOutcome walkAllChunks();
    void walkChunks(std::uint64_t chunk);
    void walkTrack(std::uint64_t chunk, std::size_t begin, std::uint64_t absTick);
    std::uint64_t walkChunk(std::uint64_t chunk);
    std::uint64_t nextChunk(std::uint64_t chunk) const;
    std::size_t trackEnd(std::uint64_t chunk) const;
    void readOtherEvent(TrackReader& reader, const EventStart& event, const WalkPoint& before);
    void addChunkRow(RowKind kind, std::size_t offset, std::size_t length);
    [[gnu::always_inline]] void addRow(Row row, const WalkPoint& before);

    ByteSpan file_;
    Sink& sink_;
    std::int32_t rowCount_ = 0;
    std::int32_t mostRows_; // more would not fit the count
    std::uint64_t firstChunk_ = 0;
    std::uint8_t lastChannelStatus_ = 0; // running status, kept across tracks
    std::uint32_t tracksBefore_ = 0;     // MTrk chunks before the chunk walked
    std::uint32_t track_ = 0;            // number of the MTrk chunk walked; 0 in another chunk
};

using EventWalk = BasicEventWalk<RowSink>;

// A sink for which the walk is made, in the sink's own source file, says so with
//     static constexpr bool kHasItsOwnWalk = true;
// every other sink is handed its rows through RowSink.
template <typename Sink>
concept HasItsOwnWalk = Sink::kHasItsOwnWalk;

template <typename Sink>
using WalkFor = BasicEventWalk<std::conditional_t<HasItsOwnWalk<Sink>, Sink, RowSink>>;

// Both steps at once, for callers that show nothing in between.
template <typename Sink>
RunOutcome WalkFile(ByteSpan file, Sink& sink)
{
    WalkFor<Sink> walk(file, sink);
    const RunOutcome header = walk.readHeader();
    return header.complete() ? walk.readChunks() : header;
}

} // namespace tracklens
