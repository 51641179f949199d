#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/Bytes.h"
#include "engine/Conversions.h"
#include "engine/EventStart.h"
#include "engine/TrackReader.h"
#include "engine/Vocabulary.h"

namespace tracklens {

// Note off and on, key and channel aftertouch, control change, program change and pitch bend.
// Reading one sets the last channel status when the message carries its own status byte. It is
// read for nearly every row of a file, so it is defined here and always inlined into the walk.
// 90 3C 64 -> Event "903C64", Ch "1", Description "NotaON", Value "Do5 - 100"
[[gnu::always_inline]] inline Row ReadChannelVoice(TrackReader& reader, const EventStart& event,
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

namespace channel_voice {

enum Kind : std::uint8_t {
    NoteOff = 0x8,
    NoteOn = 0x9,
    KeyAftertouch = 0xA,
    ControlChange = 0xB,
    ProgramChange = 0xC,
    ChannelAftertouch = 0xD,
    PitchBend = 0xE,
};

inline Kind KindOf(std::uint8_t status)
{
    return static_cast<Kind>(status >> 4);
}

struct DataBytes {
    std::uint8_t d1 = 0;
    std::uint8_t d2 = 0;
};

// The data bytes follow the status byte, or stand at the row's start under running status.
inline DataBytes DataOf(ByteSpan file, const Row& row)
{
    const Kind kind = KindOf(row.status);
    const ByteSpan data = file.subspan(row.offset + (row.running ? 0u : 1u));
    DataBytes bytes{data[0], 0};
    if (kind != ProgramChange && kind != ChannelAftertouch) {
        bytes.d2 = data[1];
    }
    return bytes;
}

[[gnu::always_inline]] inline void AppendNoteAndVelocity(TextCursor& out, DataBytes data)
{
    AppendNoteName(out, data.d1);
    if (data.d2 != 0) {
        out += " - ";
        AppendDecimal(out, data.d2);
    }
}

[[gnu::always_inline]] inline void AppendNamePiece(TextCursor& out, const NamePiece& piece)
{
    out.appendPiece<kNamePieceWidth>(piece.characters.data(), piece.size);
}

} // namespace channel_voice

// The Description and Value texts of a channel message row. They are written for most rows of
// a listing, so they are defined here, where the writers of a line can inline them.
[[gnu::always_inline]] inline void AppendChannelVoiceDescription(TextCursor& out, ByteSpan file,
                                                                 const Row& row)
{
    using namespace channel_voice;
    if (row.running) {
        out += '+';
    }
    switch (KindOf(row.status)) {
    case NoteOff:
        out += "NotaOFF";
        break;
    case NoteOn:
        out += DataOf(file, row).d2 != 0 ? "NotaON" : "NotaOFF";
        break;
    case KeyAftertouch:
        out += "Key Aftertouch";
        break;
    case ControlChange:
        out += "Control";
        break;
    case ProgramChange:
        out += "Patch";
        break;
    case ChannelAftertouch:
        out += "Ch. Aftertouch";
        break;
    case PitchBend:
        out += "Pitch Bend";
        break;
    }
}

[[gnu::always_inline]] inline void AppendChannelVoiceValue(TextCursor& out, ByteSpan file,
                                                           const Row& row)
{
    using namespace channel_voice;
    const DataBytes data = DataOf(file, row);
    switch (KindOf(row.status)) {
    case NoteOff:
    case NoteOn:
        AppendNoteAndVelocity(out, data);
        break;
    case KeyAftertouch:
        AppendNoteName(out, data.d1);
        out += " - ";
        AppendDecimal(out, data.d2);
        break;
    case ControlChange:
        AppendDecimal(out, data.d1);
        out += ':';
        AppendNamePiece(out, kControllerNamePieces[data.d1]);
        out += " - ";
        AppendDecimal(out, data.d2);
        break;
    case ProgramChange:
        AppendDecimal(out, data.d1);
        out += ':';
        AppendNamePiece(out, kProgramNamePieces[data.d1]);
        break;
    case ChannelAftertouch:
        AppendDecimal(out, data.d1);
        break;
    case PitchBend:
        out += "Wheel ";
        AppendDecimal(out, std::int64_t{(data.d2 & 0x7F) * 128 + (data.d1 & 0x7F) - 8192});
        break;
    }
}

} // namespace tracklens
