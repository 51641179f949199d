// The table lists each row again from where its block begins: every row read back, in any
// order or in stretches, is the row the walk found, wherever blocks begin and however the walk
// ended.

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <string>
#include <vector>

#include "tests/support/Listing.h"

namespace tracklens::testing {
namespace {

constexpr std::size_t kBlock = EventTable::kRowsPerBlock;

// count note events: the first with its status byte, the others under running status.
Bytes Notes(std::size_t count, std::string_view status = "90")
{
    std::string events = "00 " + std::string(status) + "3C40";
    for (std::size_t i = 1; i < count; ++i) {
        events += " 81 00 3E40";
    }
    return Hex(events);
}

// The first track's rows end right before a block's start: the header's 5 rows, the track's
// 2 and its events fill the block.
constexpr std::size_t kEventsToFillFirstBlock = kBlock - 7;

struct TableCase {
    const char* name;
    Bytes file;
};

const TableCase kTableCases[] = {
    {"header alone", Header()},
    {"a track's length row at a block's start",
     Smf({Notes(kEventsToFillFirstBlock - 1), Notes(3 * kBlock)})},
    {"a track's tag at a block's start", Smf({Notes(kEventsToFillFirstBlock), Notes(kBlock)})},
    {"a chunk that is not a track at a block's start",
     Concat({Header({.tracks = 2}), Chunk("MTrk", Notes(kEventsToFillFirstBlock)),
             Chunk("XFIH", Hex("0102")), Chunk("MTrk", Notes(kBlock + 1))})},
    // The second track begins under the first one's running status; a meta event, a SysEx
    // and a system message stand among the notes.
    {"running status carried into blocks and tracks",
     Smf({Concat({Notes(2 * kBlock, "B0"), Hex("00 FF0103414243 00 F0037E7FF7 00 F8"),
                  Notes(kBlock, "E0")}),
          Concat({Hex("00 4040"), Notes(kBlock)})})},
    {"ends in a failure", Concat({Smf({Notes(kBlock + 40)}), Hex("4D54726B 00000010 00 90")})},
    {"ends at an unknown status in a new block",
     Concat({Smf({Notes(kEventsToFillFirstBlock)}), Hex("4D54726B 00000002 00 F4")})},
};

class TableRows : public ::testing::TestWithParam<TableCase> {};

TEST_P(TableRows, AreTheWalksRowsInAnyOrderOfReading)
{
    const Bytes& file = GetParam().file;
    RowsOf walked;
    const RunOutcome walkedOutcome = WalkFile(file, walked);
    EventTable table(file);
    const RunOutcome listedOutcome = WalkFile(table.content(), table);
    ASSERT_EQ(listedOutcome.kind, walkedOutcome.kind);
    ASSERT_EQ(table.size(), walked.rows.size());
    ASSERT_EQ(static_cast<std::size_t>(table.rowCount()), walked.rows.size());

    const std::size_t rows = walked.rows.size();
    const auto expectRow = [&](std::size_t index, const EventTable& from) {
        EXPECT_EQ(from.row(index), walked.rows[index]) << "row " << index;
    };
    for (std::size_t i = 0; i < rows; ++i) {
        expectRow(i, table);
    }
    for (std::size_t i = rows; i-- > 0;) {
        expectRow(i, table);
    }
    for (std::size_t i = 0; i < rows; ++i) {
        expectRow(i * 97 % rows, table); // jumping from block to block
    }

    // Stretches listed at once, from anywhere to anywhere, past the end too.
    for (const std::size_t stretch : {std::size_t{1}, std::size_t{3}, kBlock - 1, kBlock + 7}) {
        for (std::size_t first = 0; first <= rows; first += stretch / 2 + 1) {
            std::vector<Row> listed;
            table.listRows(first, stretch, listed);
            const std::size_t end = std::min(rows, first + stretch);
            const std::vector<Row> expected(walked.rows.begin() +
                                                static_cast<std::ptrdiff_t>(first),
                                            walked.rows.begin() + static_cast<std::ptrdiff_t>(end));
            EXPECT_EQ(listed, expected) << stretch << " rows from " << first;
        }
    }

    std::vector<Row> rest;
    table.listRows(rows / 2, std::numeric_limits<std::size_t>::max(), rest);
    EXPECT_EQ(rest, std::vector<Row>(walked.rows.begin() + static_cast<std::ptrdiff_t>(rows / 2),
                                     walked.rows.end()));

    EventTable moved = std::move(table);
    ASSERT_EQ(moved.size(), rows);
    if (rows > 0) {
        expectRow(0, moved);
        expectRow(rows - 1, moved);
    }
    moved.ClearRows();
    EXPECT_TRUE(moved.empty());
    EXPECT_EQ(static_cast<std::size_t>(moved.rowCount()), rows);
}

INSTANTIATE_TEST_SUITE_P(Blocks, TableRows, ::testing::ValuesIn(kTableCases), CaseName<TableCase>);

} // namespace
} // namespace tracklens::testing
