#include "engine/Vocabulary.h"

#include <algorithm>

using namespace std::string_view_literals;

namespace tracklens {

// Controllers without a name stay as empty entries, one line each, so the table has no gaps.
constexpr std::array<std::string_view, 128> kControllerNames = {
    "Bank Select",                                  // 0
    "Modulation",                                   // 1
    "Breath Controller",                            // 2
    "",                                             // 3
    "Foot Controller",                              // 4
    "Portamento Time",                              // 5
    "Data Entry MSB",                               // 6
    "Channel Volume",                               // 7
    "Balance",                                      // 8
    "",                                             // 9
    "Pan",                                          // 10
    "Expression",                                   // 11
    "Effect Control 1",                             // 12
    "Effect Control 2",                             // 13
    "",                                             // 14
    "",                                             // 15
    "General Purpose Controller 1",                 // 16
    "General Purpose Controller 2",                 // 17
    "General Purpose Controller 3",                 // 18
    "General Purpose Controller 4",                 // 19
    "",                                             // 20
    "",                                             // 21
    "",                                             // 22
    "",                                             // 23
    "",                                             // 24
    "",                                             // 25
    "",                                             // 26
    "",                                             // 27
    "",                                             // 28
    "",                                             // 29
    "",                                             // 30
    "",                                             // 31
    "LSB for Bank Select",                          // 32
    "LSB for Modulation",                           // 33
    "LSB for Breath Controller",                    // 34
    "",                                             // 35
    "LSB for Foot Controller",                      // 36
    "LSB for Portamento Time",                      // 37
    "LSB for Data Entry",                           // 38
    "LSB for Channel Volume",                       // 39
    "LSB for Balance",                              // 40
    "",                                             // 41
    "LSB for Pan",                                  // 42
    "LSB for Expression",                           // 43
    "LSB for Effect Control 1",                     // 44
    "LSB for Effect Control 2",                     // 45
    "",                                             // 46
    "",                                             // 47
    "LSB for General Purpose Controller 1",         // 48
    "LSB for General Purpose Controller 2",         // 49
    "LSB for General Purpose Controller 3",         // 50
    "LSB for General Purpose Controller 4",         // 51
    "",                                             // 52
    "",                                             // 53
    "",                                             // 54
    "",                                             // 55
    "",                                             // 56
    "",                                             // 57
    "",                                             // 58
    "",                                             // 59
    "",                                             // 60
    "",                                             // 61
    "",                                             // 62
    "",                                             // 63
    "Sustain On/Off",                               // 64
    "Portamento On/Off",                            // 65
    "Sostenuto On/Off",                             // 66
    "Soft Pedal On/Off",                            // 67
    "Legato Footswitch",                            // 68
    "Hold 2",                                       // 69
    "Sound Ctr.1 (Timbre Variation)",               // 70
    "Filter Resonance (Timbre/Harmonic Intensity)", // 71
    "Release Time",                                 // 72
    "Attack Time",                                  // 73
    "Brigthness",                                   // 74
    "Decay Time",                                   // 75
    "Vibrato Rate",                                 // 76
    "Vibrato Depth",                                // 77
    "Vibrato Delay",                                // 78
    "",                                             // 79
    "General Purpose Controller 5",                 // 80
    "General Purpose Controller 6",                 // 81
    "General Purpose Controller 7",                 // 82
    "General Purpose Controller 8",                 // 83
    "Portamento Control",                           // 84
    "",                                             // 85
    "",                                             // 86
    "",                                             // 87
    "",                                             // 88
    "",                                             // 89
    "",                                             // 90
    "Reverbero Sound Level",                        // 91
    "Tremolo Sound Level",                          // 92
    "Chorus Sound Level",                           // 93
    "Celeste Depth",                                // 94
    "Phaser Sound Level",                           // 95
    "Data Increment",                               // 96
    "Data Decrement",                               // 97
    "NRPN LSB",                                     // 98
    "NRPN MSB",                                     // 99
    "RPN LSB",                                      // 100
    "RPN MSB",                                      // 101
    "",                                             // 102
    "",                                             // 103
    "",                                             // 104
    "",                                             // 105
    "",                                             // 106
    "",                                             // 107
    "",                                             // 108
    "",                                             // 109
    "",                                             // 110
    "",                                             // 111
    "",                                             // 112
    "",                                             // 113
    "",                                             // 114
    "",                                             // 115
    "",                                             // 116
    "",                                             // 117
    "",                                             // 118
    "",                                             // 119
    "All Sound Off",                                // 120
    "Reset All Controllers",                        // 121
    "LOcal Control On/Off",                         // 122
    "All Notes Off",                                // 123
    "Omni MOde Off",                                // 124
    "Omni MOde On",                                 // 125
    "Poly Mode On/Off",                             // 126
    "Poly MOde On",                                 // 127
};

// The General MIDI sound set, by the program number stored in the file (0 to 127).
constexpr std::array<std::string_view, 128> kProgramNames = {
    "Acoustic Grand",
    "Bright Acoustic",
    "Electric Grand",
    "Honky-Tonk",
    "Electric Piano 1",
    "Electric Piano 2",
    "Harpsichord",
    "Clavinet",
    "Celesta",
    "Glockenspiel",
    "Music Box",
    "Vibraphone",
    "Marimba",
    "Xylophone",
    "Tubular Bells",
    "Dulcimer",
    "Drawbar Organ",
    "Percussive Organ",
    "Rock Organ",
    "Church Organ",
    "Reed Organ",
    "Accoridan",
    "Harmonica",
    "Tango Accordian",
    "Nylon String Guitar",
    "Steel String Guitar",
    "Electric Jazz Guitar",
    "Electric Clean Guitar",
    "Electric Muted Guitar",
    "Overdriven Guitar",
    "Distortion Guitar",
    "Guitar Harmonics",
    "Acoustic Bass",
    "Electric Bass (Finger)",
    "Electric Bass (Picked)",
    "Fretless Bass",
    "Slap Bass 1",
    "Slap Bass 2",
    "Synth Bass 1",
    "Synth Bass 2",
    "Violin",
    "Viola",
    "Cello",
    "Contrabass",
    "Tremolo Strings",
    "Pizzicato Strings",
    "Orchestral Strings",
    "Timpani",
    "String Ensemble 1",
    "String Ensemble 2",
    "SynthStrings 1",
    "SynthStrings 2",
    "Choir Aahs",
    "Voice Oohs",
    "Synth Voice",
    "Orchestra Hit",
    "Trumpet",
    "Trombone",
    "Tuba",
    "Muted Trumpet",
    "French Horn",
    "Brass Section",
    "SynthBrass 1",
    "SynthBrass 2",
    "Soprano Sax",
    "Alto Sax",
    "Tenor Sax",
    "Baritone Sax",
    "Oboe",
    "English Horn",
    "Bassoon",
    "Clarinet",
    "Piccolo",
    "Flute",
    "Recorder",
    "Pan Flute",
    "Blown Bottle",
    "Skakuhachi",
    "Whistle",
    "Ocarina",
    "Lead 1 (Square)",
    "Lead 2 (Sawtooth)",
    "Lead 3 (Calliope)",
    "Lead 4 (Chiff)",
    "Lead 5 (Charang)",
    "Lead 6 (Voice)",
    "Lead 7 (Fifths)",
    "Lead 8 (Bass&Lead)",
    "Pad 1 (New Age)",
    "Pad 2 (Warm)",
    "Pad 3 (Polysynth)",
    "Pad 4 (Choir)",
    "Pad 5 (Bowed)",
    "Pad 6 (Metallic)",
    "Pad 7 (Halo)",
    "Pad 8 (Sweep)",
    "FX 1 (Rain)",
    "FX 2 (Soundtrack)",
    "FX 3 (Crystal)",
    "FX 4 (Atmosphere)",
    "FX 5 (Brightness)",
    "FX 6 (Goblin)",
    "FX 7 (Echoes)",
    "FX 8 (Sci-Fi)",
    "Sitar",
    "Banjo",
    "Shamisen",
    "Koto",
    "Kalimba",
    "Bagpipe",
    "Fiddle",
    "Shanai",
    "Tinkle Bell",
    "Agogo",
    "Steel Drums",
    "Woodblock",
    "Taiko Drum",
    "Melodic Tom",
    "Synth Drum",
    "Reverse Cymbal",
    "Guitar FretNoise",
    "Breath Noise",
    "Seashore",
    "Bird Tweet",
    "Telephone Ring",
    "Helicopter",
    "Applause",
    "Gunshot",
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

constexpr std::array<KnownSysExMessage, 4> kKnownSysExMessages = {{
    {"\x41\x10\x42\x12\x40\x00\x7F\x00\x41\xF7"sv, "GS Reset"},
    {"\x7E\x7F\x09\x01\xF7"sv, "Turn General MIDI System ON"},
    {"\x41\x10\x42\x12\x40\x00\x7F\x7F\x42\xF7"sv, "Exit GS Mode"},
    {"\x7E\x7F\x09\x02\xF7"sv, "Turn General MIDI System OFF"},
}};

// Indexed by the low four bits of the status.
constexpr std::array<SystemMessageKind, 16> kSystemMessages = {{
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

namespace {

// Major keys by their count of sharps, 0 to 7, and of flats, 1 to 7.
constexpr std::array<std::string_view, 8> kSharpKeys = {"DO", "SOL", "RE",  "LA",
                                                        "MI", "SI",  "FA#", "DO#"};
constexpr std::array<std::string_view, 7> kFlatKeys = {"FA",  "SIb",  "MIb", "LAb",
                                                       "REb", "SOLb", "DOb"};

constexpr std::array<std::string_view, 256> BuildKeyNames()
{
    std::array<std::string_view, 256> names{};
    for (std::size_t i = 0; i < kSharpKeys.size(); ++i) {
        names[i] = kSharpKeys[i];
    }
    for (std::size_t i = 0; i < kFlatKeys.size(); ++i) {
        names[255 - i] = kFlatKeys[i];
    }
    return names;
}

} // namespace

constexpr std::array<std::string_view, 256> kKeyNames = BuildKeyNames();

namespace {

template <typename Table, typename NameOf>
constexpr std::size_t LongestOf(const Table& table, NameOf nameOf)
{
    std::size_t longest = 0;
    for (const auto& entry : table) {
        longest = std::max(longest, nameOf(entry).size());
    }
    return longest;
}

constexpr auto kItself = [](std::string_view name) {
    return name;
};
constexpr auto kName = [](const auto& entry) {
    return entry.name;
};

// The program's own words never hold what a format escapes: a control character, a backslash or
// a double quote.
template <typename Table, typename NameOf>
constexpr bool NeedNoEscape(const Table& table, NameOf nameOf)
{
    for (const auto& entry : table) {
        for (const char c : nameOf(entry)) {
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F || c == '\\' || c == '"') {
                return false;
            }
        }
    }
    return true;
}

static_assert(NeedNoEscape(kControllerNames, kItself) && NeedNoEscape(kProgramNames, kItself) &&
              NeedNoEscape(kManufacturers, kName) && NeedNoEscape(kKnownSysExMessages, kName) &&
              NeedNoEscape(kMetaSignatures, kName) && NeedNoEscape(kSystemMessages, kName));

// Nor does a channel message's: its names hold no comma either, so that a CSV line of one never
// needs quotes.
constexpr bool HoldNoComma(const std::array<std::string_view, 128>& names)
{
    for (const std::string_view name : names) {
        if (name.find(',') != std::string_view::npos) {
            return false;
        }
    }
    return true;
}

static_assert(HoldNoComma(kControllerNames) && HoldNoComma(kProgramNames));

constexpr std::array<NamePiece, 128> PiecesOf(const std::array<std::string_view, 128>& names)
{
    std::array<NamePiece, 128> pieces{};
    for (std::size_t i = 0; i < names.size(); ++i) {
        std::copy(names[i].begin(), names[i].end(), pieces[i].characters.begin());
        pieces[i].size = names[i].size();
    }
    return pieces;
}

} // namespace

static_assert(LongestOf(kControllerNames, kItself) <= kNamePieceWidth &&
              LongestOf(kProgramNames, kItself) <= kNamePieceWidth);
constexpr std::array<NamePiece, 128> kControllerNamePieces = PiecesOf(kControllerNames);
constexpr std::array<NamePiece, 128> kProgramNamePieces = PiecesOf(kProgramNames);

constexpr std::size_t kLongestWord =
    std::max({LongestOf(kNoteNames, kItself), LongestOf(kMetaSignatures, kName),
              LongestOf(kControllerNames, kItself), LongestOf(kProgramNames, kItself),
              LongestOf(kManufacturers, kName), LongestOf(kKnownSysExMessages, kName),
              LongestOf(kSystemMessages, kName), LongestOf(kSharpKeys, kItself),
              LongestOf(kFlatKeys, kItself)});

} // namespace tracklens
