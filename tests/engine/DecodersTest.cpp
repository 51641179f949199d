// Each message family: the bytes of events in a track and the six texts of their rows. An End of
// Track is put after every case, so a decoder that reads too few or too many bytes shows. The
// names of the vocabulary are in tests/cli/golden/vocabulary.tsv.

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
    ::testing::Values(C{"00 903C64 00 3C00",
                        {{"0", "00", "903C64", "1", "NotaON", "Do5 - 100"},
                         {"0", "00", "903C00", "1", "+NotaOFF", "Do5"}}},
                      C{"00 803C40", {{"0", "00", "803C40", "1", "NotaOFF", "Do5 - 64"}}},
                      C{"00 803C00", {{"0", "00", "803C00", "1", "NotaOFF", "Do5"}}},
                      C{"00 A03C00", {{"0", "00", "A03C00", "1", "Key Aftertouch", "Do5 - 0"}}},
                      C{"00 9F007F", {{"0", "00", "9F007F", "16", "NotaON", "Do0 - 127"}}},
                      C{"00 B00764",
                        {{"0", "00", "B00764", "1", "Control", "7:Channel Volume - 100"}}},
                      C{"00 C518 00 15",
                        {{"0", "00", "C518", "6", "Patch", "24:Nylon String Guitar"},
                         {"0", "00", "C515", "6", "+Patch", "21:Accoridan"}}},
                      C{"00 D050 00 60",
                        {{"0", "00", "D050", "1", "Ch. Aftertouch", "80"},
                         {"0", "00", "D060", "1", "+Ch. Aftertouch", "96"}}},
                      C{"8140 903C64", {{"192", "8140", "903C64", "1", "NotaON", "Do5 - 100"}}}),
    EventCaseName);

INSTANTIATE_TEST_SUITE_P(
    SystemExclusive, Decoders,
    ::testing::Values(
        // The length 80 0A is 10: both length bytes are left out when the message is named.
        C{"00 F0800A4110421240007F0041F7",
          {{"0", "00", "F0800A4110421240007F0041F7", "", "SysEx (Roland)", "GS Reset"}}},
        C{"00 F004004110F7", {{"0", "00", "F004004110F7", "", "SysEx ", ""}}},
        // With no body the maker is read from the bytes after the length: the next event's.
        C{"00 F000 43 F8",
          {{"0", "00", "F000", "", "SysEx (Yamaha)", ""},
           {"67", "43", "F8", "", "Timing Clock", ""}}}),
    EventCaseName);

INSTANTIATE_TEST_SUITE_P(
    MetaAndSystemMessages, Decoders,
    ::testing::Values(C{"00 FF2F00", {{"0", "00", "FF2F00", "", "End of Track", ""}}},
                      C{"00 F20000", {{"0", "00", "F20000", "", "SongPosPointer", "0 0"}}},
                      C{"00 FF510307A121", {{"0", "00", "FF510307A121", "", "Set Tempo", "120"}}},
                      C{"00 FF510307B4A8", {{"0", "00", "FF510307B4A8", "", "Set Tempo", "118"}}},
                      C{"00 FF510207A1", {{"0", "00", "FF510207A1", "", "Set Tempo", "30722"}}},
                      C{"00 FF51040007A120",
                        {{"0", "00", "FF51040007A120", "", "Set Tempo", "30722"}}},
                      C{"00 FF0002FFFF", {{"0", "00", "FF0002FFFF", "", "Sequence ID", "65535"}}},
                      // A length is a variable-length quantity: 80 02 is 2.
                      C{"00 FF0180026F6B", {{"0", "00", "FF0180026F6B", "", "Text", "ok"}}},
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
