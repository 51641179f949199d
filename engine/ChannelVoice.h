#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/Bytes.h"
#include "engine/EventStart.h"
#include "engine/TrackReader.h"

namespace tracklens {

// Note off and on, key and channel aftertouch, control change, program change and pitch bend.
// Reading one sets the last channel status when the message carries its own status byte. It is
// read for nearly every row of a file, so it is defined here, where the walk can inline it.
// 90 3C 64 -> Event "903C64", Ch "1", Description "NotaON", Value "Do5 - 100"
inline Row ReadChannelVoice(TrackReader& reader, const EventStart& event,
                            std::uint8_t& lastChannelStatus)
{
    // Which kinds have two data bytes (all but program change, C, and channel aftertouch, D),
    // and which have a number that must be in a table (control change, B, and program change).
    // Every step depends on the kind and on running status, which change from one message to
    // the next unpredictably: they are computed without a branch, so nothing is mispredicted.
    constexpr unsigned kTwoDataBytes = 0xFFFFu & ~(1u << 0xC | 1u << 0xD);
    constexpr unsigned kTableNumber = 1u << 0xB | 1u << 0xC;
    const unsigned kind = event.status >> 4u;
    const std::size_t dataBytes = 1 + (kTwoDataBytes >> kind & 1u);
    const std::size_t statusBytes = 1 - std::size_t{event.running};
    const std::size_t firstDataPosition = reader.position() + statusBytes;
    std::uint8_t d1 = 0;
    if (reader.left() >= statusBytes + dataBytes) {
        d1 = reader.byteAt(firstDataPosition);
        reader.advance(statusBytes + dataBytes);
    } else {
        // A byte is missing: read one by one, so the failure names the first one missing.
        if (!event.running) {
            reader.readByte();
        }
        d1 = reader.readByte();
        if (dataBytes == 2) {
            reader.readByte();
        }
    }
    // A controller or program number beyond the tables.
    if ((kTableNumber >> kind & d1 >> 7 & 1u) != 0) {
        throw RunFailure{FailureCode::NotInTable, firstDataPosition + 1};
    }
    lastChannelStatus = event.running ? lastChannelStatus : event.status;
    return EventRow(event, RowKind::ChannelVoice, reader.position());
}

void AppendChannelVoiceDescription(std::string& out, ByteSpan file, const Row& row);
void AppendChannelVoiceValue(std::string& out, ByteSpan file, const Row& row);

} // namespace tracklens
