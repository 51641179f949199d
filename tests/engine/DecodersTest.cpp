// Each message family: the bytes of events in a track and the six texts of their rows. An End of
// Track is put after every case, so a decoder that reads too few or too many bytes shows.

#include <gtest/gtest.h>

#include "tests/support/Listing.h"

namespace tracklens::testing {
namespace {

struct EventCase {
    const char* track;          // the events in hexadecimal, delta times included
    std::vector<RowTexts> rows; // one per event, in order
};

void PrintTo(const EventCase& c, std::ostream* out)
{
    *out << c.track;
}

std::string EventCaseName(const ::testing::TestParamInfo<EventCase>& info)
{
    return TestName(std::to_string(info.index) + " " + info.param.rows.back()[4]);
}

class Decoders : public ::testing::TestWithParam<EventCase> {};

TEST_P(Decoders, ListEveryEventWithItsTexts)
{
    const EventCase& c = GetParam();
    const Listing listing = List(Smf({Concat({Hex(c.track), kEndOfTrack})}));
    ASSERT_TRUE(listing.outcome.complete()) << MessageFor(listing.outcome).text;
    std::vector<RowTexts> expected = c.rows;
    expected.push_back({expected.back()[0], "00", "FF2F00", "", "End of Track", ""});
    EXPECT_EQ(std::vector<RowTexts>(listing.rows.begin() + kFirstEventRow, listing.rows.end()),
              expected);
}

using C = EventCase;

INSTANTIATE_TEST_SUITE_P(
    ChannelVoice, Decoders,
    ::testing::Values(
        C{"00 903C64 00 3C00",
          {{"0", "00", "903C64", "1", "NotaON", "Do5 - 100"},
           {"0", "00", "903C00", "1", "+NotaOFF", "Do5"}}},
        C{"00 803C40", {{"0", "00", "803C40", "1", "NotaOFF", "Do5 - 64"}}},
        C{"00 803C00", {{"0", "00", "803C00", "1", "NotaOFF", "Do5"}}},
        C{"00 A03C00", {{"0", "00", "A03C00", "1", "Key Aftertouch", "Do5 - 0"}}},
        C{"00 9F007F", {{"0", "00", "9F007F", "16", "NotaON", "Do0 - 127"}}},
        C{"00 B00764", {{"0", "00", "B00764", "1", "Control", "7:Channel Volume - 100"}}},
        C{"00 B3407F", {{"0", "00", "B3407F", "4", "Control", "64:Sustain On/Off - 127"}}},
        C{"00 B00340", {{"0", "00", "B00340", "1", "Control", "3: - 64"}}},
        C{"00 B07700", {{"0", "00", "B07700", "1", "Control", "119: - 0"}}},
        C{"00 B04A01", {{"0", "00", "B04A01", "1", "Control", "74:Brigthness - 1"}}},
        C{"00 B07800 00 7A7F 00 7F00",
          {{"0", "00", "B07800", "1", "Control", "120:All Sound Off - 0"},
           {"0", "00", "B07A7F", "1", "+Control", "122:LOcal Control On/Off - 127"},
           {"0", "00", "B07F00", "1", "+Control", "127:Poly MOde On - 0"}}},
        C{"00 C000", {{"0", "00", "C000", "1", "Patch", "0:Acoustic Grand"}}},
        C{"00 C518 00 15",
          {{"0", "00", "C518", "6", "Patch", "24:Nylon String Guitar"},
           {"0", "00", "C515", "6", "+Patch", "21:Accoridan"}}},
        C{"00 C07F", {{"0", "00", "C07F", "1", "Patch", "127:Gunshot"}}},
        C{"00 D050 00 60",
          {{"0", "00", "D050", "1", "Ch. Aftertouch", "80"},
           {"0", "00", "D060", "1", "+Ch. Aftertouch", "96"}}},
        C{"00 E00040", {{"0", "00", "E00040", "1", "Pitch Bend", "Wheel 0"}}},
        C{"00 E00000", {{"0", "00", "E00000", "1", "Pitch Bend", "Wheel -8192"}}},
        C{"00 E07F7F", {{"0", "00", "E07F7F", "1", "Pitch Bend", "Wheel 8191"}}},
        C{"00 E00060", {{"0", "00", "E00060", "1", "Pitch Bend", "Wheel 4096"}}},
        C{"00 E00140", {{"0", "00", "E00140", "1", "Pitch Bend", "Wheel 1"}}},
        C{"00 E081C0", {{"0", "00", "E081C0", "1", "Pitch Bend", "Wheel 1"}}},
        // Data bytes with their top bit set are taken as they are.
        C{"00 908CC8", {{"0", "00", "908CC8", "1", "NotaON", "Sol#11 - 200"}}},
        C{"8140 903C64", {{"192", "8140", "903C64", "1", "NotaON", "Do5 - 100"}}}),
    EventCaseName);

INSTANTIATE_TEST_SUITE_P(
    SystemExclusive, Decoders,
    ::testing::Values(
        C{"00 F00A4110421240007F0041F7",
          {{"0", "00", "F00A4110421240007F0041F7", "", "SysEx (Roland)", "GS Reset"}}},
        C{"00 F00A4110421240007F7F42F7",
          {{"0", "00", "F00A4110421240007F7F42F7", "", "SysEx (Roland)", "Exit GS Mode"}}},
        // The length 80 0A is 10: both length bytes are left out when the message is named.
        C{"00 F0800A4110421240007F0041F7",
          {{"0", "00", "F0800A4110421240007F0041F7", "", "SysEx (Roland)", "GS Reset"}}},
        C{"00 F0057E7F0901F7",
          {{"0", "00", "F0057E7F0901F7", "", "SysEx (Universal Non-Real-Time Sysex)",
            "Turn General MIDI System ON"}}},
        C{"00 F0057E7F0902F7",
          {{"0", "00", "F0057E7F0902F7", "", "SysEx (Universal Non-Real-Time Sysex)",
            "Turn General MIDI System OFF"}}},
        C{"00 F0057E100901F7",
          {{"0", "00", "F0057E100901F7", "", "SysEx (Universal Non-Real-Time Sysex)", ""}}},
        C{"00 F0067E7F090100F7",
          {{"0", "00", "F0067E7F090100F7", "", "SysEx (Universal Non-Real-Time Sysex)", ""}}},
        C{"00 F0034310F7", {{"0", "00", "F0034310F7", "", "SysEx (Yamaha)", ""}}},
        C{"00 F0027FF7", {{"0", "00", "F0027FF7", "", "SysEx (Universal Real-Time Sysex)", ""}}},
        C{"00 F00400000EF7", {{"0", "00", "F00400000EF7", "", "SysEx (Alesis)", ""}}},
        C{"00 F00400001AF7",
          {{"0", "00", "F00400001AF7", "", "SysEx (Allen & Heath Brennel)", ""}}},
        C{"00 F00400000FF7", {{"0", "00", "F00400000FF7", "", "SysEx ", ""}}},
        C{"00 F004004110F7", {{"0", "00", "F004004110F7", "", "SysEx ", ""}}},
        C{"00 F00266F7", {{"0", "00", "F00266F7", "", "SysEx ", ""}}},
        // With no body the maker is read from the bytes after the length: the next event's.
        C{"00 F000 43 F8",
          {{"0", "00", "F000", "", "SysEx (Yamaha)", ""},
           {"67", "43", "F8", "", "Timing Clock", ""}}},
        C{"00 F702F8FA", {{"0", "00", "F702F8FA", "", "SysEx F7", ""}}},
        C{"00 F700", {{"0", "00", "F700", "", "SysEx F7", ""}}}),
    EventCaseName);

INSTANTIATE_TEST_SUITE_P(
    SystemMessages, Decoders,
    ::testing::Values(C{"00 F123", {{"0", "00", "F123", "", "Quarter Frame", "35"}}},
                      C{"00 F21002", {{"0", "00", "F21002", "", "SongPosPointer", "2 16"}}},
                      C{"00 F20000", {{"0", "00", "F20000", "", "SongPosPointer", "0 0"}}},
                      C{"00 F305", {{"0", "00", "F305", "", "Song Select", "Song n. 5"}}},
                      C{"00 F6 00 F8 00 FA 00 FB 00 FC 00 FE",
                        {{"0", "00", "F6", "", "Tune Request", ""},
                         {"0", "00", "F8", "", "Timing Clock", ""},
                         {"0", "00", "FA", "", "Start", ""},
                         {"0", "00", "FB", "", "Continue", ""},
                         {"0", "00", "FC", "", "Stop", ""},
                         {"0", "00", "FE", "", "Active Sensing", ""}}}),
    EventCaseName);

INSTANTIATE_TEST_SUITE_P(
    MetaEvents, Decoders,
    ::testing::Values(
        C{"00 FF2F00", {{"0", "00", "FF2F00", "", "End of Track", ""}}},
        C{"00 FF510307A120", {{"0", "00", "FF510307A120", "", "Set Tempo", "120"}}},
        C{"00 FF51030927C0", {{"0", "00", "FF51030927C0", "", "Set Tempo", "100"}}},
        C{"00 FF510307A121", {{"0", "00", "FF510307A121", "", "Set Tempo", "120"}}},
        C{"00 FF510307B4A8", {{"0", "00", "FF510307B4A8", "", "Set Tempo", "118"}}},
        C{"00 FF510207A1", {{"0", "00", "FF510207A1", "", "Set Tempo", "30722"}}},
        C{"00 FF51040007A120", {{"0", "00", "FF51040007A120", "", "Set Tempo", "30722"}}},
        C{"00 FF580404021808",
          {{"0", "00", "FF580404021808", "", "Time Signature", "4/4  (Ticks 24, 8/32nd)"}}},
        C{"00 FF580406032408",
          {{"0", "00", "FF580406032408", "", "Time Signature", "6/8  (Ticks 36, 8/32nd)"}}},
        C{"00 FF580404061808",
          {{"0", "00", "FF580404061808", "", "Time Signature", "4/0  (Ticks 24, 8/32nd)"}}},
        C{"00 FF5902FF01 00 FF59020800 00 FF5902FD01 00 FF59020200",
          {{"0", "00", "FF5902FF01", "", "Key Signature", "FA-"},
           {"0", "00", "FF59020800", "", "Key Signature", "+"},
           {"0", "00", "FF5902FD01", "", "Key Signature", "MIb-"},
           {"0", "00", "FF59020200", "", "Key Signature", "RE+"}}},
        C{"00 FF00020100", {{"0", "00", "FF00020100", "", "Sequence ID", "256"}}},
        C{"00 FF0002FFFF", {{"0", "00", "FF0002FFFF", "", "Sequence ID", "65535"}}},
        C{"00 FF010161 00 FF020162 00 FF0300 00 FF040164 00 FF05026C61 00 FF060166 00 FF070167",
          {{"0", "00", "FF010161", "", "Text", "a"},
           {"0", "00", "FF020162", "", "Copyright", "b"},
           {"0", "00", "FF0300", "", "Track Name", ""},
           {"0", "00", "FF040164", "", "Instrument Text", "d"},
           {"0", "00", "FF05026C61", "", "Lyric Text", "la"},
           {"0", "00", "FF060166", "", "Marker", "f"},
           {"0", "00", "FF070167", "", "Cue Point", "g"}}},
        // A length is a variable-length quantity: 80 02 is 2.
        C{"00 FF0180026F6B", {{"0", "00", "FF0180026F6B", "", "Text", "ok"}}},
        C{"00 FF01058081E89FFF",
          {{"0", "00", "FF01058081E89FFF", "", "Text",
            "\xE2\x82\xAC\xC2\x81\xC3\xA8\xC5\xB8\xC3\xBF"}}},
        C{"00 FF20010F", {{"0", "00", "FF20010F", "", "Midi Channel", "15"}}},
        C{"00 FF210100", {{"0", "00", "FF210100", "", "Midi Port", "0"}}},
        C{"00 FF54056001020304",
          {{"0", "00", "FF54056001020304", "", "SMPTE Offset", "96:1:2:3:4"}}},
        C{"00 FF7F020041", {{"0", "00", "FF7F020041", "", "Proprietary", ""}}},
        C{"00 FF0802506E 00 FF090144",
          {{"0", "00", "FF0802506E", "", "Program Name", "Pn"},
           {"0", "00", "FF090144", "", "Device Name", "D"}}},
        // Other types name their type and keep nothing of the rows before them.
        C{"00 FF510307A120 00 FF4B0107 00 FF0A00",
          {{"0", "00", "FF510307A120", "", "Set Tempo", "120"},
           {"0", "00", "FF4B0107", "", "Meta 4B", ""},
           {"0", "00", "FF0A00", "", "Meta 0A", ""}}},
        C{"00 903C40 00 FF0600 10 3C00",
          {{"0", "00", "903C40", "1", "NotaON", "Do5 - 64"},
           {"0", "00", "FF0600", "", "Marker", ""},
           {"16", "10", "903C00", "1", "+NotaOFF", "Do5"}}}),
    EventCaseName);

// Events longer than one length byte can say, listed whole: 81 00 is 128, 82 B8 40 is 40000.
TEST(LongEvents, AreListedWholeAndTheWalkGoesOnAfterThem)
{
    Bytes text = Hex("00 FF01 8100");
    text.insert(text.end(), 128, 'x');
    Bytes sysex = Hex("00 F0 82B840 4310");
    sysex.insert(sysex.end(), 40000 - 3, 0x01);
    sysex.push_back(0xF7);
    const Listing listing = List(Smf({Concat({text, sysex, kEndOfTrack})}));
    ASSERT_TRUE(listing.outcome.complete()) << MessageFor(listing.outcome).text;
    ASSERT_EQ(listing.rows.size(), kFirstEventRow + 3);
    std::string textEvent = "FF018100";
    for (int i = 0; i < 128; ++i) {
        textEvent += "78";
    }
    EXPECT_EQ(listing.rows[kFirstEventRow][2], textEvent);
    EXPECT_EQ(listing.rows[kFirstEventRow][5], std::string(128, 'x'));
    const std::string& sysexEvent = listing.rows[kFirstEventRow + 1][2];
    EXPECT_EQ(sysexEvent.size(), 2u * (1 + 3 + 40000));
    EXPECT_EQ(sysexEvent.substr(0, 14), "F082B840431001");
    EXPECT_EQ(sysexEvent.substr(sysexEvent.size() - 4), "01F7");
    EXPECT_EQ(listing.rows[kFirstEventRow + 1][4], "SysEx (Yamaha)");
    EXPECT_EQ(listing.rows.back()[4], "End of Track");
}

} // namespace
} // namespace tracklens::testing
