#include "engine/SystemMessages.h"

#include <array>
#include <string_view>

#include "engine/Conversions.h"

namespace tracklens {

namespace {

struct SystemMessage {
    std::uint8_t byteCount; // status included; 0 for a status that is not listed
    std::string_view name;
};

// Indexed by the low four bits of the status.
constexpr std::array<SystemMessage, 16> kSystemMessages = {{
    {0, ""},               // F0 is a SysEx event
    {2, "Quarter Frame"},  // F1
    {3, "SongPosPointer"}, // F2
    {2, "Song Select"},    // F3
    {0, ""},               // F4 undefined
    {0, ""},               // F5 undefined
    {1, "Tune Request"},   // F6
    {0, ""},               // F7 is the SysEx escape
    {1, "Timing Clock"},   // F8
    {0, ""},               // F9 undefined
    {1, "Start"},          // FA
    {1, "Continue"},       // FB
    {1, "Stop"},           // FC
    {0, ""},               // FD undefined
    {1, "Active Sensing"}, // FE
    {0, ""},               // FF is a meta event
}};

const SystemMessage& MessageOf(std::uint8_t status)
{
    return kSystemMessages[status & 0x0Fu];
}

} // namespace

bool IsSystemMessage(std::uint8_t status)
{
    return (status & 0xF0) == 0xF0 && MessageOf(status).byteCount != 0;
}

// F2 10 02 -> Event "F21002", Description "SongPosPointer", Value "2 16"
Row ReadSystemMessage(TrackReader& reader, const EventStart& event)
{
    for (int i = 0; i < MessageOf(event.status).byteCount; ++i) {
        reader.readByte();
    }
    return EventRow(event, RowKind::SystemMessage, reader.position());
}

void AppendSystemMessageDescription(std::string& out, const Row& row)
{
    out += MessageOf(row.status).name;
}

void AppendSystemMessageValue(std::string& out, ByteSpan file, const Row& row)
{
    const ByteSpan bytes = file.subspan(row.offset, row.length);
    switch (row.status) {
    case 0xF1:
        AppendDecimal(out, bytes[1]);
        break;
    case 0xF2:
        AppendDecimal(out, bytes[2]);
        out += ' ';
        AppendDecimal(out, bytes[1]);
        break;
    case 0xF3:
        out += "Song n. ";
        AppendDecimal(out, bytes[1]);
        break;
    default:
        break;
    }
}

} // namespace tracklens
