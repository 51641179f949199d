#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/Bytes.h"
#include "engine/EventStart.h"
#include "engine/RowSink.h"
#include "engine/RunOutcome.h"
#include "engine/TrackReader.h"

namespace tracklens {

// The walk over a file's bytes: the header chunk's fields, then chunk after chunk by their
// lengths, every event of every track. Each row goes to the sink as soon as it is found. The
// walk needs nothing but the bytes, so it runs the same under a window and on the command line.
class EventWalk {
public:
    EventWalk(ByteSpan file, RowSink& sink)
        : file_(file)
        , sink_(sink)
    {
    }

    // The five rows of the header chunk.
    RunOutcome readHeader();

    // Every chunk after the header; call after readHeader() succeeded.
    RunOutcome readChunks();

    // Rows handed to the sink so far.
    std::int32_t rowCount() const { return rowCount_; }

private:
    void walkChunks();
    void walkTrack(std::size_t begin, std::size_t end);
    void readOtherEvent(TrackReader& reader, const EventStart& event);
    void addChunkRow(RowKind kind, std::size_t offset, std::size_t length);
    void addRow(const Row& row);

    ByteSpan file_;
    RowSink& sink_;
    std::int32_t rowCount_ = 0;
    std::uint64_t firstChunk_ = 0;
    std::uint8_t lastChannelStatus_ = 0; // running status, kept across tracks
};

// Both steps at once, for callers that show nothing in between.
RunOutcome WalkFile(ByteSpan file, RowSink& sink);

} // namespace tracklens
