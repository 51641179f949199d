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

// No controller or program name is longer: the listing's writers count on it for room.
inline constexpr std::size_t kLongestTableName = 48;

} // namespace tracklens
