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

TEST(ListingWriter, EscapesTextsInTsvAndQuotesThemInCsv)
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
         "\"\t\n\r\\\""},
        {"other control bytes and 7F",
         {0x00, 0x01, 0x1F, 0x7F, 'A'},
         "\\x00\\x01\\x1F\\x7FA",
         std::string("\x00\x01\x1F\x7F"
                     "A",
                     5)},
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

TEST(ListingWriter, JsonTellsHowTheListingEnded)
{
    const nlohmann::json stopped = nlohmann::json::parse(
        Write(ListingFormat::Json, Smf({{0x00, 0x90, 0x3C, 0x40, 0x00, 0xF4}})));
    EXPECT_EQ(stopped["rows"].size(), 8u);
    EXPECT_EQ(stopped["outcome"]["rows"], 8);
    EXPECT_EQ(stopped["outcome"]["status"], "stopped");
    EXPECT_EQ(stopped["outcome"]["position"], 28);
    EXPECT_EQ(stopped["outcome"]["message"], "Pos.28\r\nStatus 244 (F4) - Valore sconosciuto");

    const nlohmann::json failed = nlohmann::json::parse(
        Write(ListingFormat::Json, Smf({{0x00, 0xFF, 0x51, 0x03, 0x00, 0x00, 0x00}})));
    EXPECT_EQ(failed["rows"].size(), 7u);
    EXPECT_EQ(failed["outcome"]["status"], "failure");
    EXPECT_EQ(failed["outcome"]["code"], 11);
    EXPECT_EQ(failed["outcome"]["message"].get<std::string>().substr(0, 11), "Errore 11\r\n");
}

} // namespace
} // namespace tracklens::testing
