#pragma once

// What the tests share: files built from bytes, the rows and texts of a walk over them, the
// listing tracklens-dump writes of them, and comparisons that show where two listings differ.

#include <gtest/gtest.h>

#include <array>
#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/ListingFormat.h"
#include "engine/Bytes.h"
#include "engine/EventTable.h"
#include "engine/EventWalk.h"
#include "engine/Row.h"
#include "engine/RowSink.h"
#include "engine/RunOutcome.h"
#include "engine/WalkPoint.h"
#include "tools/smf/SmfBuilder.h"

namespace tracklens {

// A failing comparison of rows prints them field by field.
void PrintTo(const Row& row, std::ostream* out);

} // namespace tracklens

namespace tracklens::testing {

using smf::Bytes;
using smf::Chunk;
using smf::Concat;
using smf::Header;
using smf::Hex;
using smf::kEndOfTrack;
using smf::Smf;
using RowTexts = std::array<std::string, kColumnCount>;

// A file of one track with these events, written in hexadecimal.
Bytes Track(std::string_view events);

// count notes under running status, each a tick after the one before.
Bytes RunningNotes(std::size_t count);

// Keeps every row a walk hands over, and the place before it.
class RowsOf final : public RowSink {
public:
    void AddRow(const Row& row, std::size_t, const WalkPoint& before) override
    {
        rows.push_back(row);
        points.push_back(before);
    }
    std::vector<Row> rows;
    std::vector<WalkPoint> points; // before each row
};

// The texts of every row of a file, read back from an event table.
struct Listing {
    RunOutcome outcome;
    std::vector<RowTexts> rows;
    std::vector<RowTexts> stored; // in their fixed-width form
};

Listing List(ByteSpan file, WalkMode mode = WalkMode::StopAtProblem);

// The listing as tracklens-dump writes it: titles, rows, and the end of the format.
// Columns that place rows in time take the maps of a walk of their own.
std::string WriteListing(ListingFormat format, ByteSpan file,
                         WalkMode mode = WalkMode::StopAtProblem,
                         std::span<const Column> columns = kListingColumns);

// The listing written from the plan that a walk gathering the time maps makes, in two halves
// at any size, with parts of at most the given rows and file bytes, rows of more than
// largestHeldRow bytes written in pieces.
// Also checks that the plan ended as a walk of the listing's own does.
std::string WritePlannedListing(ListingFormat format, ByteSpan file, WalkMode mode,
                                std::span<const Column> columns, std::int32_t partRows,
                                std::size_t partBytes, std::size_t largestHeldRow);

// What a TSV or CSV listing must be: the title line, then every cell of an event table's rows
// escaped on its own.
std::string ListingOfCells(ListingFormat format, ByteSpan file);

// Texts compared line by line; a difference is shown at the first lines that differ.
::testing::AssertionResult SameLines(std::string_view expected, std::string_view actual);

// Header rows and the two rows of the first track come before the first event.
inline constexpr std::size_t kFirstEventRow = 7;

// A whole small song of 43 bytes: a tempo, a program, a note on and its note off under running
// status, the end of the track.
inline const Bytes kSmallSong = Hex("4D546864 00000006 0000 0001 0060 4D54726B 00000015"
                                    "00FF510307A120 00C000 00903C64 603C00 00FF2F00");

inline const std::vector<RowTexts> kSmallSongRows = {
    {"", "", "4D546864", "", "MThd", ""},
    {"", "", "00000006", "", "Lunghezza", "6 bytes"},
    {"", "", "0000", "", "Formato", "0"},
    {"", "", "0001", "", "Tracce", "1"},
    {"", "", "0060", "", "TPQN", "96"},
    {"", "", "4D54726B", "", "MTrk", ""},
    {"", "", "00000015", "", "Lunghezza", "21 bytes"},
    {"0", "00", "FF510307A120", "", "Set Tempo", "120"},
    {"0", "00", "C000", "1", "Patch", "0:Acoustic Grand"},
    {"0", "00", "903C64", "1", "NotaON", "Do5 - 100"},
    {"96", "60", "903C00", "1", "+NotaOFF", "Do5"},
    {"96", "00", "FF2F00", "", "End of Track", ""},
};

// A test name made of the letters and digits of a case's name.
std::string TestName(std::string name);

// The same for a table-driven test whose cases have a name.
template <typename Case>
std::string CaseName(const ::testing::TestParamInfo<Case>& info)
{
    return TestName(info.param.name);
}

} // namespace tracklens::testing
