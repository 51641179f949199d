#include "engine/ChannelVoice.h"

#include "engine/Conversions.h"
#include "engine/Vocabulary.h"

namespace tracklens {

namespace {

enum Kind : std::uint8_t {
    NoteOff = 0x8,
    NoteOn = 0x9,
    KeyAftertouch = 0xA,
    ControlChange = 0xB,
    ProgramChange = 0xC,
    ChannelAftertouch = 0xD,
    PitchBend = 0xE,
};

Kind KindOf(std::uint8_t status)
{
    return static_cast<Kind>(status >> 4);
}

int DataByteCount(Kind kind)
{
    return kind == ProgramChange || kind == ChannelAftertouch ? 1 : 2;
}

struct DataBytes {
    std::uint8_t d1 = 0;
    std::uint8_t d2 = 0;
};

// The data bytes follow the status byte, or stand at the row's start under running status.
DataBytes DataOf(ByteSpan file, const Row& row)
{
    const ByteSpan data = file.subspan(row.offset + (row.running ? 0u : 1u));
    DataBytes bytes{data[0], 0};
    if (DataByteCount(KindOf(row.status)) == 2) {
        bytes.d2 = data[1];
    }
    return bytes;
}

void AppendNoteAndVelocity(std::string& out, DataBytes data)
{
    AppendNoteName(out, data.d1);
    if (data.d2 != 0) {
        out += " - ";
        AppendDecimal(out, data.d2);
    }
}

} // namespace

void AppendChannelVoiceDescription(std::string& out, ByteSpan file, const Row& row)
{
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

void AppendChannelVoiceValue(std::string& out, ByteSpan file, const Row& row)
{
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
        out += kControllerNames[data.d1];
        out += " - ";
        AppendDecimal(out, data.d2);
        break;
    case ProgramChange:
        AppendDecimal(out, data.d1);
        out += ':';
        out += kProgramNames[data.d1];
        break;
    case ChannelAftertouch:
        AppendDecimal(out, data.d1);
        break;
    case PitchBend:
        out += "Wheel ";
        AppendDecimal(out, (data.d2 & 0x7F) * 128 + (data.d1 & 0x7F) - 8192);
        break;
    }
}

} // namespace tracklens
