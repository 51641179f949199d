// The writers of the listing: how each format carries the texts of a file's rows.

#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/ListingWriter.h"
#include "tests/engine/Listing.h"

namespace tracklens::testing {
namespace {

std::string Write(ListingFormat format, const Bytes& file)
{
    std::ostringstream out;
    const auto writer = MakeListingWriter(format, file, out);
    writer->writeTitles();
    writer->finish(WalkFile(file, *writer));
    return out.str();
}

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
        const std::string tsv = Write(ListingFormat::Tsv, file);
        const std::string tsvEnd = "\tText\t" + c.tsv + "\n";
        EXPECT_EQ(tsv.substr(tsv.size() - std::min(tsv.size(), tsvEnd.size())), tsvEnd);
        const std::string csv = Write(ListingFormat::Csv, file);
        const std::string csvEnd = ",Text," + c.csv + "\r\n";
        EXPECT_EQ(csv.substr(csv.size() - std::min(csv.size(), csvEnd.size())), csvEnd);
    }
}

TEST(ListingWriter, WritesTitlesAndRowsInEachFormat)
{
    const std::string tsv = Write(ListingFormat::Tsv, kSmallSong);
    EXPECT_EQ(tsv.substr(0, tsv.find('\n', tsv.find('\n') + 1) + 1),
              "Abs Tick\tDTime\tEvent\tCh\tDescription\tValue\n\t\t4D546864\t\tMThd\t\n");

    const std::string csv = Write(ListingFormat::Csv, kSmallSong);
    EXPECT_EQ(csv.substr(0, csv.find("\r\n", csv.find("\r\n") + 2) + 2),
              "Abs Tick,DTime,Event,Ch,Description,Value\r\n,,4D546864,,MThd,\r\n");
    EXPECT_NE(csv.find("\r\n96,60,903C00,1,+NotaOFF,Do5\r\n"), std::string::npos);

    const nlohmann::json json = nlohmann::json::parse(Write(ListingFormat::Json, kSmallSong));
    EXPECT_EQ(json["columns"],
              nlohmann::json({"Abs Tick", "DTime", "Event", "Ch", "Description", "Value"}));
    EXPECT_EQ(json["rows"], nlohmann::json(kSmallSongRows));
    EXPECT_EQ(json["outcome"], nlohmann::json({{"rows", 12}, {"status", "complete"}}));

    // An unknown chunk's tag is a text too.
    const std::string tag = Write(ListingFormat::Tsv, Concat({Header(), Chunk("A\tB\x7F", {})}));
    EXPECT_NE(tag.find("\t\t4109427F\t\tA\\tB\\x7F\t\n"), std::string::npos);
}

// The TSV line of each row as the cells escaped one by one.
std::string EscapedCellByCell(const Bytes& file)
{
    std::string tsv = "Abs Tick\tDTime\tEvent\tCh\tDescription\tValue\n";
    for (const RowTexts& row : List(file).rows) {
        for (std::size_t column = 0; column < kColumnCount; ++column) {
            AppendTsvEscaped(tsv, row[column]);
            tsv += column + 1 < kColumnCount ? '\t' : '\n';
        }
    }
    return tsv;
}

// Every controller, program, maker of SysEx and system message, each with the bytes that
// print as text around it; every data byte in notes, aftertouch and pitch bend; ticks of
// eleven digits.
Bytes EveryNamedMessage()
{
    Bytes events;
    const auto add = [&events](const Bytes& event) {
        events.insert(events.end(), event.begin(), event.end());
    };
    for (int value = 0; value < 128; ++value) {
        const auto v = static_cast<std::uint8_t>(value);
        const auto other = static_cast<std::uint8_t>(127 - value);
        add({0x00, 0xB0, v, 0x5C});                         // controller
        add({0x00, 0xC1, v});                               // program
        add({0x00, 0xF0, 0x05, v, 0x09, 0x0A, 0x5C, 0xF7}); // maker of one byte
        add({0x00, 0xF0, 0x04, 0x00, v, 0x7F, 0xF7});       // maker of three bytes
        add({0x00, 0xF7, 0x02, 0x5C, v});                   // escape
        add({0x00, 0x9F, v, other});                        // note
        add({0x00, 0xAA, v, other});                        // key aftertouch
        add({0x00, 0xD3, v});                               // channel aftertouch
        add({0x00, 0xE2, v, other});                        // pitch bend
        add({0x8F, 0xFF, 0xFF, 0x7F, 0xE2, other, v});      // a long delta time
    }
    add(Hex("00F1 00 00F2 0000 00F3 09 00F6 00F8 00FA 00FB 00FC 00FE"));
    add(kEndOfTrack);
    return Smf({events});
}

// Every value of a data byte as a key, a velocity and a controller's value, top bit included,
// and every channel.
Bytes EveryDataByte()
{
    Bytes events;
    for (unsigned value = 0; value < 256; ++value) {
        const auto byte = static_cast<std::uint8_t>(value);
        const auto channel = static_cast<std::uint8_t>(value % 16);
        const Bytes messages = {0x00, static_cast<std::uint8_t>(0x90 | channel),
                                byte, static_cast<std::uint8_t>(255 - value),
                                0x00, static_cast<std::uint8_t>(0xA0 | channel),
                                byte, byte,
                                0x00, static_cast<std::uint8_t>(0xB0 | channel),
                                0x07, byte,
                                0x00, static_cast<std::uint8_t>(0xD0 | channel),
                                byte};
        events.insert(events.end(), messages.begin(), messages.end());
    }
    events.insert(events.end(), kEndOfTrack.begin(), kEndOfTrack.end());
    return Smf({events});
}

