// Where each event stands in time and in bars: the Time and Bar cells of every event row, from the
// maps the event table gathers during its walk and from the maps of a walk of their own, which
// a listing written as it is walked uses.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>

#include "engine/CellText.h"
#include "engine/Conversions.h"
#include "engine/TimeMaps.h"
#include "tests/support/Listing.h"

namespace tracklens::testing {
namespace {

struct PlacingCase {
    const char* name;
    Bytes file;
    const char* placed; // "Time|Bar" of each event row, separated by ", "
};

const PlacingCase kPlacingCases[] = {
    // The second track's tempo counts for the first one's notes.
    {"a tempo change in a later track of format 1",
     Smf(1, 96,
         {Hex("00 903C40 60 803C00 60 903C40 00 FF51030F4240 60 903C40"),
          Hex("60 FF510303D090 00 FF2F00")}),
     "0:00.000|1:1:000, 0:00.500|1:2:000, 0:00.750|1:3:000, 0:00.750|1:3:000, "
     "0:01.750|1:4:000, 0:00.500|1:2:000, 0:00.500|1:2:000"},
    {"format 2 gives each track its own maps",
     Smf(2, 96, {Hex("00 FF51030F4240 00 FF580403021808 8220 903C40"), Hex("8220 903C40")}),
     "0:00.000|1:1:000, 0:00.000|1:1:000, 0:03.000|2:1:000, 0:01.500|1:4:000"},
    {"a tempo change between two events of the same tick",
     Smf(0, 96, {Hex("60 903C40 00 FF510303D090 00 803C00 60 903C40")}),
     "0:00.500|1:2:000, 0:00.500|1:2:000, 0:00.500|1:2:000, 0:00.750|1:3:000"},
    {"SMPTE 24 frames of 40 ticks", Smf(1, 0xE828, {Hex("8740 903C40")}), "0:01.000|"},
    {"SMPTE 25 frames of 40 ticks", Smf(1, 0xE728, {Hex("8768 903C40")}), "0:01.000|"},
    {"SMPTE 29.97 frames of 100 ticks", Smf(1, 0xE364, {Hex("9738 903C40")}), "0:01.001|"},
    {"SMPTE 30 frames of 10 ticks, truncated", Smf(1, 0xE20A, {Hex("822D 903C40")}), "0:01.003|"},
    {"SMPTE frames of no ticks", Smf(1, 0xE200, {Hex("822D 903C40")}), "|"},
    {"division 0", Smf(1, 0, {Hex("60 903C40")}), "|"},
    {"a signature change in the middle of a bar cuts it short",
     Smf(1, 96, {Hex("8140 FF580403021808 8220 903C40")}), "0:01.000|2:1:000, 0:02.500|3:1:000"},
    {"6/8", Smf(1, 96, {Hex("00 FF580406031808 64 903C40")}), "0:00.000|1:1:000, 0:00.520|1:3:004"},
    {"7/16", Smf(1, 96, {Hex("00 FF580407041808 812A 903C40")}),
     "0:00.000|1:1:000, 0:00.885|2:1:002"},
    // With one tick per quarter note, a beat of 3/8 is half a tick.
    {"a beat shorter than a tick",
     Smf(1, 1, {Hex("00 FF580403031808 01 903C40 01 903C40 01 903C40")}),
     "0:00.000|1:1:000, 0:00.500|1:3:000, 0:01.000|2:2:000, 0:01.500|3:1:000"},
    {"signatures of no beats or too fine a beat are left out",
     Smf(1, 96, {Hex("00 FF580400021808 00 FF580403201808 8300 903C40")}),
     "0:00.000|1:1:000, 0:00.000|1:1:000, 0:02.000|2:1:000"},
    // Each file of a container keys its changes by its own format: the format 2 file's tempo
    // belongs to its track 1 and does not move the rows of the format 1 file after it.
    {"files of two formats in one container",
     Concat({Hex("52494646 00000000 524D4944 64617461 21000000"),
             Smf(2, 96, {Hex("00 FF51030F4240 60 903C40")}), Hex("00 64617461 1A000000"),
             Smf(1, 96, {Hex("60 903C40")})}),
     "0:00.000|1:1:000, 0:00.500|1:2:000, 0:00.500|1:2:000"},
    // The walk ends in failure 5 in the first track: the second track's tempo is never read.
    {"the rows before a failure",
     Smf(1, 96, {Hex("00 FF510303D090 60 903C40 00 FF01"), Hex("00 FF51030F4240")}),
     "0:00.000|1:1:000, 0:00.250|1:2:000"},
};

std::string Placed(ByteSpan file, const std::vector<Row>& rows, const CellContext& context)
{
    std::string placed;
    for (const Row& row : rows) {
        if (IsChunkRow(row.kind)) {
            continue;
        }
        placed += placed.empty() ? "" : ", ";
        placed += CellText(file, row, Column::Time, context) + "|" +
                  CellText(file, row, Column::Bar, context);
    }
    return placed;
}

class Placing : public ::testing::TestWithParam<PlacingCase> {};

TEST_P(Placing, TimeAndBarFollowTheTempoAndSignatureMaps)
{
    const Bytes& file = GetParam().file;
    RowsOf walked;
    WalkFile(file, walked);

    EventTable table(file);
    WalkFile(table.content(), table);
    std::vector<Row> tableRows;
    for (std::size_t i = 0; i < table.size(); ++i) {
        tableRows.push_back(table.row(i));
    }
    EXPECT_EQ(Placed(table.content(), tableRows, table.cellContext()), GetParam().placed);

    const TimeMaps maps = GatherTimeMaps(file);
    EXPECT_EQ(Placed(file, walked.rows, CellContext{&maps, {}}), GetParam().placed);

    // Placed one after the other with hints, as a listing places its rows, and backwards.
    TimeMaps::Hints hints;
    EXPECT_EQ(Placed(file, walked.rows, CellContext{&maps, {}, &hints}), GetParam().placed);
    const std::vector<Row> backwards(walked.rows.rbegin(), walked.rows.rend());
    EXPECT_EQ(Placed(file, backwards, CellContext{&maps, {}, &hints}),
              Placed(file, backwards, CellContext{&maps, {}}));
}

INSTANTIATE_TEST_SUITE_P(Files, Placing, ::testing::ValuesIn(kPlacingCases), CaseName<PlacingCase>);

// A file large enough is walked in two halves at once, its later half from the first chunk past
// the middle; its maps are those of a walk of the whole file, also when the later half depends on
// the earlier one or the whole walk never reaches it. Each file's second track begins past its
// middle.
struct HalvesCase {
    const char* name;
    Bytes file;
};

const Bytes kEarlierNotes = Hex("00 903C40 60 803C00 60 903C40 60 803C00 60 903C40");

const HalvesCase kHalvesCases[] = {
    {"a tempo of the later half", Smf({kEarlierNotes, Hex("60 FF510303D090 00 FF2F00")})},
    {"a later track in the running status of the earlier",
     Smf({Concat({kEarlierNotes, Hex("00 C005")}), Hex("60 06 10 00 10 40 10 FF510303D090")})},
    {"a walk that ends in the earlier half",
     Smf({Hex("00 FF510303D090 60 903C40 60 803C00 60 903C40 00 FF01"), Hex("00 FF51030F4240")})},
    // Walked again after the earlier half, since it met a problem: a meta event missing its data.
    {"a later half that ends in failure", Smf({kEarlierNotes, Hex("00 FF51030F4240 00 FF5804")})},
    {"format 2", Smf(2, 96,
                     {Concat({Hex("00 FF51030F4240"), kEarlierNotes}),
                      Hex("00 FF510303D090 00 FF580406031808")})},
    {"a chunk of another kind at the middle",
     Concat({Header({.tracks = 2}), Chunk("MTrk", kEarlierNotes), Chunk("XFIH", Hex("00")),
             Chunk("MTrk", Hex("00 FF510303D090 00 FF580406031808"))})},
};

class Halves : public ::testing::TestWithParam<HalvesCase> {};

TEST_P(Halves, GiveTheMapsOfAWholeWalk)
{
    for (const WalkMode mode : {WalkMode::StopAtProblem, WalkMode::KeepGoing}) {
        EXPECT_EQ(GatherTimeMaps(GetParam().file, mode, 0),
                  GatherTimeMaps(GetParam().file, mode, SIZE_MAX));
    }
}

INSTANTIATE_TEST_SUITE_P(Files, Halves, ::testing::ValuesIn(kHalvesCases), CaseName<HalvesCase>);

// Ticks and tempos at the ends of their ranges overflow nothing.
struct ExtremeCase {
    const char* name;
    std::uint64_t tempoTick; // a tempo of 2^24 - 1 from here
    std::uint64_t tick;
    const char* time;
};

const ExtremeCase kExtremeCases[] = {
    {"2^63 ticks of the slowest tempo", 0, std::uint64_t{1} << 63, "2579041594788341625:07.614"},
    {"the last tick, after 2^63 ticks at 120 a minute", std::uint64_t{1} << 63, ~std::uint64_t{0},
     "2655903028428798089:54.837"},
    // Either side of the last tick whose time fits 64 bits at the slowest tempo.
    {"the last tick timed in 64 bits", 0, 1'099'511'693'311, "307445734561:32.708"},
    {"the first tick timed in 128 bits", 0, 1'099'511'693'313, "307445734562:06.263"},
};

class ExtremeTicks : public ::testing::TestWithParam<ExtremeCase> {};

TEST_P(ExtremeTicks, AreTimedExactly)
{
    TimeMaps maps;
    maps.setDivision(0x00, 0x01);
    maps.addTempo(0, GetParam().tempoTick, 0xFFFFFF);
    maps.complete();
    Row row{};
    row.kind = RowKind::Meta;
    row.absTick = GetParam().tick;
    EXPECT_EQ(
        WrittenText(TimeMaps::kLongestText, [&](TextCursor& out) { maps.appendTime(out, row); }),
        GetParam().time);
}

INSTANTIATE_TEST_SUITE_P(Maps, ExtremeTicks, ::testing::ValuesIn(kExtremeCases),
                         CaseName<ExtremeCase>);

// Bars at one tick per quarter note, where beats or bars outgrow 32 or 64 bits.
struct ExtremeBarCase {
    const char* name;
    std::vector<std::array<std::uint64_t, 3>> signatures; // tick, numerator, denominator power
    std::uint64_t tick;
    const char* bar;
};

const ExtremeBarCase kExtremeBarCases[] = {
    {"the finest beat near 2^63 ticks",
     {{0, 1, 31}},
     (std::uint64_t{1} << 63) - 1,
     "4951760157141521099059625985:1:000"},
    {"the last beats counted in 32 bits", {}, (std::uint64_t{1} << 32) - 2, "1073741824:3:000"},
    {"the first beats counted in 64 bits", {}, std::uint64_t{1} << 32, "1073741825:1:000"},
    {"more beats than 32 bits count", {}, std::uint64_t{1} << 40, "274877906945:1:000"},
    {"more bars before a signature than 63 bits count",
     {{0, 1, 31}, {std::uint64_t{1} << 40, 4, 2}},
     (std::uint64_t{1} << 40) + 4,
     "590295810358705651714:1:000"},
};

class ExtremeBars : public ::testing::TestWithParam<ExtremeBarCase> {};

TEST_P(ExtremeBars, AreCountedWithoutOverflow)
{
    TimeMaps maps;
    maps.setDivision(0x00, 0x01);
    for (const auto& [tick, numerator, power] : GetParam().signatures) {
        maps.addTimeSignature(0, tick, static_cast<std::uint8_t>(numerator),
                              static_cast<std::uint8_t>(power));
    }
    maps.complete();
    Row row{};
    row.kind = RowKind::Meta;
    row.absTick = GetParam().tick;
    EXPECT_EQ(
        WrittenText(TimeMaps::kLongestText, [&](TextCursor& out) { maps.appendBar(out, row); }),
        GetParam().bar);
}

INSTANTIATE_TEST_SUITE_P(Maps, ExtremeBars, ::testing::ValuesIn(kExtremeBarCases),
                         CaseName<ExtremeBarCase>);

} // namespace
} // namespace tracklens::testing
