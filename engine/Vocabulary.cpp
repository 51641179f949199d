#include "engine/Vocabulary.h"

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

namespace {

constexpr bool NoNameLongerThan(const std::array<std::string_view, 128>& names, std::size_t longest)
{
    for (const std::string_view name : names) {
        if (name.size() > longest) {
            return false;
        }
    }
    return true;
}

static_assert(NoNameLongerThan(kControllerNames, kLongestTableName));
static_assert(NoNameLongerThan(kProgramNames, kLongestTableName));

} // namespace

} // namespace tracklens