TEST(ListingWriter, TsvEqualsEveryCellEscapedOnItsOwn)
{
    const struct {
        const char* name;
        Bytes file;
    } cases[] = {
        {"every named message", EveryNamedMessage()},
        {"every data byte", EveryDataByte()},
        {"text events with control bytes", TextFile({'a', 0x09, 0x5C, 0x7F, 0x81})},
        {"unknown chunk", Concat({Header(), Chunk("\\\x01\t", {})})},
        {"small song", kSmallSong},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Write(ListingFormat::Tsv, c.file), EscapedCellByCell(c.file));
    }
}

// Enough notes, or long enough SysEx events, that the rows are written in many batches.
Bytes ManyNotes(int count)
{
    Bytes events = {0x00, 0x90, 0x3C, 0x40};
    for (int i = 0; i < count; ++i) {
        const auto key = static_cast<std::uint8_t>(i % 128);
        const Bytes note = {0x01, key, static_cast<std::uint8_t>(i % 2 == 0 ? 0x00 : 0x64)};
        events.insert(events.end(), note.begin(), note.end());
    }
    events.insert(events.end(), kEndOfTrack.begin(), kEndOfTrack.end());
    return Smf({events});
}

Bytes ManyLongSysEx(int count, std::size_t bodySize)
{
    Bytes events;
    for (int i = 0; i < count; ++i) {
        const Bytes start = {0x00, 0xF0, static_cast<std::uint8_t>(0x80 | (bodySize >> 14)),
                             static_cast<std::uint8_t>(0x80 | ((bodySize >> 7) & 0x7F)),
                             static_cast<std::uint8_t>(bodySize & 0x7F)};
        events.insert(events.end(), start.begin(), start.end());
        events.insert(events.end(), bodySize - 1, static_cast<std::uint8_t>(i % 128));
        events.push_back(0xF7);
    }
    events.insert(events.end(), kEndOfTrack.begin(), kEndOfTrack.end());
    return Smf({events});
}

std::string CsvCellByCell(const Bytes& file)
{
    std::string csv = "Abs Tick,DTime,Event,Ch,Description,Value\r\n";
    for (const RowTexts& row : List(file).rows) {
        for (std::size_t column = 0; column < kColumnCount; ++column) {
            AppendCsvField(csv, row[column]);
            csv += column + 1 < kColumnCount ? "," : "\r\n";
        }
    }
    return csv;
}

TEST(ListingWriter, ListsLongFilesWholeAndInOrder)
{
    const struct {
        const char* name;
        Bytes file;
    } cases[] = {
        {"a hundred thousand notes", ManyNotes(100000)},
        {"long SysEx events", ManyLongSysEx(40, 100000)},
        {"notes cut off at the end",
         [] {
             Bytes file = ManyNotes(70000);
             file.resize(file.size() - 5);
             return file;
         }()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Write(ListingFormat::Tsv, c.file), EscapedCellByCell(c.file));
        EXPECT_EQ(Write(ListingFormat::Csv, c.file), CsvCellByCell(c.file));
        const nlohmann::json json = nlohmann::json::parse(Write(ListingFormat::Json, c.file));
        EXPECT_EQ(json["rows"], nlohmann::json(List(c.file).rows));
    }
}

TEST(ListingWriter, JsonTellsHowTheListingEnded)
{
    const nlohmann::json stopped = nlohmann::json::parse(
        Write(ListingFormat::Json, Smf({{0x00, 0x90, 0x3C, 0x40, 0x00, 0xF4}})));
    EXPECT_EQ(stopped["rows"].size(), 8u);
    EXPECT_EQ(stopped["outcome"]["rows"], 8);
    EXPECT_EQ(stopped["outcome"]["status"], "stopped");
    EXPECT_EQ(stopped["outcome"]["position"], 28);
    EXPECT_EQ(stopped["outcome"]["message"], "Pos.28\r\nStatus 244 (F4) - Valore sconosciuto");

    const nlohmann::json notMidi = nlohmann::json::parse(Write(ListingFormat::Json, Hex("4D54")));
    EXPECT_EQ(notMidi["rows"].size(), 0u);
    EXPECT_EQ(notMidi["outcome"],
              nlohmann::json({{"rows", 0},
                              {"status", "stopped"},
                              {"message", "Il file non \xC3\xA8 un Midifile standard !\r\n"
                                          "MThd mancante"}}));

    const nlohmann::json failed = nlohmann::json::parse(
        Write(ListingFormat::Json, Smf({{0x00, 0xFF, 0x51, 0x03, 0x00, 0x00, 0x00}})));
    EXPECT_EQ(failed["rows"].size(), 7u);
    EXPECT_EQ(failed["outcome"]["status"], "failure");
    EXPECT_EQ(failed["outcome"]["code"], 11);
    EXPECT_EQ(failed["outcome"]["message"].get<std::string>().substr(0, 11), "Errore 11\r\n");
}

} // namespace
} // namespace tracklens::testing
