#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tracklens {

// The names with which a listing speaks of what it finds. They never change, so they are
// compile-time data; spellings are part of the output and are kept exactly.

inline constexpr std::array<std::uint8_t, 4> kTrackTag = {'M', 'T', 'r', 'k'};
inline constexpr std::array<std::uint8_t, 4> kHeaderTag = {'M', 'T', 'h', 'd'};
// A Standard MIDI File inside a RIFF container: "RIFF", a length, the form "RMID", then chunks,
// the file itself in the one tagged "data".
inline constexpr std::array<std::uint8_t, 4> kRiffTag = {'R', 'I', 'F', 'F'};
inline constexpr std::array<std::uint8_t, 4> kRmidForm = {'R', 'M', 'I', 'D'};
inline constexpr std::array<std::uint8_t, 4> kRiffDataTag = {'d', 'a', 't', 'a'};

inline constexpr std::array<std::string_view, 12> kNoteNames = {
    "Do", "Do#", "Re", "Re#", "Mi", "Fa", "Fa#", "Sol", "Sol#", "La", "La#", "Si",
};

// The meta events that are known, in the order they are recognised.
struct MetaSignature {
    std::uint8_t status;
    std::uint8_t type;
    std::string_view name;
};

inline constexpr std::array<MetaSignature, 16> kMetaSignatures = {{
    {0xFF, 0x2F, "End of Track"},
    {0xFF, 0x00, "Sequence ID"},
    {0xFF, 0x01, "Text"},
    {0xFF, 0x02, "Copyright"},
    {0xFF, 0x03, "Track Name"},
    {0xFF, 0x04, "Instrument Text"},
    {0xFF, 0x05, "Lyric Text"},
    {0xFF, 0x06, "Marker"},
    {0xFF, 0x07, "Cue Point"},
    {0xFF, 0x20, "Midi Channel"},
    {0xFF, 0x21, "Midi Port"},
    {0xFF, 0x51, "Set Tempo"},
    {0xFF, 0x54, "SMPTE Offset"},
    {0xFF, 0x58, "Time Signature"},
    {0xFF, 0x59, "Key Signature"},
    {0xFF, 0x7F, "Proprietary"},
}};

extern const std::array<std::string_view, 128> kControllerNames;
extern const std::array<std::string_view, 128> kProgramNames;

// The same names in pieces of a fixed width, which a line copies whole: one copy of a known size
// costs less than one of a size known only when it runs. The room a name is written in must hold
// kNamePieceWidth characters.
inline constexpr std::size_t kNamePieceWidth = 48;
struct NamePiece {
    std::array<char, kNamePieceWidth> characters;
    std::size_t size;
};
extern const std::array<NamePiece, 128> kControllerNamePieces;
extern const std::array<NamePiece, 128> kProgramNamePieces;

// The makers of SysEx messages by their identification: one byte, or 00 and two more.
struct Manufacturer {
    std::array<std::uint8_t, 3> id; // one-byte identifications use the first byte only
    std::string_view name;
};

extern const std::array<Manufacturer, 68> kManufacturers;

// SysEx messages recognised by their whole body, the bytes after the length.
struct KnownSysExMessage {
    std::string_view bytes;
    std::string_view name;
};

extern const std::array<KnownSysExMessage, 4> kKnownSysExMessages;

// The system common and real-time messages, indexed by the low four bits of the status.
struct SystemMessageKind {
    std::uint8_t byteCount; // status included; 0 for a status that is not listed
    std::string_view name;
};

extern const std::array<SystemMessageKind, 16> kSystemMessages;

// Major keys by the signed count of sharps (0 to 7) or flats (255 down to 249), as a byte.
extern const std::array<std::string_view, 256> kKeyNames;

// No word of these tables is longer: the writers of the listing reserve room by it.
extern const std::size_t kLongestWord;

} // namespace tracklens
