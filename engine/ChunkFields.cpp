#include "engine/ChunkFields.h"

#include <cstdint>

#include "engine/Conversions.h"
#include "engine/Windows1252.h"

namespace tracklens {

namespace {

// E7 28 -> "25 fps, 40 ticks/frame"; 29 frames a second are 29.97 drop-frame.
void AppendSmpteDivision(TextCursor& out, std::uint8_t frameByte, std::uint8_t ticksPerFrame)
{
    const int framesPerSecond = -static_cast<std::int8_t>(frameByte);
    if (framesPerSecond == 29) {
        out += "29.97";
    } else {
        AppendDecimal(out, std::int64_t{framesPerSecond});
    }
    out += " fps, ";
    AppendDecimal(out, ticksPerFrame);
    out += " ticks/frame";
}

bool IsSmpte(ByteSpan division)
{
    return (division[0] & 0x80) != 0;
}

} // namespace

void AppendChunkDescription(TextCursor& out, ByteSpan file, const Row& row)
{
    const ByteSpan bytes = file.subspan(row.offset, row.length);
    switch (row.kind) {
    case RowKind::HeaderTag:
        out += "MThd";
        break;
    case RowKind::HeaderLength:
    case RowKind::TrackLength:
    case RowKind::ChunkLength:
    case RowKind::RiffLength:
    case RowKind::RiffChunkLength:
        out += "Lunghezza";
        break;
    case RowKind::HeaderFormat:
        out += "Formato";
        break;
    case RowKind::HeaderTracks:
        out += "Tracce";
        break;
    case RowKind::HeaderDivision:
        out += IsSmpte(bytes) ? "SMPTE" : "TPQN";
        break;
    case RowKind::TrackTag:
        out += "MTrk";
        break;
    case RowKind::RiffTag:
        out += "RIFF";
        break;
    case RowKind::RiffForm:
        out += "RMID";
        break;
    case RowKind::ChunkTag:
    case RowKind::RiffChunkTag:
        AppendWindows1252(out, bytes);
        break;
    default:
        break;
    }
}

void AppendChunkValue(TextCursor& out, ByteSpan file, const Row& row)
{
    const ByteSpan bytes = file.subspan(row.offset, row.length);
    switch (row.kind) {
    case RowKind::HeaderLength:
    case RowKind::TrackLength:
    case RowKind::ChunkLength:
        AppendUnsigned(out, BigEndian(bytes));
        out += " bytes";
        break;
    case RowKind::RiffLength:
    case RowKind::RiffChunkLength:
        AppendUnsigned(out, LittleEndian(bytes));
        out += " bytes";
        break;
    case RowKind::HeaderFormat:
    case RowKind::HeaderTracks:
        AppendUnsigned(out, BigEndian(bytes));
        break;
    case RowKind::HeaderDivision:
        if (IsSmpte(bytes)) {
            AppendSmpteDivision(out, bytes[0], bytes[1]);
        } else {
            AppendUnsigned(out, BigEndian(bytes));
        }
        break;
    default:
        break;
    }
}

} // namespace tracklens
