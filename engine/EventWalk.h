#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <type_traits>
#include <utility>
#include <vector>

#include "engine/Bytes.h"
#include "engine/EventStart.h"
#include "engine/RowSink.h"
#include "engine/RunOutcome.h"
#include "engine/TrackReader.h"
#include "engine/WalkPoint.h"

namespace tracklens {

// The walk over a file's bytes: the header chunk's fields, then chunk after chunk by their
// lengths, every event of every track. A file in a RIFF container of form "RMID" is walked
// chunk after chunk of the container, the Standard MIDI File of its "data" chunk listed right
// there as a whole file, bounded by that chunk. Each row goes to the sink as soon as it is found.
// The walk needs nothing but the bytes, so it runs the same under a window and on the command line.
//
// It is made for any sink, in the source file that defines the sink (see EventWalkSteps.h); made
// for a sink whose AddRow() is final, it hands each row over without a virtual call, which counts
// at tens of millions of rows.
//
// Made to keep going (WalkMode::KeepGoing), it lists what would end the walk inside a track as a
// row of kind Problem and goes on: see WalkMode.
template <typename Sink>
class BasicEventWalk {
public:
    // A walk lists no more rows than a row's index can count.
    static constexpr std::int32_t kMostRows = std::numeric_limits<std::int32_t>::max();

    BasicEventWalk(ByteSpan file, Sink& sink, WalkMode mode = WalkMode::StopAtProblem)
        : file_(file)
        , sink_(sink)
        , mostRows_(kMostRows)
        , end_(file.size())
        , keepGoing_(mode == WalkMode::KeepGoing)
    {
    }

    // The five rows of the header chunk; for a file in an RMID container, its three rows.
    RunOutcome readHeader();

    // Every chunk after the header; call after readHeader() succeeded.
    RunOutcome readChunks();

    // Two walks can share the chunks of a Standard MIDI File that is not in a container, since
    // a chunk's place follows from the lengths of those before it: the first walk reads the
    // chunks before a chunk near the middle, the second those from that chunk on. Only running
    // status passes from a track to the next; the second walk begins without it, so that a
    // track that depends on it meets an unknown status there, which tells that the second walk
    // must be read again after the first.
    //
    // The point of the first chunk at or after the middle of the file, with the MTrk chunks
    // before it and no running status; nothing in a container or for a file of one chunk. Call
    // after readHeader() succeeded.
    std::optional<WalkPoint> middleChunk() const;
    // None of these three ends the sink's walk (RowSink::EndWalk()).
    //
    // The chunks before the one at until; call after readHeader() succeeded.
    RunOutcome readChunksBefore(std::uint64_t until);
    // The chunks from the one at chunk to the end, the walk going on from where it is.
    RunOutcome readChunksFrom(std::uint64_t chunk);
    // The chunks from a point at a chunk's tag to the end, as a walk of its own.
    RunOutcome readChunksTakenUpAt(const WalkPoint& point);

    // Lists again rows that a whole walk of the same bytes listed: at most the given number of
    // them, from a point of that walk. Gives how many it listed, which the caller checks: fewer
    // means the point was not one of that walk's.
    std::int32_t relist(const WalkPoint& point, std::int32_t rows);

    // Rows handed to the sink so far.
    std::int32_t rowCount() const { return rowCount_; }

    // The problems a walk that keeps going listed, in their order: each as the outcome that would
    // have ended the walk there.
    const std::vector<RunOutcome>& problems() const { return problems_; }
    // The same, handed over once the walk has ended.
    std::vector<RunOutcome> takeProblems() { return std::move(problems_); }

private:
    std::uint64_t listHeaderChunk(std::size_t begin);
    void relistInFile(const WalkPoint& point);
    void walkContainer(std::uint64_t chunk);
    void walkEmbeddedFile(std::size_t dataChunk);
    void enterEmbeddedFile(std::size_t dataChunk);
    void leaveEmbeddedFile();
    RunOutcome walkAllChunks();
    template <typename Steps>
    RunOutcome outcomeOf(Steps steps);
    void takeUp(const WalkPoint& point);
    void walkChunks(std::uint64_t chunk, std::uint64_t until = ~std::uint64_t{0});
    void walkTrack(std::uint64_t chunk, std::size_t begin, std::uint64_t absTick);
    void walkTrackKeepingOn(std::uint64_t chunk, std::size_t begin, std::uint64_t absTick);
    [[gnu::always_inline]] EventStart startEvent(TrackReader& reader, std::uint64_t absTick,
                                                 std::size_t deltaStart) const;
    [[gnu::always_inline]] void readEvent(TrackReader& reader, const EventStart& event,
                                          const WalkPoint& before);
    std::uint64_t walkChunk(std::uint64_t chunk);
    std::uint64_t nextChunk(std::uint64_t chunk) const;
    std::size_t trackEnd(std::uint64_t chunk) const;
    void readOtherEvent(TrackReader& reader, const EventStart& event, const WalkPoint& before);
    void addChunkRow(RowKind kind, std::size_t offset, std::size_t length);
    [[gnu::always_inline]] void addRow(const Row& row, const WalkPoint& before);

    ByteSpan file_;
    Sink& sink_;
    std::int32_t rowCount_ = 0;
    std::int32_t mostRows_; // more would not fit the count
    std::uint64_t firstChunk_ = 0;
    std::uint8_t lastChannelStatus_ = 0; // running status, kept across tracks
    bool inContainer_ = false;           // the file is an RMID container
    bool containerHasData_ = false;      // a "data" chunk was found in it
    std::uint32_t dataChunk_ = 0;        // the "data" chunk walked now, 0 outside one
    std::size_t end_ = 0;                // the end of the Standard MIDI File walked now
    std::uint32_t tracksBefore_ = 0;     // MTrk chunks before the chunk walked
    std::uint32_t track_ = 0;            // number of the MTrk chunk walked; 0 in another chunk
    bool keepGoing_;
    std::vector<RunOutcome> problems_;
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
RunOutcome WalkFile(ByteSpan file, Sink& sink, WalkMode mode = WalkMode::StopAtProblem)
{
    WalkFor<Sink> walk(file, sink, mode);
    const RunOutcome header = walk.readHeader();
    return header.complete() ? walk.readChunks() : header;
}

} // namespace tracklens
