// The writers of the listing: how each format carries the texts of a file's rows, and how the
// batched writer cuts a long listing into batches that it may list again from their start.

#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>
#include <set>

#include "cli/ListingWriter.h"
#include "engine/EventTable.h"
#include "engine/EventWalk.h"
#include "tests/support/Listing.h"

namespace tracklens::testing {
namespace {

// A file whose one event is a text event holding these bytes.
Bytes TextFile(const Bytes& text)
{
    return Smf({Concat({{0x00, 0xFF, 0x01, static_cast<std::uint8_t>(text.size())}, text})});
}

TEST(ListingWriter, EscapesControlBytesOfTextsInTsvAndCsvAndQuotesCsvFields)
{
    const struct {
        const char* name;
        Bytes text;
        std::string tsv;
        std::string csv;
    } cases[] = {
        {"plain", {'a', ' ', 'b'}, "a b", "a b"},
        {"tab, line feed, carriage return, backslash",
         {0x09, 0x0A, 0x0D, 0x5C},
         "\\t\\n\\r\\\\",
         "\\t\\n\\r\\"},
        {"other control bytes and 7F",
         {0x00, 0x01, 0x1F, 0x7F, 'A'},
         "\\x00\\x01\\x1F\\x7FA",
         "\\x00\\x01\\x1F\\x7FA"},
        {"windows-1252",
         {0x80, 0x81, 0xE8},
         "\xE2\x82\xAC\xC2\x81\xC3\xA8",
         "\xE2\x82\xAC\xC2\x81\xC3\xA8"},
        {"the other undefined bytes",
         {0x8D, 0x8F, 0x90, 0x9D},
         "\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D",
         "\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D"},
        {"comma and quote", {'a', ',', 'b', '"', 'c'}, "a,b\"c", "\"a,b\"\"c\""},
        {"quote alone", {'"'}, "\"", "\"\"\"\""},
        {"comma and a line break", {'a', ',', 0x0A}, "a,\\n", "\"a,\\n\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes file = TextFile(c.text);
        const std::string tsv = WriteListing(ListingFormat::Tsv, file);
        const std::string tsvEnd = "\tText\t" + c.tsv + "\n";
        EXPECT_EQ(tsv.substr(tsv.size() - std::min(tsv.size(), tsvEnd.size())), tsvEnd);
        const std::string csv = WriteListing(ListingFormat::Csv, file);
        const std::string csvEnd = ",Text," + c.csv + "\r\n";
        EXPECT_EQ(csv.substr(csv.size() - std::min(csv.size(), csvEnd.size())), csvEnd);
    }
}

TEST(ListingWriter, WritesJsonAsColumnsRowsAndOutcome)
{
    const nlohmann::json json =
        nlohmann::json::parse(WriteListing(ListingFormat::Json, kSmallSong));
    EXPECT_EQ(json["columns"],
              nlohmann::json({"Abs Tick", "DTime", "Event", "Ch", "Description", "Value"}));
    EXPECT_EQ(json["rows"], nlohmann::json(kSmallSongRows));
    EXPECT_EQ(json["outcome"], nlohmann::json({{"rows", 12}, {"status", "complete"}}));

    // An unknown chunk's tag is a text too.
    const std::string tag =
        WriteListing(ListingFormat::Tsv, Concat({Header(), Chunk("A\tB\x7F", {})}));
    EXPECT_NE(tag.find("\t\t4109427F\t\tA\\tB\\x7F\t\n"), std::string::npos);
}

TEST(ListingWriter, JsonTellsHowTheListingEnded)
{
    const nlohmann::json stopped = nlohmann::json::parse(
        WriteListing(ListingFormat::Json, Smf({{0x00, 0x90, 0x3C, 0x40, 0x00, 0xF4}})));
    EXPECT_EQ(stopped["rows"].size(), 8u);
    EXPECT_EQ(stopped["outcome"]["rows"], 8);
    EXPECT_EQ(stopped["outcome"]["status"], "stopped");
    EXPECT_EQ(stopped["outcome"]["position"], 28);
    EXPECT_EQ(stopped["outcome"]["message"], "Pos.28\r\nStatus 244 (F4) - Valore sconosciuto");

    const nlohmann::json notMidi =
        nlohmann::json::parse(WriteListing(ListingFormat::Json, Hex("4D54")));
    EXPECT_EQ(notMidi["rows"].size(), 0u);
    EXPECT_EQ(notMidi["outcome"],
              nlohmann::json({{"rows", 0},
                              {"status", "stopped"},
                              {"message", "Il file non \xC3\xA8 un Midifile standard !\r\n"
                                          "MThd mancante"}}));

    const nlohmann::json failed = nlohmann::json::parse(
        WriteListing(ListingFormat::Json, Smf({{0x00, 0xFF, 0x51, 0x03, 0x00, 0x00, 0x00}})));
    EXPECT_EQ(failed["rows"].size(), 7u);
    EXPECT_EQ(failed["outcome"]["status"], "failure");
    EXPECT_EQ(failed["outcome"]["code"], 11);
    EXPECT_EQ(failed["outcome"]["message"].get<std::string>().substr(0, 11), "Errore 11\r\n");
}

constexpr std::size_t kBatchRows = ListingWriter::kBatchRows;
static_assert(kBatchRows > 16 && kBatchRows % EventTable::kRowsPerBlock == 0,
              "the first batch's end is a block's start, and a track fits before it");

// Tracks and a chunk that is not a track, the first track's events ending `shift` rows before
// the first batch is full. A walk may begin again at a track's or a chunk's tag and at an event,
// never at a length: the rows that the first batch's end meets, as shift goes from 0 to 6, are
// the second track's first event (under the running status of the first track), its length,
// its tag, the other chunk's length, its tag, the first track's End of Track and one of its
// notes. The second track then crosses many blocks and batches under running status, and ends
// with SysEx events long enough to fill batches by their bytes; the third track's first event is
// again under running status.
Bytes AcrossBoundaries(std::size_t shift)
{
    const std::size_t firstTrackEvents = kBatchRows - 11 + shift; // its rows begin at row 7
    Bytes sysex = Hex("00 F0 81EA30 43");
    sysex.insert(sysex.end(), 30000 - 2, 0x11);
    sysex.push_back(0xF7);
    return Concat(
        {Header({.tracks = 3}),
         Chunk("MTrk", Concat({Hex("00 903C40"), RunningNotes(firstTrackEvents - 2), kEndOfTrack})),
         Chunk("XFIH", Hex("0102")),
         Chunk("MTrk", Concat({RunningNotes(3 * kBatchRows + 100), sysex, sysex, sysex, sysex,
                               sysex, RunningNotes(20), kEndOfTrack})),
         Chunk("MTrk", Concat({RunningNotes(kBatchRows / 2), kEndOfTrack}))});
}

TEST(ListingWriter, WritesTheEventTablesRowsAcrossBatchesBlocksAndTracks)
{
    std::set<std::pair<RowKind, bool>> atTheFirstBatchsEnd;
    for (std::size_t shift = 0; shift <= 7; ++shift) {
        SCOPED_TRACE(shift == 7 ? "cut short" : "shift " + std::to_string(shift));
        Bytes file = AcrossBoundaries(std::min<std::size_t>(shift, 6));
        if (shift == 7) {
            file.resize(file.size() - 2); // the last track ends in a note cut short
        }
        RowsOf walked;
        WalkFile(file, walked);
        ASSERT_GT(walked.rows.size(), 4 * kBatchRows);
        atTheFirstBatchsEnd.emplace(walked.rows[kBatchRows].kind, walked.rows[kBatchRows].running);

        EXPECT_TRUE(SameLines(ListingOfCells(ListingFormat::Tsv, file),
                              WriteListing(ListingFormat::Tsv, file)));
        if (shift == 7) {
            EXPECT_TRUE(SameLines(ListingOfCells(ListingFormat::Csv, file),
                                  WriteListing(ListingFormat::Csv, file)));
            const nlohmann::json json =
                nlohmann::json::parse(WriteListing(ListingFormat::Json, file));
            EXPECT_EQ(json["rows"], nlohmann::json(List(file).rows));
            EXPECT_EQ(json["outcome"]["status"], "failure");
        }
    }
    const std::set<std::pair<RowKind, bool>> met = {
        {RowKind::TrackTag, false},    {RowKind::TrackLength, false}, {RowKind::ChunkTag, false},
        {RowKind::ChunkLength, false}, {RowKind::Meta, false},        {RowKind::ChannelVoice, true},
    };
    EXPECT_EQ(atTheFirstBatchsEnd, met);
}

// A text event and a SysEx larger than a writer holds as text, between notes.
Bytes EventsTooLargeToHold()
{
    const std::size_t size = DirectLines::kLargestHeldRow + 12345;
    Bytes text(size);
    Bytes sysex(size);
    for (std::size_t i = 0; i < size; ++i) {
        constexpr std::string_view kSpecial = "\t\n\",\\\x01\x80";
        text[i] = i % 7 == 0 ? static_cast<std::uint8_t>(kSpecial[i / 7 % kSpecial.size()])
                             : static_cast<std::uint8_t>('a' + i % 26);
        sysex[i] = static_cast<std::uint8_t>(i % 0x80);
    }
    sysex.back() = 0xF7;
    smf::TrackWriter track;
    track.channel(0, 0x90, 60, 100)
        .text(0, 0x05, std::string_view(reinterpret_cast<const char*>(text.data()), text.size()));
    track.channel(0, 0x90, 62, 100).sysex(10, sysex).channel(0, 0x90, 64, 100).endOfTrack();
    return Smf({track.body()});
}

// Events larger than a writer holds as text are written in pieces, each cell escaped as a whole
// cell would be: the same lines as the table's cells give.
TEST(ListingWriter, WritesEventsTooLargeToHoldInPiecesWithTheirCellsTexts)
{
    const Bytes file = EventsTooLargeToHold();
    for (const ListingFormat format : {ListingFormat::Tsv, ListingFormat::Csv}) {
        SCOPED_TRACE(format == ListingFormat::Tsv ? "tsv" : "csv");
        EXPECT_TRUE(SameLines(ListingOfCells(format, file), WriteListing(format, file)));
    }
    const nlohmann::json json = nlohmann::json::parse(WriteListing(ListingFormat::Json, file));
    EXPECT_EQ(json["rows"], nlohmann::json(List(file).rows));
}

// The walk that gathers the time maps plans the listing too: each part is listed again by one of
// two threads, the header's rows from the start of the file, a part that holds a large row in
// pieces. Parts of a few rows and parts of a batch's size give the lines of a listing's own walk.
TEST(ListingWriter, WritesThePlanOfTheTimeMapsWalkAsItsOwnWalkWouldList)
{
    Bytes cutShort = AcrossBoundaries(3);
    cutShort.resize(cutShort.size() - 2);
    const struct {
        const char* name;
        Bytes file;
        WalkMode mode = WalkMode::StopAtProblem;
    } cases[] = {
        {"a small song", kSmallSong},
        {"tracks across batches, cut short", cutShort},
        {"an unknown status", Smf({Hex("00 903C40 00 F4")})},
        {"kept going past an unknown status and a tempo of 0",
         Smf({Hex("00 903C40 00 F4"), Hex("00 FF5103000000 00 FF510307A120 10 803C40")}),
         WalkMode::KeepGoing},
        {"not a MIDI file", Hex("4D54")},
        {"a header cut short", Hex("4D546864 00000006 0001 0002")},
        {"tempo changes in the later of four tracks, its half joined to the first",
         Smf({Hex("00 903C40 60 803C40"), Hex("00 FF580403021808 00 913C40 60 813C40"),
              Hex("10 FF51030F4240 00 923C40 60 823C40"), Hex("30 FF510307A120 00 933C40")})},
        {"a later track that takes up the running status of the one before, its half walked "
         "again",
         Smf({Hex("00 903C40 60 3C00"), Hex("00 903E40"), Hex("10 4000 20 FF51030F4240"),
              Hex("00 4140 60 4100")})},
        {"events too large to hold as text", EventsTooLargeToHold()},
        {"a file in an RMID container",
         Concat({Hex("52494646 3E000000 524D4944 64617461 2B000000"), kSmallSong, Hex("00"),
                 Hex("4C495354 04000000 494E464F")})},
    };
    const struct {
        std::int32_t rows;
        std::size_t bytes;
        std::size_t largestHeldRow;
    } partSizes[] = {{2, 16, 8},
                     {ListingWriter::kPlanLimits.rows, ListingWriter::kPlanLimits.fileBytes,
                      ListingWriter::kPlanLimits.largestHeldRow}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (const ListingFormat format :
             {ListingFormat::Tsv, ListingFormat::Csv, ListingFormat::Json}) {
            const std::string walked = WriteListing(format, c.file, c.mode, kAllColumns);
            for (const auto& parts : partSizes) {
                EXPECT_TRUE(SameLines(
                    walked, WritePlannedListing(format, c.file, c.mode, kAllColumns, parts.rows,
                                                parts.bytes, parts.largestHeldRow)));
            }
        }
    }
}

// The track numbers that a byte's table holds and those past it.
TEST(ListingWriter, NumbersTracksPastTheTableOfAByte)
{
    Bytes file = Header({.tracks = 257});
    for (int track = 0; track < 257; ++track) {
        const Bytes chunk = Chunk("MTrk", kEndOfTrack);
        file.insert(file.end(), chunk.begin(), chunk.end());
    }
    constexpr std::array<Column, 2> kColumns = {Column::Track, Column::Description};
    const std::string listing =
        WriteListing(ListingFormat::Tsv, file, WalkMode::StopAtProblem, kColumns);
    for (const char* tag :
         {"1\tMTrk\n", "9\tMTrk\n", "10\tMTrk\n", "255\tMTrk\n", "256\tMTrk\n", "257\tMTrk\n"}) {
        EXPECT_NE(listing.find(std::string("\n") + tag), std::string::npos) << tag;
    }
}

} // namespace
} // namespace tracklens::testing
