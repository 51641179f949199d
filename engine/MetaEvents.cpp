#include "engine/MetaEvents.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "engine/Conversions.h"
#include "engine/Vocabulary.h"
#include "engine/Windows1252.h"

namespace tracklens {

namespace {

enum MetaType : std::uint8_t {
    SequenceId = 0x00,
    TextFirst = 0x01,
    TextLast = 0x07,
    ProgramName = 0x08,
    DeviceName = 0x09,
    MidiChannel = 0x20,
    MidiPort = 0x21,
    EndOfTrack = 0x2F,
    SetTempo = 0x51,
    SmpteOffset = 0x54,
    TimeSignature = 0x58,
    KeySignature = 0x59,
    Proprietary = 0x7F,
};

// Data bytes each type reads as fields; a missing one is a failure.
std::size_t FieldBytesNeeded(std::uint8_t type)
{
    switch (type) {
    case SequenceId:
    case KeySignature:
        return 2;
    case MidiChannel:
    case MidiPort:
        return 1;
    case SmpteOffset:
        return 5;
    case TimeSignature:
        return 4;
    default:
        return 0;
    }
}

bool IsTextType(std::uint8_t type)
{
    return (type >= TextFirst && type <= TextLast) || type == ProgramName || type == DeviceName;
}

// Microseconds per quarter note, from at most the first three data bytes.
std::uint32_t TempoOf(ByteSpan data)
{
    std::uint32_t tempo = 0;
    for (const std::uint8_t byte : data.first(std::min<std::size_t>(data.size(), 3))) {
        tempo = (tempo << 8) | byte;
    }
    return tempo;
}

struct MetaParts {
    std::uint8_t type;
    ByteSpan data;
};

MetaParts PartsOf(ByteSpan file, const Row& row)
{
    const ByteSpan bytes = file.subspan(row.offset, row.length);
    return {bytes[1], bytes.subspan(row.detail)};
}

const MetaSignature* SignatureOf(std::uint8_t type)
{
    const auto match = std::find_if(kMetaSignatures.begin(), kMetaSignatures.end(),
                                    [type](const MetaSignature& s) { return s.type == type; });
    return match == kMetaSignatures.end() ? nullptr : &*match;
}

void AppendJoined(TextCursor& out, ByteSpan values, char separator)
{
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i != 0) {
            out += separator;
        }
        AppendDecimal(out, values[i]);
    }
}

} // namespace

// FF 51 03 07 A1 20 -> Event "FF510307A120", Description "Set Tempo", Value "120"
Row ReadMetaEvent(TrackReader& reader, const EventStart& event)
{
    reader.readByte();
    const std::uint8_t type = reader.readByte();
    const std::uint32_t length = reader.readVariableLength();
    const std::size_t dataStart = reader.position();
    const ByteSpan data = reader.bytesFrom(dataStart, length);
    reader.skip(length);

    if (data.size() < FieldBytesNeeded(type)) {
        throw RunFailure{FailureCode::MissingByte, dataStart + data.size() + 1};
    }
    if (type == SetTempo && TempoOf(data) == 0) {
        throw RunFailure{FailureCode::ZeroTempo, event.offset + 1};
    }
    Row row = EventRow(event, RowKind::Meta, dataStart + data.size());
    row.detail = static_cast<std::uint16_t>(dataStart - event.offset);
    return row;
}

std::optional<std::uint32_t> MetaTempo(ByteSpan file, const Row& row)
{
    const MetaParts parts = PartsOf(file, row);
    return parts.type == SetTempo ? std::optional(TempoOf(parts.data)) : std::nullopt;
}

std::optional<TimeSignatureFields> MetaTimeSignature(ByteSpan file, const Row& row)
{
    const MetaParts parts = PartsOf(file, row);
    if (parts.type != TimeSignature) {
        return std::nullopt;
    }
    return TimeSignatureFields{parts.data[0], parts.data[1]};
}

void AppendMetaDescription(TextCursor& out, ByteSpan file, const Row& row)
{
    const std::uint8_t type = PartsOf(file, row).type;
    if (const MetaSignature* signature = SignatureOf(type)) {
        out += signature->name;
    } else if (type == ProgramName) {
        out += "Program Name";
    } else if (type == DeviceName) {
        out += "Device Name";
    } else {
        out += "Meta ";
        AppendHexByte(out, type);
    }
}

std::optional<ByteSpan> MetaText(ByteSpan file, const Row& row)
{
    const auto [type, data] = PartsOf(file, row);
    return IsTextType(type) ? std::optional<ByteSpan>(data) : std::nullopt;
}

void AppendMetaValue(TextCursor& out, ByteSpan file, const Row& row)
{
    if (const std::optional<ByteSpan> text = MetaText(file, row)) {
        AppendWindows1252(out, *text);
        return;
    }
    const auto [type, data] = PartsOf(file, row);
    switch (type) {
    case SequenceId:
        AppendDecimal(out, std::int64_t{data[0] * 256 + data[1]});
        break;
    case MidiChannel:
    case MidiPort:
        AppendDecimal(out, data[0]);
        break;
    case SetTempo:
        AppendDecimal(out, static_cast<std::int64_t>(std::floor(60000000.0 / TempoOf(data) + 0.1)));
        break;
    case SmpteOffset:
        AppendJoined(out, data.first(5), ':');
        break;
    case TimeSignature:
        AppendDecimal(out, data[0]);
        out += '/';
        AppendDecimal(out, std::int64_t{TimeSigDenominator(data[1])});
        out += "  (Ticks ";
        AppendDecimal(out, data[2]);
        out += ", ";
        AppendDecimal(out, data[3]);
        out += "/32nd)";
        break;
    case KeySignature:
        AppendKeyName(out, data[0], data[1]);
        break;
    default:
        break;
    }
}

} // namespace tracklens
