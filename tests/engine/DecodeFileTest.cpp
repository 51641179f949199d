// A whole analysis run against a view that records what it is asked to do, in order.

#include <gtest/gtest.h>

#include "engine/DecodeFile.h"
#include "tests/support/Listing.h"
#include "tests/support/RecordingView.h"

namespace tracklens::testing {
namespace {

struct RunCase {
    const char* name;
    Bytes file;
    std::vector<std::string> calls;
    const char* message; // whole, or the start of a failure's
};

void PrintTo(const RunCase& c, std::ostream* out)
{
    *out << c.name;
}

const ColumnWidths kWidths = {810, 820, 2430, 340, 2550, 9000};
const char* const kPrepare = "PrepareListing 810 820 2430 340 2550 9000";
const char* const kReading = "Status Track Read. Please Wait...";

class Run : public ::testing::TestWithParam<RunCase> {};

TEST_P(Run, DrivesTheViewInOrder)
{
    const RunCase& c = GetParam();
    RecordingView view;
    DecodeFile(FileBytes::CopyOf(c.file), view, kWidths);
    EXPECT_EQ(view.calls, c.calls);
    EXPECT_EQ(view.message.substr(0, std::string(c.message).size()), c.message);
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, Run,
    ::testing::Values(
        // A run takes a moment: its elapsed time is never negative, and under a second here.
        RunCase{"complete",
                kSmallSong,
                {"Hourglass", kPrepare, "ShowHeaderRows 5", kReading,
                 "Caption Tracklens (12 events)", "Status Writing. Please Wait...",
                 "WriteListing 12", "WaitWindow 0", "Status Tempo di elaborazione: 00:00",
                 "Pointer"},
                ""},
        RunCase{"unknown status",
                Smf({{0x00, 0x90, 0x3C, 0x40, 0x00, 0xF4}}),
                {"Hourglass", kPrepare, "ShowHeaderRows 5", kReading, "Pointer", "Status ",
                 "WaitWindow 0", "ResetListing", "Message Exclamation Tracklens Pos.28"},
                "Pos.28\r\nStatus 244 (F4) - Valore sconosciuto"},
        RunCase{"failure",
                Smf({{0x00, 0xFF, 0x51, 0x03, 0x00, 0x00, 0x00}}),
                {"Hourglass", kPrepare, "ShowHeaderRows 5", kReading, "Status ", "WaitWindow 0",
                 "Message Critical Tracklens Errore 11", "ResetListing", "Pointer"},
                "Errore 11\r\n"},
        RunCase{"failure before any row",
                {'M', 'T', 'h', 'd', 0x00, 0x00, 0x00, 0x05, 0x00, 0x00, 0x00, 0x01, 0x00, 0x60},
                {"Hourglass", kPrepare, "Status ", "WaitWindow",
                 "Message Critical Tracklens Errore 5", "ResetListing", "Pointer"},
                "Errore 5\r\n"},
        RunCase{"not a midi file",
                {'R', 'I', 'F', 'F', 0x00, 0x00, 0x00, 0x06, 0x00, 0x00, 0x00, 0x01, 0x00, 0x60},
                {"Hourglass", kPrepare, "Pointer", "Status ", "WaitWindow", "ResetListing",
                 "Message Exclamation Tracklens Il file non \xC3\xA8 un Midifile standard !"},
                "Il file non \xC3\xA8 un Midifile standard !\r\nMThd mancante"},
        RunCase{"rmid container",
                Concat({Hex("52494646 00000000 524D4944 64617461 2B000000"), kSmallSong}),
                {"Hourglass", kPrepare, "ShowHeaderRows 3", kReading,
                 "Caption Tracklens (17 events)", "Status Writing. Please Wait...",
                 "WriteListing 17", "WaitWindow 0", "Status Tempo di elaborazione: 00:00",
                 "Pointer"},
                ""},
        RunCase{"rmid without data",
                Hex("52494646 00000000 524D4944 4C495354 00000000"),
                {"Hourglass", kPrepare, "ShowHeaderRows 3", kReading, "Pointer", "Status ",
                 "WaitWindow 0", "ResetListing",
                 "Message Exclamation Tracklens Il file non \xC3\xA8 un Midifile standard !"},
                "Il file non \xC3\xA8 un Midifile standard !\r\nMThd mancante"}),
    CaseName<RunCase>);

TEST(Run, HandsTheWholeListingToTheView)
{
    RecordingView view;
    DecodeFile(FileBytes::CopyOf(kSmallSong), view, kInitialColumnWidths);
    EXPECT_EQ(view.calls[1], "PrepareListing 800 800 2400 350 2500 10050");
    EXPECT_EQ(view.written, kSmallSongRows);
}

} // namespace
} // namespace tracklens::testing
