#include "engine/SystemExclusive.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace tracklens {

namespace {

using namespace std::string_view_literals;

struct Manufacturer {
    std::array<std::uint8_t, 3> id; // one-byte identifications use the first byte only
    std::string_view name;
};

constexpr std::array<Manufacturer, 68> kManufacturers = {{
    {{0x01}, "Sequential Circuits"},
    {{0x02}, "Big Briar"},
    {{0x03}, "Octave/Plateau"},
    {{0x04}, "Moog"},
    {{0x05}, "Passport Designs"},
    {{0x06}, "Lexicon"},
    {{0x07}, "Kurzweil"},
    {{0x08}, "Fender"},
    {{0x09}, "Gulbransen"},
    {{0x0A}, "Delta Labs"},
    {{0x0B}, "Sound Comp."},
    {{0x0C}, "General Electro"},
    {{0x0D}, "Techmar"},
    {{0x0E}, "Matthews Research"},
    {{0x10}, "Oberheim"},
    {{0x11}, "PAIA"},
    {{0x12}, "Simmons"},
    {{0x13}, "DigiDesign"},
    {{0x14}, "Fairlight"},
    {{0x15}, "JL Cooper"},
    {{0x16}, "Lowery"},
    {{0x17}, "Lin"},
    {{0x18}, "Emu"},
    {{0x1B}, "Peavey"},
    {{0x20}, "Bontempi"},
    {{0x21}, "SIEL"},
    {{0x23}, "SyntheAxe"},
    {{0x24}, "Hohner"},
    {{0x25}, "Crumar"},
    {{0x26}, "Solton"},
    {{0x27}, "Jellinghaus Ms"},
    {{0x28}, "CTS"},
    {{0x29}, "PPG"},
    {{0x2F}, "Elka/General Music"},
    {{0x36}, "Cheetah"},
    {{0x40}, "Kawai"},
    {{0x41}, "Roland"},
    {{0x42}, "Korg"},
    {{0x43}, "Yamaha"},
    {{0x44}, "Casio"},
    {{0x45}, "Akai"},
    {{0x7D}, "Universal Non-Commercial Sysex"},
    {{0x7E}, "Universal Non-Real-Time Sysex"},
    {{0x7F}, "Universal Real-Time Sysex"},
    {{0x00, 0x00, 0x07}, "Digital Music Corp."},
    {{0x00, 0x00, 0x08}, "Iota System"},
    {{0x00, 0x00, 0x09}, "Artisyn"},
    {{0x00, 0x00, 0x0B}, "IVL Technologies"},
    {{0x00, 0x00, 0x0C}, "Southern Music System"},
    {{0x00, 0x00, 0x0D}, "Lake Butler Sound"},
    {{0x00, 0x00, 0x0E}, "Alesis"},
    {{0x00, 0x00, 0x10}, "DOD Electronics"},
    {{0x00, 0x00, 0x14}, "Perfect Fretworks"},
    {{0x00, 0x00, 0x15}, "KAT"},
    {{0x00, 0x00, 0x16}, "Opcode"},
    {{0x00, 0x00, 0x17}, "Rane"},
    {{0x00, 0x00, 0x18}, "Spatial Sound"},
    {{0x00, 0x00, 0x19}, "KMX"},
    {{0x00, 0x00, 0x1A}, "Allen & Heath Brennel"},
    {{0x00, 0x00, 0x1B}, "Peavey Electronics"},
    {{0x00, 0x00, 0x1C}, "360 System"},
    {{0x00, 0x00, 0x20}, "Axxes"},
    {{0x00, 0x00, 0x21}, "Orban"},
    {{0x00, 0x00, 0x25}, "Breakway Technologies"},
    {{0x00, 0x00, 0x26}, "CAE"},
    {{0x00, 0x00, 0x2B}, "Cannon Research Corp."},
    {{0x00, 0x00, 0x3E}, "NSI Corporation"},
    {{0x00, 0x00, 0x64}, "Musonix"},
}};

struct KnownMessage {
    std::string_view bytes; // the body after the length, compared whole
    std::string_view name;
};

constexpr std::array<KnownMessage, 4> kKnownMessages = {{
    {"\x41\x10\x42\x12\x40\x00\x7F\x00\x41\xF7"sv, "GS Reset"},
    {"\x7E\x7F\x09\x01\xF7"sv, "Turn General MIDI System ON"},
    {"\x41\x10\x42\x12\x40\x00\x7F\x7F\x42\xF7"sv, "Exit GS Mode"},
    {"\x7E\x7F\x09\x02\xF7"sv, "Turn General MIDI System OFF"},
}};

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

// 1-based index into kKnownMessages, 0 for any other message.
std::uint8_t KnownMessageIndex(ByteSpan body)
{
    for (std::size_t i = 0; i < kKnownMessages.size(); ++i) {
        const std::string_view known = kKnownMessages[i].bytes;
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

std::string ManufacturerName(ByteSpan identification)
{
    const std::uint8_t index = ManufacturerIndex(identification);
    if (index == 0) {
        return {};
    }
    return "(" + std::string(kManufacturers[index - 1u].name) + ")";
}

std::string_view SysExMessageName(ByteSpan body)
{
    const std::uint8_t index = KnownMessageIndex(body);
    return index == 0 ? std::string_view() : kKnownMessages[index - 1u].name;
}

void AppendSystemExclusiveDescription(std::string& out, const Row& row)
{
    if (row.kind == RowKind::SysExEscape) {
        out += "SysEx F7";
        return;
    }
    out += "SysEx ";
    const unsigned maker = row.detail & 0xFFu;
    if (maker != 0) {
        out += '(';
        out += kManufacturers[maker - 1].name;
        out += ')';
    }
}

void AppendSystemExclusiveValue(std::string& out, const Row& row)
{
    const unsigned message = row.detail >> 8;
    if (row.kind == RowKind::SystemExclusive && message != 0) {
        out += kKnownMessages[message - 1].name;
    }
}

} // namespace tracklens
