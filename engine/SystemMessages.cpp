#include "engine/SystemMessages.h"

#include <array>
#include <string_view>

#include "engine/Conversions.h"

namespace tracklens {

namespace {

const SystemMessageKind& MessageOf(std::uint8_t status)
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

void AppendSystemMessageDescription(TextCursor& out, const Row& row)
{
    out += MessageOf(row.status).name;
}

void AppendSystemMessageValue(TextCursor& out, ByteSpan file, const Row& row)
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
