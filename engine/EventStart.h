#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/Row.h"

namespace tracklens {

// What the walk knows of an event when it hands it to the decoder of its family.
struct EventStart {
    std::uint64_t absTick = 0;    // after this event's delta time
    std::size_t offset = 0;       // 0-based: the status byte, or the first data byte when running
    std::uint8_t deltaLength = 0; // delta-time bytes right before offset
    std::uint8_t status = 0;      // after running status
    bool running = false;
    std::uint32_t track = 0; // number of the MTrk chunk
};

// The row of an event whose bytes in the file run from its start to end.
inline Row EventRow(const EventStart& event, RowKind kind, std::size_t end)
{
    Row row{};
    row.absTick = event.absTick;
    row.offset = static_cast<std::uint32_t>(event.offset);
    row.length = static_cast<std::uint32_t>(end - event.offset);
    row.kind = kind;
    row.status = event.status;
    row.deltaLength = event.deltaLength;
    row.running = event.running;
    row.track = event.track;
    return row;
}

} // namespace tracklens
