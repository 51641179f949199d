#include "engine/SystemExclusive.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "engine/Conversions.h"
#include "engine/Vocabulary.h"

namespace tracklens {

namespace {

// 1-based index into kManufacturers, 0 for an unknown maker. An identification starting with
// 00 is looked up as three bytes only.
std::uint8_t ManufacturerIndex(ByteSpan identification)
{
    if (identification.empty()) {
        return 0;
    }
    const bool threeBytes = identification[0] == 0x00;
    if (threeBytes && identification.size() < 3) {
        return 0;
    }
    const auto match =
        std::find_if(kManufacturers.begin(), kManufacturers.end(), [&](const Manufacturer& maker) {
            const bool makerThreeBytes = maker.id[0] == 0x00;
            if (makerThreeBytes != threeBytes) {
                return false;
            }
            return threeBytes ? std::equal(maker.id.begin(), maker.id.end(), identification.begin())
                              : maker.id[0] == identification[0];
        });
    return match == kManufacturers.end()
               ? 0
               : static_cast<std::uint8_t>(match - kManufacturers.begin() + 1);
}

// 1-based index into kKnownSysExMessages, 0 for any other message.
std::uint8_t KnownMessageIndex(ByteSpan body)
{
    for (std::size_t i = 0; i < kKnownSysExMessages.size(); ++i) {
        const std::string_view known = kKnownSysExMessages[i].bytes;
        if (known.size() == body.size() &&
            std::equal(body.begin(), body.end(), known.begin(),
                       [](std::uint8_t byte, char knownByte) {
                           return byte == static_cast<std::uint8_t>(knownByte);
                       })) {
            return static_cast<std::uint8_t>(i + 1);
        }
    }
    return 0;
}

struct LengthPrefixed {
    std::size_t bodyStart;
    std::uint32_t declaredLength;
};

// Status, length, body: the body is cut where the track ends.
LengthPrefixed SkipLengthPrefixed(TrackReader& reader)
{
    reader.readByte();
    const std::uint32_t length = reader.readVariableLength();
    const std::size_t bodyStart = reader.position();
    reader.skip(length);
    return {bodyStart, length};
}

std::size_t EndInTrack(const TrackReader& reader)
{
    return std::min(reader.position(), reader.end());
}

} // namespace

// F0 05 7E 7F 09 01 F7 -> Description "SysEx (Universal Non-Real-Time Sysex)",
//                         Value "Turn General MIDI System ON"
Row ReadSystemExclusive(TrackReader& reader, const EventStart& event)
{
    const LengthPrefixed sysex = SkipLengthPrefixed(reader);
    const ByteSpan identification = reader.bytesFrom(sysex.bodyStart, 3);
    const ByteSpan body = reader.bytesFrom(sysex.bodyStart, sysex.declaredLength);
    Row row = EventRow(event, RowKind::SystemExclusive, EndInTrack(reader));
    row.detail = static_cast<std::uint16_t>(ManufacturerIndex(identification) |
                                            KnownMessageIndex(body) << 8);
    return row;
}

// F7 02 F8 F8 -> Description "SysEx F7", Value empty
Row ReadSysExEscape(TrackReader& reader, const EventStart& event)
{
    SkipLengthPrefixed(reader);
    return EventRow(event, RowKind::SysExEscape, EndInTrack(reader));
}

namespace {

// The maker's name in brackets, by its 1-based index into kManufacturers: nothing for 0.
void AppendManufacturerName(TextCursor& out, unsigned maker)
{
    if (maker != 0) {
        out += '(';
        out += kManufacturers[maker - 1].name;
        out += ')';
    }
}

std::string_view KnownMessageName(unsigned message)
{
    return message == 0 ? std::string_view() : kKnownSysExMessages[message - 1].name;
}

} // namespace

std::string ManufacturerName(ByteSpan identification)
{
    const unsigned maker = ManufacturerIndex(identification);
    return WrittenText(kLongestWord + 2,
                       [maker](TextCursor& out) { AppendManufacturerName(out, maker); });
}

std::string_view SysExMessageName(ByteSpan body)
{
    return KnownMessageName(KnownMessageIndex(body));
}

void AppendSystemExclusiveDescription(TextCursor& out, const Row& row)
{
    if (row.kind == RowKind::SysExEscape) {
        out += "SysEx F7";
        return;
    }
    out += "SysEx ";
    AppendManufacturerName(out, row.detail & 0xFFu);
}

void AppendSystemExclusiveValue(TextCursor& out, const Row& row)
{
    if (row.kind == RowKind::SystemExclusive) {
        out += KnownMessageName(row.detail >> 8);
    }
}

} // namespace tracklens
