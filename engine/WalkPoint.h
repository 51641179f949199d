#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "engine/Bytes.h"
#include "engine/Row.h"
#include "engine/TrackReader.h"

namespace tracklens {

// A place where a walk over a file can be taken up again: the start of a chunk, or the delta
// time of an event inside a track, with what the walk knew there.
struct WalkPoint {
    std::size_t chunk = 0;        // the chunk's tag
    std::size_t event = 0;        // the event's delta time; 0 at the start of the chunk
    std::uint64_t tickBefore = 0; // the absolute tick before the event's delta time
    std::uint8_t lastChannelStatus = 0;
};

// Follows a walk row by row, so that it can tell where the walk could be taken up again.
class WalkPointTracker {
public:
    explicit WalkPointTracker(ByteSpan file)
        : file_(file)
    {
    }

    // Where the walk that lists this row begins, when a walk can begin there: at a chunk's tag
    // or at an event, not at the header's rows or a chunk's length. Asked before seen(row).
    std::optional<WalkPoint> pointBefore(const Row& row) const
    {
        if (row.kind == RowKind::TrackTag || row.kind == RowKind::ChunkTag) {
            return WalkPoint{row.offset, 0, 0, lastChannelStatus_};
        }
        if (IsChunkRow(row.kind)) {
            return std::nullopt;
        }
        const std::size_t deltaStart = row.offset - row.deltaLength;
        const std::uint32_t delta = TrackReader(file_, deltaStart, row.offset).readVariableLength();
        return WalkPoint{chunk_, deltaStart, row.absTick - delta, lastChannelStatus_};
    }

    void seen(const Row& row)
    {
        if (row.kind == RowKind::ChannelVoice) {
            lastChannelStatus_ = row.running ? lastChannelStatus_ : row.status;
        } else if (row.kind == RowKind::TrackTag || row.kind == RowKind::ChunkTag) {
            chunk_ = row.offset;
        }
    }

private:
    ByteSpan file_;
    std::size_t chunk_ = 0;
    std::uint8_t lastChannelStatus_ = 0;
};

} // namespace tracklens
