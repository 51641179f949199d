// The walk over a whole file: the header, chunk after chunk, running status, the absolute tick,
// and every way a walk can end.

#include <gtest/gtest.h>

#include <new>

#include "tests/support/Listing.h"

namespace tracklens::testing {
namespace {

TEST(Walk, StoredTextsFillFixedWidthColumnsAndNeverCutTheTick)
{
    // 123456789 ticks (BA EF 9A 15) in one track, 384 (83 00) in the next.
    const Listing listing = List(Smf({Hex("BAEF9A15 F8"), Hex("8300 9F3C40")}));
    ASSERT_TRUE(listing.outcome.complete());
    ASSERT_EQ(listing.stored.size(), 11u);
    EXPECT_EQ(listing.stored[0], (RowTexts{"        ", "        ", "4D546864", "  ", "MThd", ""}));
    EXPECT_EQ(listing.stored[7],
              (RowTexts{"123456789", "BAEF9A15", "F8", "  ", "Timing Clock", ""}));
    EXPECT_EQ(listing.stored[10],
              (RowTexts{"384     ", "8300    ", "9F3C40", "16", "NotaON", "Do5 - 64"}));
    EXPECT_EQ(listing.rows[10][0], "384"); // the tick restarts with each track
}

TEST(Walk, AbsoluteTickIsASixtyFourBitSum)
{
    // Seventeen times the largest delta time: beyond 32 bits of ticks.
    Bytes track;
    for (int i = 0; i < 17; ++i) {
        track.insert(track.end(), {0xFF, 0xFF, 0xFF, 0x7F, 0xF8});
    }
    const Listing listing = List(Smf({track}));
    ASSERT_TRUE(listing.outcome.complete());
    EXPECT_EQ(listing.rows[kFirstEventRow + 7][0], "2147483640");
    EXPECT_EQ(listing.rows[kFirstEventRow + 8][0], "2415919095");
    EXPECT_EQ(listing.rows.back()[0], "4563402735");
    EXPECT_EQ(listing.rows.back()[1], "FFFFFF7F");
}

TEST(Walk, AFourByteDeltaEndsEvenWithItsTopBitSet)
{
    const Listing listing = List(Track("81 80 80 80 F8"));
    ASSERT_TRUE(listing.outcome.complete());
    EXPECT_EQ(listing.rows.back(), (RowTexts{"2097152", "81808080", "F8", "", "Timing Clock", ""}));
}

TEST(Walk, HeaderRowsShowTheFilesOwnFields)
{
    const struct {
        std::string format, tracks, division; // the fields in hexadecimal
        const char* formatValue;
        const char* tracksValue;
        const char* divisionName;
        const char* divisionValue;
    } cases[] = {
        {"0001", "0002", "0060", "1", "2", "TPQN", "96"},
        {"FFFF", "8000", "7FFF", "65535", "32768", "TPQN", "32767"},
        {"0000", "0001", "E728", "0", "1", "SMPTE", "25 fps, 40 ticks/frame"},
        {"0000", "0001", "E850", "0", "1", "SMPTE", "24 fps, 80 ticks/frame"},
        {"0000", "0001", "E350", "0", "1", "SMPTE", "29.97 fps, 80 ticks/frame"},
        {"0000", "0001", "E201", "0", "1", "SMPTE", "30 fps, 1 ticks/frame"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.division);
        const Listing listing = List(Hex("4D546864 00000006" + c.format + c.tracks + c.division));
        ASSERT_TRUE(listing.outcome.complete());
        const std::vector<RowTexts> expected = {
            {"", "", c.format, "", "Formato", c.formatValue},
            {"", "", c.tracks, "", "Tracce", c.tracksValue},
            {"", "", c.division, "", c.divisionName, c.divisionValue},
        };
        ASSERT_EQ(listing.rows.size(), 5u);
        EXPECT_EQ(std::vector<RowTexts>(listing.rows.begin() + 2, listing.rows.end()), expected);
    }
    // A longer header: its length as written, its extra bytes skipped.
    const Listing listing =
        List(Hex("4D546864 00000008 0000 0001 0060 AABB 4D54726B 00000004 00FF2F00"));
    ASSERT_TRUE(listing.outcome.complete());
    EXPECT_EQ(listing.rows[1], (RowTexts{"", "", "00000008", "", "Lunghezza", "8 bytes"}));
    EXPECT_EQ(listing.rows[3], (RowTexts{"", "", "0001", "", "Tracce", "1"}));
    EXPECT_EQ(listing.rows.back()[4], "End of Track");
}

TEST(Walk, ChunksAreWalkedByTheirDeclaredLengths)
{
    const Bytes file = Concat({
        Header({.tracks = 4}),
        Chunk("MTrk", {}),                    // an empty track
        Chunk("XF\xE8H", {0x01, 0x02, 0x03}), // not a track: listed and skipped
        // Events after End of Track are still events; one stray byte at the end is not.
        Chunk("MTrk", Concat({{0x10, 0x90, 0x3C, 0x40}, kEndOfTrack, {0x00, 0xF8, 0x55}})),
        // Running status carries over; a text claiming 16 bytes is cut at the track's end.
        Chunk("MTrk", {0x05, 0x3C, 0x00, 0x00, 0xFF, 0x01, 0x10, 'a'}),
        Chunk("MTrk", {0x00, 0xFE}), // found right after the declared length before it
        {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07}, // fewer than 8 bytes: ignored
    });
    const Listing listing = List(file);
    ASSERT_TRUE(listing.outcome.complete()) << MessageFor(listing.outcome).text;
    const std::vector<RowTexts> expected = {
        {"", "", "4D54726B", "", "MTrk", ""},
        {"", "", "00000000", "", "Lunghezza", "0 bytes"},
        {"", "", "5846E848", "", "XF\xC3\xA8H", ""},
        {"", "", "00000003", "", "Lunghezza", "3 bytes"},
        {"", "", "4D54726B", "", "MTrk", ""},
        {"", "", "0000000B", "", "Lunghezza", "11 bytes"},
        {"16", "10", "903C40", "1", "NotaON", "Do5 - 64"},
        {"16", "00", "FF2F00", "", "End of Track", ""},
        {"16", "00", "F8", "", "Timing Clock", ""},
        {"", "", "4D54726B", "", "MTrk", ""},
        {"", "", "00000008", "", "Lunghezza", "8 bytes"},
        {"5", "05", "903C00", "1", "+NotaOFF", "Do5"},
        {"5", "00", "FF011061", "", "Text", "a"},
        {"", "", "4D54726B", "", "MTrk", ""},
        {"", "", "00000002", "", "Lunghezza", "2 bytes"},
        {"0", "00", "FE", "", "Active Sensing", ""},
    };
    EXPECT_EQ(std::vector<RowTexts>(listing.rows.begin() + 5, listing.rows.end()), expected);

    // Eight bytes after the last chunk are a chunk of their own.
    const Listing more = List(Concat({file, {0x00}}));
    ASSERT_TRUE(more.outcome.complete());
    EXPECT_EQ(more.rows.back(), (RowTexts{"", "", "05060700", "", "Lunghezza", "84281088 bytes"}));
}

TEST(Walk, ATrackRunningPastTheFileIsCutAtItsEnd)
{
    Bytes file = Concat({Header(), Chunk("MTrk", Concat({{0x00, 0x90, 0x3C, 0x40}, kEndOfTrack}))});
    file[21] = 0xFF; // the track claims far more bytes than the file holds
    const Listing listing = List(file);
    ASSERT_TRUE(listing.outcome.complete());
    EXPECT_EQ(listing.rows[6], (RowTexts{"", "", "000000FF", "", "Lunghezza", "255 bytes"}));
    EXPECT_EQ(listing.rows.back()[4], "End of Track");

    file[18] = 0x80; // lengths of 0x80000000 and more are unsigned
    EXPECT_EQ(List(file).rows[6][5], "2147483903 bytes");

    // Texts and SysEx bodies claiming more than the track holds keep what is there.
    const Listing text = List(Smf({{0x00, 0xFF, 0x01, 0x8F, 0xFF, 0xFF, 0x7F, 'a', 'b'}}));
    ASSERT_TRUE(text.outcome.complete());
    EXPECT_EQ(text.rows.back(), (RowTexts{"0", "00", "FF018FFFFF7F6162", "", "Text", "ab"}));
    const Listing sysex = List(Track("00 F0 7F 41 10"));
    ASSERT_TRUE(sysex.outcome.complete());
    EXPECT_EQ(sysex.rows.back(), (RowTexts{"0", "00", "F07F4110", "", "SysEx (Roland)", ""}));
}

TEST(Walk, RunningStatusSurvivesOtherMessagesAndTracks)
{
    const Listing listing = List(Smf({
        {0x00, 0x90, 0x3C, 0x40,                   // note on with its status
         0x00, 0xF0, 0x01, 0xF7, 0x00, 0x3E, 0x40, // after a SysEx
         0x00, 0xFF, 0x01, 0x00, 0x00, 0x40, 0x40, // after a meta event
         0x00, 0xF8, 0x00, 0x41, 0x40,             // after a system message
         0x00, 0xF7, 0x00, 0x00, 0x43, 0x40},      // after an escape
        {0x00, 0x45, 0x40},                        // in the next track
    }));
    ASSERT_TRUE(listing.outcome.complete()) << MessageFor(listing.outcome).text;
    const std::vector<RowTexts> running = {
        {"0", "00", "903E40", "1", "+NotaON", "Re5 - 64"},
        {"0", "00", "904040", "1", "+NotaON", "Mi5 - 64"},
        {"0", "00", "904140", "1", "+NotaON", "Fa5 - 64"},
        {"0", "00", "904340", "1", "+NotaON", "Sol5 - 64"},
        {"0", "00", "904540", "1", "+NotaON", "La5 - 64"},
    };
    const std::size_t at[] = {kFirstEventRow + 2, kFirstEventRow + 4, kFirstEventRow + 6,
                              kFirstEventRow + 8, listing.rows.size() - 1};
    for (std::size_t i = 0; i < running.size(); ++i) {
        SCOPED_TRACE(running[i][5]);
        EXPECT_EQ(listing.rows[at[i]], running[i]);
    }
}

// A sink that has no memory left from its given row on.
class SinkOutOfMemory final : public RowSink {
public:
    explicit SinkOutOfMemory(std::size_t firstRowRefused)
        : firstRowRefused_(firstRowRefused)
    {
    }
    void AddRow(const Row& row, std::size_t index, const WalkPoint&) override
    {
        if (index >= firstRowRefused_) {
            throw std::bad_alloc();
        }
        rows.push_back(row);
    }
    std::vector<Row> rows;

private:
    std::size_t firstRowRefused_;
};

// Memory that runs out is failure 7 at the row where it ran out, 1-based; the rows before it are
// the sink's, and the walk counts no more.
TEST(Walk, MemoryThatRunsOutEndsTheRunInFailureSevenAtTheRowReached)
{
    const Bytes file = Smf({Hex("00 903C64 60 3C00 00 FF2F00")});
    const struct {
        std::size_t refused;
        std::uint64_t position;
    } cases[] = {
        {0, 1},  // MThd
        {3, 11}, // the track count
        {5, 15}, // MTrk
        {6, 19}, // its length
        {7, 24}, // the first note's status byte, after its delta time at 23
        {8, 28}, // the second note, under running status
        {9, 31}, // End of Track
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.refused);
        SinkOutOfMemory sink(c.refused);
        EventWalk walk(file, sink);
        RunOutcome outcome = walk.readHeader();
        if (outcome.complete()) {
            outcome = walk.readChunks();
        }
        EXPECT_EQ(outcome.kind, RunOutcome::Kind::Failure);
        EXPECT_EQ(outcome.code, FailureCode::OutOfMemory);
        EXPECT_EQ(outcome.position, c.position);
        EXPECT_EQ(sink.rows.size(), c.refused);
        EXPECT_EQ(walk.rowCount(), static_cast<std::int32_t>(c.refused));
    }
}

struct EndCase {
    const char* name;
    Bytes file;
    RunOutcome::Kind kind;
    const char* message; // the whole text, or its first line and line break for a failure
    std::size_t rowsBefore;
};

void PrintTo(const EndCase& c, std::ostream* out)
{
    *out << c.name;
}

class WalkEnd : public ::testing::TestWithParam<EndCase> {};

TEST_P(WalkEnd, StopsWithItsMessageAndNoRowForTheEvent)
{
    const EndCase& c = GetParam();
    const Listing listing = List(c.file);
    EXPECT_EQ(listing.outcome.kind, c.kind);
    EXPECT_EQ(listing.rows.size(), c.rowsBefore);
    const OutcomeMessage message = MessageFor(listing.outcome);
    if (c.kind == RunOutcome::Kind::Failure) {
        EXPECT_EQ(message.icon, MessageIcon::Critical);
        EXPECT_EQ(message.text.substr(0, std::string(c.message).size()), c.message);
        EXPECT_GT(message.text.size(), std::string(c.message).size()); // a description follows
    } else {
        EXPECT_EQ(message.icon, MessageIcon::Exclamation);
        EXPECT_EQ(message.text, c.message);
    }
}

constexpr auto kStop = RunOutcome::Kind::UnknownStatus;
constexpr auto kFail = RunOutcome::Kind::Failure;
constexpr auto kNotMidi = RunOutcome::Kind::NotMidi;
const char* const kNotMidiText = "Il file non \xC3\xA8 un Midifile standard !\r\nMThd mancante";

INSTANTIATE_TEST_SUITE_P(
    Ends, WalkEnd,
    ::testing::Values(
        EndCase{"empty file", {}, kNotMidi, kNotMidiText, 0},
        EndCase{"riff file", Hex("52494646 00000006 0000 0001 0060"), kNotMidi, kNotMidiText, 0},
        EndCase{"lower case tag", Hex("6D546864 00000006 0000 0001 0060"), kNotMidi, kNotMidiText,
                0},
        EndCase{"tag alone", Hex("4D546864"), kFail, "Errore 5\r\n", 0},
        EndCase{"header of 13 bytes", Hex("4D546864 00000006 0000 0001 00"), kFail, "Errore 5\r\n",
                0},
        EndCase{"header length 5",
                Hex("4D546864 00000005 0000 0001 0060 4D54726B 00000004 00FF2F00"), kFail,
                "Errore 5\r\n", 0},
        EndCase{"header length 0", Hex("4D546864 00000000 0000 0001 0060"), kFail, "Errore 5\r\n",
                0},
        EndCase{"running status first", Track("00 3C40"), kStop,
                "Pos.24\r\nStatus 0 (00) - Valore sconosciuto", 7},
        EndCase{"running status after other messages", Track("00 FF2F00 00 F8 00 3C40"), kStop,
                "Pos.30\r\nStatus 0 (00) - Valore sconosciuto", 9},
        EndCase{"undefined F4", Track("00 903C40 00 F4"), kStop,
                "Pos.28\r\nStatus 244 (F4) - Valore sconosciuto", 8},
        EndCase{"undefined F5", Track("00 F5"), kStop,
                "Pos.24\r\nStatus 245 (F5) - Valore sconosciuto", 7},
        EndCase{"undefined F9", Track("00 F9"), kStop,
                "Pos.24\r\nStatus 249 (F9) - Valore sconosciuto", 7},
        EndCase{"undefined FD in a second track", Smf({kEndOfTrack, Hex("00 FD")}), kStop,
                "Pos.36\r\nStatus 253 (FD) - Valore sconosciuto", 10},
        EndCase{"delta time cut", Track("81 81"), kFail, "Errore 5\r\n", 7},
        EndCase{"status byte missing", Track("81 00"), kFail, "Errore 5\r\n", 7},
        EndCase{"note cut by the track's end", Track("00 903C"), kFail, "Errore 5\r\n", 7},
        EndCase{"note cut by the file's end", Concat({Header(), Hex("4D54726B 00000010 00 903C")}),
                kFail, "Errore 5\r\n", 7},
        EndCase{"zeros after end of track under running status", Track("00 903C40 00 FF2F00 00 00"),
                kFail, "Errore 5\r\n", 9},
        EndCase{"controller 128", Track("00 B08000"), kFail, "Errore 9\r\n", 7},
        EndCase{"program 200", Track("00 C0C8"), kFail, "Errore 9\r\n", 7},
        EndCase{"quarter frame cut", Track("00 F1"), kFail, "Errore 5\r\n", 7},
        EndCase{"song position cut", Track("00 F201"), kFail, "Errore 5\r\n", 7},
        EndCase{"song select cut", Track("00 F3"), kFail, "Errore 5\r\n", 7},
        EndCase{"sysex without length", Track("00 F0"), kFail, "Errore 5\r\n", 7},
        EndCase{"sysex length cut", Track("00 F081"), kFail, "Errore 5\r\n", 7},
        EndCase{"escape without length", Track("00 F7"), kFail, "Errore 5\r\n", 7},
        EndCase{"meta without type", Track("00 FF"), kFail, "Errore 5\r\n", 7},
        EndCase{"meta without length", Track("00 FF01"), kFail, "Errore 5\r\n", 7},
        EndCase{"meta length cut", Track("00 FF0181"), kFail, "Errore 5\r\n", 7},
        EndCase{"tempo 0", Track("00 FF5103000000"), kFail, "Errore 11\r\n", 7},
        EndCase{"tempo without data", Track("00 FF5100"), kFail, "Errore 11\r\n", 7},
        EndCase{"sequence id without data", Track("00 FF0000"), kFail, "Errore 5\r\n", 7},
        EndCase{"sequence id of one byte", Track("00 FF000105"), kFail, "Errore 5\r\n", 7},
        EndCase{"midi channel without data", Track("00 FF2000"), kFail, "Errore 5\r\n", 7},
        EndCase{"midi port without data", Track("00 FF2100"), kFail, "Errore 5\r\n", 7},
        EndCase{"smpte offset of four", Track("00 FF540401020304"), kFail, "Errore 5\r\n", 7},
        EndCase{"time signature of three", Track("00 FF5803040218"), kFail, "Errore 5\r\n", 7},
        // The field is beyond the event's own length, though the track goes on.
        EndCase{"key signature of one", Track("00 FF590100 00 FF2F00"), kFail, "Errore 5\r\n", 7}),
    CaseName<EndCase>);

} // namespace
} // namespace tracklens::testing
